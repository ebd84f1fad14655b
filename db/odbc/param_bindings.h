// The buffers behind a statement's "?" parameters. They are bound once and
// refreshed in place: the driver prepares again whenever parameters are
// re-bound, so re-binding happens only when the layout (types, directions,
// room for the values) no longer fits.
#pragma once

#include <vector>

#include "core/component.h"
#include "db/odbc/command.h"
#include "db/odbc/sql_api.h"

namespace odbc {

class ParamBindings {
 public:
  // Puts `AParams` into the buffers bound on `AStatement`, binding them anew
  // when their layout changed. Throws EDatabaseError (for `AComponent`) when a
  // value does not convert to its parameter's type, EOLEDBError when the
  // driver refuses a binding.
  void Apply(SQLHSTMT AStatement, const std::vector<TParamValue>& AParams, TComponent* AComponent);
  // Forgets the bound layout; the next Apply() binds anew.
  void Forget() { FSlots.clear(); }

  // The values the driver left in the output, input-output and result
  // parameters, by position; null for input ones.
  std::vector<TVariant> OutputValues() const;

 private:
  struct Slot {
    SQLSMALLINT IoType;
    SQLSMALLINT CType;
    SQLSMALLINT SqlType;
    SQLULEN ColumnSize;
    SQLSMALLINT Digits;
    TFieldType DataType;                // resolved: never ftUnknown
    std::size_t Capacity;               // bytes the value needs, or the bound buffer holds
    std::vector<unsigned char> Buffer;  // allocated when bound
    SQLLEN Indicator;
  };

  // The layout `AParam` needs, without its buffer.
  static Slot Layout(const TParamValue& AParam);
  // True when `ABound` can carry what `ANeeded` describes without re-binding.
  static bool Fits(const Slot& ABound, const Slot& ANeeded);
  // Copies `AParam`'s value into `ASlot`'s buffer, converted to its type.
  // Throws EDatabaseError "Parameter[`AIndex`]:name - invalid Value ..."
  // when the value has no such conversion.
  static void Store(Slot& ASlot, const TParamValue& AParam, int AIndex, TComponent* AComponent);

  std::vector<Slot> FSlots;
};

}  // namespace odbc
