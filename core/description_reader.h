// Restores the components a stored description holds (see
// description_syntax.h for the text) into an owner, in three rounds:
//
//  1. Each block in order: its class creates the component, owned by the
//     owner; once the constructor has returned, the component is marked as
//     loading (csLoading), named, and given its stored values in order.
//  2. References to components by name are resolved among the owner's
//     components, in the order they were read.
//  3. Each created component's Loaded() runs, in creation order.
#pragma once

#include <string_view>
#include <vector>

#include "core/class_registry.h"
#include "core/component.h"

// Restores `AText` into `AOwner` with the classes of `AClasses`; returns the
// created components in creation order. On any error the components created
// so far are freed (last created first) and the error passes on:
// EReadError "Line N: ..." for what the description itself gets wrong (its
// syntax, an unknown class or entry, a value of the wrong kind, a duplicate
// or unknown component name); errors of the components' constructors,
// setters and Loaded() as they were raised.
std::vector<TComponent*> ReadComponents(std::string_view AText, TComponent& AOwner,
                                        const TClassRegistry& AClasses);
