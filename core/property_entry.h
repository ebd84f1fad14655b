// TPropertyEntry: one named value a stored description may hold for an
// object of some class — a published property, or an entry the class defines
// itself — and how it is read from and written to a TStoredValue.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/persistent.h"
#include "core/stored_value.h"

class TComponent;

// What a reader offers an entry while it assigns stored values.
class TReadContext {
 public:
  // Once every component of the description exists, finds the one named
  // `AName` among the owner's components and passes it to `AAssign`
  // (references are resolved in the order they were added).
  virtual void AddFixup(std::string AName, std::function<void(TComponent&)> AAssign) = 0;

 protected:
  ~TReadContext() = default;
};

class TPropertyEntry {
 public:
  explicit TPropertyEntry(std::string AName) : FName(std::move(AName)) {}
  virtual ~TPropertyEntry() = default;
  TPropertyEntry(const TPropertyEntry&) = delete;
  TPropertyEntry& operator=(const TPropertyEntry&) = delete;

  const std::string& Name() const { return FName; }

  // Assigns `AValue` to `AObject` (an object of the class the entry belongs
  // to). Throws EReadError "Invalid property value" when the value is of the
  // wrong kind or names no value of the property; errors of the object's own
  // setter pass on as they are.
  virtual void Read(TPersistent& AObject, const TStoredValue& AValue,
                    TReadContext& AContext) const = 0;
  // The value to store for `AObject`; none when the entry is not stored
  // (its value is the declared default, or it is read-only).
  virtual std::optional<TStoredValue> Write(const TPersistent& AObject) const = 0;
  // For an entry holding a nested object (such as Options): that object,
  // whose own entries are stored as "Name.Entry". Null for plain values.
  virtual TPersistent* NestedObject(const TPersistent&) const { return nullptr; }

 private:
  std::string FName;
};
