#include "db/dataset/dataset.h"
#include "db/fields/binary.h"
#include "db/fields/date_time.h"
#include "db/fields/numeric.h"
#include "db/fields/text.h"
#include "db/published/classes.h"

void RegisterFieldClasses(TClassRegistry& AClasses) {
  AClasses.Persistent<TField>("TField")
      .String("FieldName", &TField::FieldName, &TField::SetFieldName)
      .Reference<TDataSet>("DataSet", &TField::DataSet, &TField::SetDataSet)
      .Boolean("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly, false);
  AClasses.Component<TStringField>("TStringField", "TField")
      .Integer("Size", &TField::Size, &TField::SetSize, 20);
  AClasses.Component<TIntegerField>("TIntegerField", "TField");
  AClasses.Component<TLargeintField>("TLargeintField", "TField");
  AClasses.Component<TBooleanField>("TBooleanField", "TField");
  AClasses.Component<TFloatField>("TFloatField", "TField");
  AClasses.Component<TCurrencyField>("TCurrencyField", "TField");
  AClasses.Component<TDateField>("TDateField", "TField");
  AClasses.Component<TTimeField>("TTimeField", "TField");
  AClasses.Component<TDateTimeField>("TDateTimeField", "TField");
  AClasses.Component<TMemoField>("TMemoField", "TField");
  AClasses.Component<TBlobField>("TBlobField", "TField");
}
