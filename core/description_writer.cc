#include "core/description_writer.h"

namespace {

void WriteEntries(const TPersistent& AObject, const std::string& APrefix,
                  const TClassRegistry& AClasses, std::string& AOut) {
  for (const auto& entry : AClasses.ClassOf(AObject).Entries()) {
    if (const TPersistent* nested = entry->NestedObject(AObject)) {
      WriteEntries(*nested, APrefix + entry->Name() + ".", AClasses, AOut);
    } else if (const std::optional<TStoredValue> value = entry->Write(AObject)) {
      AOut += "  " + APrefix + entry->Name() + " = " + RenderStoredValue(*value) + "\n";
    }
  }
}

}  // namespace

std::string WriteComponent(const TComponent& AComponent, const TClassRegistry& AClasses) {
  std::string out =
      "object " + AComponent.Name() + ": " + AClasses.ClassOf(AComponent).Name() + "\n";
  WriteEntries(AComponent, "", AClasses, out);
  return out + "end\n";
}

std::string WriteComponents(const std::vector<TComponent*>& AComponents,
                            const TClassRegistry& AClasses) {
  std::string out;
  for (const TComponent* component : AComponents) out += WriteComponent(*component, AClasses);
  return out;
}
