#include "db/dataset/data_source.h"

#include <algorithm>

#include "db/dataset/dataset.h"

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
  const std::vector<TDataSourceClient*> clients = FClients;
  for (TDataSourceClient* client : clients) client->DataSourceFreed(this);
}

void TDataSource::SetDataSet(TDataSet* ADataSet) {
  if (ADataSet == FDataSet) return;
  if (FDataSet != nullptr) FDataSet->RemoveDataSource(this);
  FDataSet = ADataSet;
  if (FDataSet != nullptr) FDataSet->AddDataSource(this);
  DataSetChanged();
}

void TDataSource::AddClient(TDataSourceClient* AClient) {
  if (std::ranges::find(FClients, AClient) == FClients.end()) FClients.push_back(AClient);
}

void TDataSource::RemoveClient(TDataSourceClient* AClient) {
  std::erase(FClients, AClient);
}

void TDataSource::DataSetChanged() {
  // A client may leave while it is told.
  const std::vector<TDataSourceClient*> clients = FClients;
  for (TDataSourceClient* client : clients) {
    if (std::ranges::find(FClients, client) != FClients.end()) client->DataSourceChanged(this);
  }
}

void TDataSource::DataSetFreed() {
  FDataSet = nullptr;
  DataSetChanged();
}
