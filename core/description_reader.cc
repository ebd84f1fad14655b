#include "core/description_reader.h"

#include <functional>
#include <memory>
#include <string>

#include "core/description_syntax.h"
#include "core/read_error.h"

namespace {

[[noreturn]] void Fail(int ALine, const std::string& AWhat) {
  throw EReadError("Line " + std::to_string(ALine) + ": " + AWhat);
}

class Reader : private TReadContext {
 public:
  Reader(TComponent& AOwner, const TClassRegistry& AClasses) : FOwner(AOwner), FClasses(AClasses) {}

  std::vector<TComponent*> Read(std::string_view AText) {
    const std::vector<TStoredObjectText> objects = ParseDescription(AText);
    try {
      for (const TStoredObjectText& object : objects) CreateComponent(object);
      for (const Fixup& fixup : FFixups) Resolve(fixup);
      for (TComponent* component : FCreated) component->Loaded();
    } catch (...) {
      // Freeing last-created first mirrors the owner's own order.
      for (auto it = FCreated.rbegin(); it != FCreated.rend(); ++it) delete *it;
      throw;
    }
    return FCreated;
  }

 private:
  struct Fixup {
    std::string Target;
    std::function<void(TComponent&)> Assign;
    int Line;
    std::string Where;  // "Component.Entry", for messages
  };

  void CreateComponent(const TStoredObjectText& AObject) {
    const TPersistentClass* cls = FClasses.FindClass(AObject.ClassName);
    if (cls == nullptr) Fail(AObject.Line, "Class " + AObject.ClassName + " not found");
    if (!cls->Creatable()) Fail(AObject.Line, "Cannot create an object of class " + cls->Name());
    if (FOwner.FindComponent(AObject.Name) != nullptr) {
      Fail(AObject.Line, "A component named " + AObject.Name + " already exists");
    }
    TComponent* component = cls->Create(&FOwner);
    FCreated.push_back(component);
    component->BeginLoading();
    component->SetName(AObject.Name);
    for (const TStoredEntryText& entry : AObject.Entries) {
      AssignEntry(*component, *cls, AObject.Name, entry);
    }
  }

  void AssignEntry(TComponent& AComponent, const TPersistentClass& AClass, const std::string& AName,
                   const TStoredEntryText& AEntry) {
    FLine = AEntry.Line;
    FWhere = AName + "." + AEntry.Path;
    TPersistent* object = &AComponent;
    const TPersistentClass* cls = &AClass;
    std::size_t start = 0;
    for (;;) {
      const std::size_t dot = AEntry.Path.find('.', start);
      const std::string part = AEntry.Path.substr(start, dot - start);
      const TPropertyEntry* entry = cls->FindEntry(part);
      if (entry == nullptr)
        Fail(FLine, "Error reading " + FWhere + ": Property " + part + " does not exist");
      if (dot == std::string::npos) {
        try {
          entry->Read(*object, AEntry.Value, *this);
        } catch (const EReadError& error) {
          Fail(FLine, "Error reading " + FWhere + ": " + error.Message());
        }
        return;
      }
      object = entry->NestedObject(*object);
      if (object == nullptr)
        Fail(FLine, "Error reading " + FWhere + ": " + part + " has no entries");
      cls = &FClasses.ClassOf(*object);
      start = dot + 1;
    }
  }

  void AddFixup(std::string AName, std::function<void(TComponent&)> AAssign) override {
    FFixups.push_back({std::move(AName), std::move(AAssign), FLine, FWhere});
  }

  void Resolve(const Fixup& AFixup) {
    TComponent* target = FOwner.FindComponent(AFixup.Target);
    if (target == nullptr) {
      Fail(AFixup.Line,
           "Error reading " + AFixup.Where + ": Component " + AFixup.Target + " not found");
    }
    try {
      AFixup.Assign(*target);
    } catch (const EReadError& error) {
      Fail(AFixup.Line, "Error reading " + AFixup.Where + ": " + error.Message());
    }
  }

  TComponent& FOwner;
  const TClassRegistry& FClasses;
  std::vector<TComponent*> FCreated;
  std::vector<Fixup> FFixups;
  int FLine = 0;       // of the entry being read
  std::string FWhere;  // of the entry being read
};

}  // namespace

std::vector<TComponent*> ReadComponents(std::string_view AText, TComponent& AOwner,
                                        const TClassRegistry& AClasses) {
  return Reader(AOwner, AClasses).Read(AText);
}
