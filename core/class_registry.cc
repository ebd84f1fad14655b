#include "core/class_registry.h"

#include <algorithm>
#include <stdexcept>

#include "core/read_error.h"

TPersistentClass::TPersistentClass(std::string AName,
                                   std::vector<std::shared_ptr<const TPropertyEntry>> AEntries,
                                   std::function<TComponent*(TComponent*)> ACreate)
    : FName(std::move(AName)), FEntries(std::move(AEntries)), FCreate(std::move(ACreate)) {}

const TPropertyEntry* TPersistentClass::FindEntry(const std::string& AName) const {
  for (const auto& entry : FEntries) {
    if (entry->Name() == AName) return entry.get();
  }
  return nullptr;
}

void TPersistentClass::AddEntry(std::shared_ptr<const TPropertyEntry> AEntry) {
  const auto same = std::find_if(FEntries.begin(), FEntries.end(),
                                 [&](const auto& AOld) { return AOld->Name() == AEntry->Name(); });
  if (same != FEntries.end()) {
    *same = std::move(AEntry);
  } else {
    FEntries.push_back(std::move(AEntry));
  }
}

TComponent* TPersistentClass::Create(TComponent* AOwner) const {
  if (!FCreate) throw EReadError("Cannot create an object of class " + FName);
  return FCreate(AOwner);
}

const TPersistentClass* TClassRegistry::FindClass(const std::string& AName) const {
  const auto found = FByName.find(AName);
  return found == FByName.end() ? nullptr : found->second;
}

const TPersistentClass& TClassRegistry::ClassOf(const TPersistent& AObject) const {
  const auto found = FByType.find(typeid(AObject));
  if (found == FByType.end()) {
    throw EReadError(std::string("Class ") + typeid(AObject).name() + " is not registered");
  }
  return *found->second;
}

TPersistentClass& TClassRegistry::Add(std::type_index AType, std::string AName,
                                      const std::string& ABaseName,
                                      std::function<TComponent*(TComponent*)> ACreate) {
  if (FByName.contains(AName) || FByType.contains(AType)) {
    throw std::logic_error("class " + AName + " is registered twice");
  }
  std::vector<std::shared_ptr<const TPropertyEntry>> entries;
  if (!ABaseName.empty()) {
    const TPersistentClass* base = FindClass(ABaseName);
    if (base == nullptr) throw std::logic_error("base class " + ABaseName + " is not registered");
    entries = base->Entries();
  }
  FClasses.push_back(
      std::make_unique<TPersistentClass>(std::move(AName), std::move(entries), std::move(ACreate)));
  TPersistentClass& added = *FClasses.back();
  FByName[added.Name()] = &added;
  FByType.emplace(AType, &added);
  return added;
}
