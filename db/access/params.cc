#include "db/access/params.h"

#include "db/errors/database_error.h"
#include "db/values/same_text.h"

TParam& TParams::CreateParam(TFieldType AFieldType, const std::string& AParamName,
                             TParamType AParamType) {
  FItems.push_back(CreateItem(AParamName, AFieldType, AParamType));
  return *FItems.back();
}

TParam* TParams::FindParam(std::string_view AName) const {
  if (AName.starts_with('@')) AName.remove_prefix(1);
  for (const auto& item : FItems) {
    if (SameText(item->Name(), AName)) return item.get();
  }
  return nullptr;
}

TParam& TParams::ParamByName(std::string_view AName) const {
  TParam* param = FindParam(AName);
  if (param == nullptr) throw EDatabaseError("Parameter '" + std::string(AName) + "' not found");
  return *param;
}

void TParams::Rebuild(const std::vector<std::string>& AMarkerNames) {
  std::vector<std::unique_ptr<TParam>> former = std::move(FItems);
  FItems.clear();
  for (const std::string& name : AMarkerNames) {
    TParam& param = CreateParam(ftUnknown, name, ptUnknown);
    for (const auto& old : former) {
      if (SameText(old->Name(), name)) {
        param.AssignValue(*old);
        break;
      }
    }
  }
}

std::unique_ptr<TParam> TParams::CreateItem(const std::string& AName, TFieldType ADataType,
                                            TParamType AParamType) const {
  return std::make_unique<TParam>(AName, ADataType, AParamType);
}

std::unique_ptr<TParam> TDAParams::CreateItem(const std::string& AName, TFieldType ADataType,
                                              TParamType AParamType) const {
  return std::make_unique<TDAParam>(AName, ADataType, AParamType);
}

std::unique_ptr<TParam> TMSParams::CreateItem(const std::string& AName, TFieldType ADataType,
                                              TParamType AParamType) const {
  return std::make_unique<TMSParam>(AName, ADataType, AParamType);
}
