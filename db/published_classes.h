// The data-access classes a stored description may name, with their
// published properties and declared defaults (core/class_registry.h).
#pragma once

#include "core/class_registry.h"

// TMSConnection with its options (TDAConnectionOptions,
// TCustomMSConnectionOptions, TMSConnectionOptions).
void RegisterConnectionClasses(TClassRegistry& AClasses);

// TDataSource, TMSTable and TMSQuery with their options (TDADataSetOptions,
// TMSDataSetOptions). Their references name connections and data sources.
void RegisterDataSetClasses(TClassRegistry& AClasses);

// The field classes a dataset declares: TStringField, TIntegerField,
// TLargeintField, TBooleanField, TFloatField, TCurrencyField, TDateField,
// TTimeField, TDateTimeField, TMemoField, TBlobField.
void RegisterFieldClasses(TClassRegistry& AClasses);
