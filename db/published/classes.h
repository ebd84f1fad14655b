// The data-access classes a stored description may name, with their
// published properties and declared defaults (core/class_registry.h).
#pragma once

#include "core/class_registry.h"

// TMSConnection with its options (TDAConnectionOptions,
// TCustomMSConnectionOptions, TMSConnectionOptions).
void RegisterConnectionClasses(TClassRegistry& AClasses);

// TVtSQLDatabase with TVtSQLDatabaseOptions: KeepDesignConnected defaults to
// false, DefaultLockTimeout to -1, the provider is the "Provider" entry in
// the form it was read; ProgramName and the VtConfigInfo link (a component
// that is an IVtConfigLookup) come after the inherited entries; VtVersion is
// read-only. Needs the classes RegisterConnectionClasses registers.
void RegisterVtDatabaseClasses(TClassRegistry& AClasses);

// TDataSource, TMSTable and TMSQuery with their options (TDADataSetOptions,
// TMSDataSetOptions), then the program's own (RegisterVtDataSetClasses).
// Their references name connections and data sources.
void RegisterDataSetClasses(TClassRegistry& AClasses);

// TVtMSTable, TVtCustomMSQuery and TVtMSQuery with their options
// (TVtMSDataSetOptions): their connection is a TMSConnection; RecordLocksMake
// and RecordLocksCheck default to true, RefreshOptions to [roBeforeEdit];
// VtVersion is read-only. TVtMSQuery adds IndexName, TableName and
// AutoLoadIndexDefs. Needs the classes RegisterDataSetClasses registers.
void RegisterVtDataSetClasses(TClassRegistry& AClasses);

// The field classes a dataset declares: TStringField, TIntegerField,
// TLargeintField, TBooleanField, TFloatField, TCurrencyField, TDateField,
// TTimeField, TDateTimeField, TMemoField, TBlobField.
void RegisterFieldClasses(TClassRegistry& AClasses);
