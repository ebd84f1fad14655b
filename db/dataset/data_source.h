// TDataSource: names a dataset for those that follow it (a detail's
// MasterSource) and passes on the dataset's row and content changes.
#pragma once

#include <vector>

#include "core/component.h"

class TDataSet;
class TDataSource;

// What a follower of a data source is told.
class TDataSourceClient {
 public:
  // The source's dataset opened, closed, moved to another row, or its rows
  // changed; also when the source is given another dataset.
  virtual void DataSourceChanged(TDataSource* ASource) = 0;
  // `ASource` is being freed: forget it.
  virtual void DataSourceFreed(TDataSource* ASource) = 0;

 protected:
  ~TDataSourceClient() = default;
};

class TDataSource : public TComponent {
 public:
  explicit TDataSource(TComponent* AOwner) : TComponent(AOwner) {}
  // Leaves its dataset and tells its clients (DataSourceFreed).
  ~TDataSource() override;

  // The dataset followed; null when none. Setting it tells the clients.
  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* ADataSet);

  // Adds / removes a follower; unknown or repeated ones are ignored.
  void AddClient(TDataSourceClient* AClient);
  void RemoveClient(TDataSourceClient* AClient);

 private:
  friend class TDataSet;

  // From the dataset: its row or rows changed; it is being freed.
  void DataSetChanged();
  void DataSetFreed();

  TDataSet* FDataSet = nullptr;
  std::vector<TDataSourceClient*> FClients;
};
