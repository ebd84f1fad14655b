// TCustomMSDataSet: the SQL Server dataset, what a plain TMSConnection's
// CreateDataSet makes; TMSDataSetOptions: its options.
#pragma once

#include <memory>

#include "db/access/dataset.h"

class TCustomMSConnection;

class TMSDataSetOptions : public TDADataSetOptions {
 public:
  explicit TMSDataSetOptions(TCustomDADataSet* AOwner) : TDADataSetOptions(AOwner) {}
};

class TCustomMSDataSet : public TCustomDADataSet {
 public:
  // A closed dataset without connection, owned by `AOwner` (may be null).
  explicit TCustomMSDataSet(TComponent* AOwner);

  TCustomMSConnection* Connection() const;
  void SetConnection(TCustomMSConnection* AValue);

  TMSParams& Params() const { return static_cast<TMSParams&>(TCustomDADataSet::Params()); }
  TMSDataSetOptions& Options() const {
    return static_cast<TMSDataSetOptions&>(TCustomDADataSet::Options());
  }

 protected:
  // A TMSDataSetOptions; derived option classes must derive from it.
  std::unique_ptr<TDADataSetOptions> CreateOptions() override;
};
