// TVtMSDataSetOptions: the options of the program's datasets, which read
// variable-length text without trailing blanks and bracket every name they
// generate, so that column names that are keywords work.
#pragma once

#include "db/sqlserver/dataset.h"

class TVtMSDataSetOptions : public TMSDataSetOptions {
 public:
  // The base options with TrimVarChar and QuoteNames true.
  explicit TVtMSDataSetOptions(TCustomDADataSet* AOwner) : TMSDataSetOptions(AOwner) {
    SetTrimVarChar(true);
    SetQuoteNames(true);
  }
};
