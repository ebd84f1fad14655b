// The kinds of entry a class registers (see class_registry.h): a value
// property (string, integer, boolean, enumeration, set) with a declared
// default, a reference to another component by name, a nested object, a
// read-only property, and an entry the class reads and writes itself.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "core/component.h"
#include "core/property_entry.h"
#include "core/read_error.h"

namespace property_kinds {

template <class C>
C& As(TPersistent& AObject) {
  return dynamic_cast<C&>(AObject);
}
template <class C>
const C& As(const TPersistent& AObject) {
  return dynamic_cast<const C&>(AObject);
}

[[noreturn]] void InvalidValue();

// Converts a property's values of type T to and from stored values.
template <class T>
struct TCodec {
  // Throws EReadError "Invalid property value" for a value it cannot take.
  std::function<T(const TStoredValue&)> Decode;
  std::function<TStoredValue(const T&)> Encode;
};

TCodec<std::string> StringCodec();
TCodec<int> IntegerCodec();
// True / False, as identifiers.
TCodec<bool> BooleanCodec();
// Names of an enumeration's values: `ANames[i]` names the value i.
TCodec<int> OrdinalCodec(std::vector<std::string> ANames);

// An enumeration E by the names of its values (`ANames[i]` names E(i)).
template <class E>
TCodec<E> EnumCodec(std::vector<std::string> ANames) {
  TCodec<int> ordinal = OrdinalCodec(std::move(ANames));
  return {[ordinal](const TStoredValue& AValue) { return static_cast<E>(ordinal.Decode(AValue)); },
          [ordinal](const E& AValue) { return ordinal.Encode(static_cast<int>(AValue)); }};
}

// A set S of enumeration values E (S has Contains and Include), by the names
// of the values (`ANames[i]` names E(i)); written in the values' order.
template <class S, class E>
TCodec<S> SetCodec(std::vector<std::string> ANames) {
  TCodec<int> ordinal = OrdinalCodec(ANames);
  return {[ordinal](const TStoredValue& AValue) {
            if (AValue.Kind != svSet) InvalidValue();
            S set;
            for (const std::string& element : AValue.Elements) {
              set.Include(static_cast<E>(ordinal.Decode(TStoredValue::Ident(element))));
            }
            return set;
          },
          [names = std::move(ANames)](const S& ASet) {
            std::vector<std::string> elements;
            for (std::size_t i = 0; i < names.size(); ++i) {
              if (ASet.Contains(static_cast<E>(i))) elements.push_back(names[i]);
            }
            return TStoredValue::Set(std::move(elements));
          }};
}

// A property of C with a getter, a setter and a declared default; stored
// only when its value differs from the default.
template <class C, class T>
class TValueEntry : public TPropertyEntry {
 public:
  TValueEntry(std::string AName, std::function<T(const C&)> AGet, std::function<void(C&, T)> ASet,
              T ADefault, TCodec<T> ACodec)
      : TPropertyEntry(std::move(AName)),
        FGet(std::move(AGet)),
        FSet(std::move(ASet)),
        FDefault(ACodec.Encode(ADefault)),
        FCodec(std::move(ACodec)) {}

  void Read(TPersistent& AObject, const TStoredValue& AValue, TReadContext&) const override {
    FSet(As<C>(AObject), FCodec.Decode(AValue));
  }
  std::optional<TStoredValue> Write(const TPersistent& AObject) const override {
    TStoredValue value = FCodec.Encode(FGet(As<C>(AObject)));
    if (value == FDefault) return std::nullopt;
    return value;
  }

 private:
  std::function<T(const C&)> FGet;
  std::function<void(C&, T)> FSet;
  TStoredValue FDefault;  // encoded, so that any T compares
  TCodec<T> FCodec;
};

// A reference to a component of class T, stored as its name and resolved
// once every component exists. Stored when set and the target has a name.
template <class C, class T>
class TReferenceEntry : public TPropertyEntry {
 public:
  TReferenceEntry(std::string AName, std::function<T*(const C&)> AGet,
                  std::function<void(C&, T*)> ASet)
      : TPropertyEntry(std::move(AName)), FGet(std::move(AGet)), FSet(std::move(ASet)) {}

  void Read(TPersistent& AObject, const TStoredValue& AValue,
            TReadContext& AContext) const override {
    if (AValue.Kind != svIdent) InvalidValue();
    C& object = As<C>(AObject);
    AContext.AddFixup(AValue.Text, [this, &object](TComponent& ATarget) {
      auto* target = dynamic_cast<T*>(&ATarget);
      if (target == nullptr) InvalidValue();
      FSet(object, target);
    });
  }
  std::optional<TStoredValue> Write(const TPersistent& AObject) const override {
    const T* target = FGet(As<C>(AObject));
    if (target == nullptr || target->Name().empty()) return std::nullopt;
    return TStoredValue::Ident(target->Name());
  }

 private:
  std::function<T*(const C&)> FGet;
  std::function<void(C&, T*)> FSet;
};

// An object that C keeps and that has entries of its own.
template <class C>
class TNestedEntry : public TPropertyEntry {
 public:
  TNestedEntry(std::string AName, std::function<TPersistent&(const C&)> AGet)
      : TPropertyEntry(std::move(AName)), FGet(std::move(AGet)) {}

  void Read(TPersistent&, const TStoredValue&, TReadContext&) const override { InvalidValue(); }
  std::optional<TStoredValue> Write(const TPersistent&) const override { return std::nullopt; }
  TPersistent* NestedObject(const TPersistent& AObject) const override {
    return &FGet(As<C>(AObject));
  }

 private:
  std::function<TPersistent&(const C&)> FGet;
};

// A property that can be read in code but never set: never stored, and a
// description that gives it a value is refused.
class TReadOnlyEntry : public TPropertyEntry {
 public:
  using TPropertyEntry::TPropertyEntry;

  // Throws EReadError "Property <Name> is read-only".
  void Read(TPersistent&, const TStoredValue&, TReadContext&) const override;
  std::optional<TStoredValue> Write(const TPersistent&) const override { return std::nullopt; }
};

// An entry C reads and writes itself, taking any kind of stored value.
template <class C>
class TDefinedEntry : public TPropertyEntry {
 public:
  TDefinedEntry(std::string AName, std::function<void(C&, const TStoredValue&)> ARead,
                std::function<std::optional<TStoredValue>(const C&)> AWrite)
      : TPropertyEntry(std::move(AName)), FRead(std::move(ARead)), FWrite(std::move(AWrite)) {}

  void Read(TPersistent& AObject, const TStoredValue& AValue, TReadContext&) const override {
    FRead(As<C>(AObject), AValue);
  }
  std::optional<TStoredValue> Write(const TPersistent& AObject) const override {
    return FWrite(As<C>(AObject));
  }

 private:
  std::function<void(C&, const TStoredValue&)> FRead;
  std::function<std::optional<TStoredValue>(const C&)> FWrite;
};

}  // namespace property_kinds
