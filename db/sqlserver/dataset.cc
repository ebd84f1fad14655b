#include "db/sqlserver/dataset.h"

#include "db/sqlserver/connection.h"

TCustomMSDataSet::TCustomMSDataSet(TComponent* AOwner)
    : TCustomDADataSet(AOwner, std::make_unique<TMSParams>()) {}

TCustomMSConnection* TCustomMSDataSet::Connection() const {
  return static_cast<TCustomMSConnection*>(TCustomDADataSet::Connection());
}

void TCustomMSDataSet::SetConnection(TCustomMSConnection* AValue) {
  TCustomDADataSet::SetConnection(AValue);
}

std::unique_ptr<TDADataSetOptions> TCustomMSDataSet::CreateOptions() {
  return std::make_unique<TMSDataSetOptions>(this);
}

TCustomDADataSet* TMSConnection::CreateDataSet(TComponent* AOwner) {
  auto* dataset = new TCustomMSDataSet(AOwner);
  dataset->SetConnection(this);
  return dataset;
}
