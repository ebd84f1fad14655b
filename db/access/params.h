// TParams: a statement's parameters in marker order, and the rule that
// rebuilds them when the statement text changes. TDAParams and TMSParams
// make TDAParam and TMSParam items.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/access/param.h"

class TParams {
 public:
  TParams() = default;
  virtual ~TParams() = default;
  TParams(const TParams&) = delete;
  TParams& operator=(const TParams&) = delete;

  int Count() const { return static_cast<int>(FItems.size()); }
  TParam& Items(int AIndex) const { return *FItems.at(AIndex); }

  // Adds a parameter with that type, name and direction and a null value.
  TParam& CreateParam(TFieldType AFieldType, const std::string& AParamName, TParamType AParamType);
  // The first parameter named `AName` (case ignored; one leading "@" of
  // `AName` ignored), or null.
  TParam* FindParam(std::string_view AName) const;
  // As FindParam; throws EDatabaseError "Parameter '%s' not found" (bare).
  TParam& ParamByName(std::string_view AName) const;
  void Clear() { FItems.clear(); }

  // The text-change rule: the list becomes one parameter per name of
  // `AMarkerNames`, in that order, of unknown type and direction; each takes
  // the type, value and direction of the first former parameter of its name.
  void Rebuild(const std::vector<std::string>& AMarkerNames);

 protected:
  // A new item of the collection's kind.
  virtual std::unique_ptr<TParam> CreateItem(const std::string& AName, TFieldType ADataType,
                                             TParamType AParamType) const;

 private:
  std::vector<std::unique_ptr<TParam>> FItems;
};

class TDAParams : public TParams {
 protected:
  std::unique_ptr<TParam> CreateItem(const std::string& AName, TFieldType ADataType,
                                     TParamType AParamType) const override;
};

class TMSParams : public TDAParams {
 protected:
  std::unique_ptr<TParam> CreateItem(const std::string& AName, TFieldType ADataType,
                                     TParamType AParamType) const override;
};
