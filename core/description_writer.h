// Renders components back as a stored description (description_syntax.h):
// each entry that its class stores — values that differ from their
// defaults, set references to named components, the class's own entries —
// in the order of the class's entries, nested objects' entries in the place
// of the object.
#pragma once

#include <string>
#include <vector>

#include "core/class_registry.h"
#include "core/component.h"

// "object Name: Class", one "  Entry = value" line per stored entry, "end",
// each line ended by "\n". Throws EReadError when the component's class (or
// a nested object's) is not in `AClasses`.
std::string WriteComponent(const TComponent& AComponent, const TClassRegistry& AClasses);

// WriteComponent of each of `AComponents`, in order.
std::string WriteComponents(const std::vector<TComponent*>& AComponents,
                            const TClassRegistry& AClasses);
