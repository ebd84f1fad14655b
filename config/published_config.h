// The configuration classes a stored description may name, with their
// published properties and declared defaults (core/class_registry.h).
#pragma once

#include "core/class_registry.h"
#include "platform/disk.h"

// TVantorIni. Its settings are stored only while OverrideSettings is on, and
// VantorIni only while OverrideIniFileName is on (each, as every property,
// only when it differs from its default); LibPath is read-only. Then
// TVtCustomConfigInfo (entries only), which adds SkipLookups, never stored,
// and TVtConfigInfo, which adds nothing. The components a description
// creates look for the site configuration on `ADisk`, which must outlive them.
void RegisterConfigClasses(TClassRegistry& AClasses,
                           const platform::Disk& ADisk = platform::SystemDisk());
