// The classes a stored description may name: for each, its name, its entries
// (those of its base class first, in registration order; an entry registered
// again under the same name, e.g. with another default, keeps its place),
// and, for component classes, how to create one. A base class is registered
// completely before the classes derived from it, which copy its entries.
//
//   TClassRegistry classes;
//   classes.Component<TMSTable>("TMSTable", "TCustomMSDataSet")
//       .String("TableName", &TMSTable::TableName, &TMSTable::SetTableName);
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "core/component.h"
#include "core/property_kinds.h"

class TPersistentClass {
 public:
  TPersistentClass(std::string AName, std::vector<std::shared_ptr<const TPropertyEntry>> AEntries,
                   std::function<TComponent*(TComponent*)> ACreate);

  const std::string& Name() const { return FName; }
  const std::vector<std::shared_ptr<const TPropertyEntry>>& Entries() const { return FEntries; }
  // The entry named `AName` (names compare exactly), or null.
  const TPropertyEntry* FindEntry(const std::string& AName) const;
  // Adds `AEntry`, replacing the entry of the same name in its place.
  void AddEntry(std::shared_ptr<const TPropertyEntry> AEntry);

  // Whether Create() makes components of this class.
  bool Creatable() const { return static_cast<bool>(FCreate); }
  // A new component of this class owned by `AOwner`. Throws EReadError
  // "Cannot create an object of class <Name>" for a class registered for its
  // entries only.
  TComponent* Create(TComponent* AOwner) const;

 private:
  std::string FName;
  std::vector<std::shared_ptr<const TPropertyEntry>> FEntries;
  std::function<TComponent*(TComponent*)> FCreate;
};

// Adds entries to the class of C being registered. Getters and setters are
// anything callable as T(const C&) and void(C&, T): member functions or lambdas.
template <class C>
class TClassBuilder {
 public:
  template <class T>
  using Getter = std::type_identity_t<std::function<T(const C&)>>;
  template <class T>
  using Setter = std::type_identity_t<std::function<void(C&, T)>>;

  explicit TClassBuilder(TPersistentClass& AClass) : FClass(AClass) {}

  TClassBuilder& String(std::string AName, Getter<std::string> AGet, Setter<std::string> ASet,
                        std::string ADefault = {}) {
    return Value<std::string>(std::move(AName), std::move(AGet), std::move(ASet),
                              std::move(ADefault), property_kinds::StringCodec());
  }
  TClassBuilder& Integer(std::string AName, Getter<int> AGet, Setter<int> ASet, int ADefault) {
    return Value<int>(std::move(AName), std::move(AGet), std::move(ASet), ADefault,
                      property_kinds::IntegerCodec());
  }
  TClassBuilder& Boolean(std::string AName, Getter<bool> AGet, Setter<bool> ASet, bool ADefault) {
    return Value<bool>(std::move(AName), std::move(AGet), std::move(ASet), ADefault,
                       property_kinds::BooleanCodec());
  }
  // `ANames[i]` names E(i).
  template <class E>
  TClassBuilder& Enum(std::string AName, Getter<E> AGet, Setter<E> ASet, E ADefault,
                      std::vector<std::string> ANames) {
    return Value<E>(std::move(AName), std::move(AGet), std::move(ASet), ADefault,
                    property_kinds::EnumCodec<E>(std::move(ANames)));
  }
  // A set S of E values; `ANames[i]` names E(i); the default is the empty set.
  template <class S, class E>
  TClassBuilder& Set(std::string AName, Getter<S> AGet, Setter<S> ASet,
                     std::vector<std::string> ANames) {
    return Value<S>(std::move(AName), std::move(AGet), std::move(ASet), S{},
                    property_kinds::SetCodec<S, E>(std::move(ANames)));
  }
  // A reference to a component of class T; none by default.
  template <class T>
  TClassBuilder& Reference(std::string AName, Getter<T*> AGet, Setter<T*> ASet) {
    return Add(std::make_shared<property_kinds::TReferenceEntry<C, T>>(
        std::move(AName), std::move(AGet), std::move(ASet)));
  }
  // An object kept by C whose entries (those of its registered class) are
  // stored as "AName.Entry".
  TClassBuilder& Nested(std::string AName, std::function<TPersistent&(const C&)> AGet) {
    return Add(
        std::make_shared<property_kinds::TNestedEntry<C>>(std::move(AName), std::move(AGet)));
  }
  TClassBuilder& ReadOnly(std::string AName) {
    return Add(std::make_shared<property_kinds::TReadOnlyEntry>(std::move(AName)));
  }
  // An entry C reads and writes itself; `AWrite` gives none when not stored.
  TClassBuilder& Defined(std::string AName, std::function<void(C&, const TStoredValue&)> ARead,
                         std::function<std::optional<TStoredValue>(const C&)> AWrite) {
    return Add(std::make_shared<property_kinds::TDefinedEntry<C>>(
        std::move(AName), std::move(ARead), std::move(AWrite)));
  }

 private:
  template <class T>
  TClassBuilder& Value(std::string AName, Getter<T> AGet, Setter<T> ASet, T ADefault,
                       property_kinds::TCodec<T> ACodec) {
    return Add(std::make_shared<property_kinds::TValueEntry<C, T>>(
        std::move(AName), std::move(AGet), std::move(ASet), std::move(ADefault),
        std::move(ACodec)));
  }
  TClassBuilder& Add(std::shared_ptr<const TPropertyEntry> AEntry) {
    FClass.AddEntry(std::move(AEntry));
    return *this;
  }

  TPersistentClass& FClass;
};

class TClassRegistry {
 public:
  // Registers C, whose components a description can create, under `AName`,
  // starting from the entries of the registered class `ABaseName` (none when
  // empty). Throws std::logic_error when `ABaseName` is not registered or
  // `AName` already is.
  template <class C>
  TClassBuilder<C> Component(std::string AName, const std::string& ABaseName = {}) {
    return TClassBuilder<C>(Add(typeid(C), std::move(AName), ABaseName,
                                [](TComponent* AOwner) -> TComponent* { return new C(AOwner); }));
  }
  // The same, with the components made by `ACreate` from their owner: for a
  // class whose constructor needs more than the owner.
  template <class C>
  TClassBuilder<C> Component(std::string AName, const std::string& ABaseName,
                             std::function<C*(TComponent*)> ACreate) {
    return TClassBuilder<C>(Add(typeid(C), std::move(AName), ABaseName, std::move(ACreate)));
  }
  // Registers C for its entries only: an abstract base, or a nested object's class.
  template <class C>
  TClassBuilder<C> Persistent(std::string AName, const std::string& ABaseName = {}) {
    static_assert(std::is_base_of_v<TPersistent, C>);
    return TClassBuilder<C>(Add(typeid(C), std::move(AName), ABaseName, nullptr));
  }

  // The class registered under `AName`, or null.
  const TPersistentClass* FindClass(const std::string& AName) const;
  // The class `AObject` was registered as. Throws EReadError "Class <type>
  // is not registered" when its exact class was not.
  const TPersistentClass& ClassOf(const TPersistent& AObject) const;

 private:
  TPersistentClass& Add(std::type_index AType, std::string AName, const std::string& ABaseName,
                        std::function<TComponent*(TComponent*)> ACreate);

  std::vector<std::unique_ptr<TPersistentClass>> FClasses;
  std::map<std::string, TPersistentClass*> FByName;
  // Hashed, not ordered: built by MinGW's GCC, an index ordered by
  // std::type_index did not find classes of internal linkage again.
  std::unordered_map<std::type_index, TPersistentClass*> FByType;
};
