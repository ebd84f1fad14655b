#include "sync/set_based_pass.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/exception.h"
#include "db/access/connection.h"
#include "db/values/variant_convert.h"
#include "sync/key_range.h"
#include "sync/pass_abort.h"
#include "sync/set_based_statements.h"
#include "sync/synch_log_lines.h"

namespace {

// The transaction the flags are written in. Left without Commit() (an error
// unwinding the pass), it rolls back at once, before the operator is shown
// the error, so that no lock outlives the pass.
class PassTransaction {
 public:
  explicit PassTransaction(TCustomDADataSet& AQuery) : FQuery(AQuery) {
    BeginPassTransaction(FQuery);
  }
  ~PassTransaction() {
    if (FCommitted || !FQuery.Connection()->Connected()) return;
    try {
      RollBackPassTransaction(FQuery);
    } catch (const Exception&) {
      // The session is gone with the error, and a server rolls back the
      // transaction of a session that ends.
    }
  }
  PassTransaction(const PassTransaction&) = delete;
  PassTransaction& operator=(const PassTransaction&) = delete;

  void Commit() {
    CommitPassTransaction(FQuery);
    FCommitted = true;
  }

 private:
  TCustomDADataSet& FQuery;
  bool FCommitted = false;
};

struct ContainerRow {
  std::int64_t Key;
  std::string Name;
  TVariant Available;  // as read
};

void OpenOrRefresh(TDataSet& ADataSet) {
  if (ADataSet.Active()) {
    ADataSet.Refresh();
  } else {
    ADataSet.Open();
  }
}

void ShowRemaining(ISynchView& AView, std::int32_t ARemaining) {
  AView.SetPassesCaption(std::to_string(ARemaining) + " Property Locations To Process Remaining");
  AView.RepaintPasses();
}

template <class AKey, class AValue>
AValue ValueAt(const std::map<AKey, AValue>& AMap, const AKey& AAt) {
  const auto found = AMap.find(AAt);
  return found == AMap.end() ? AValue{} : found->second;
}

class SetBasedPass {
 public:
  SetBasedPass(ISynchView& AView, TCustomDADataSet& ALocations, TCustomDADataSet& AContainers,
               TCustomDADataSet& AQuery, TFlagWrites AWrites)
      : FView(AView),
        FLocations(ALocations),
        FContainers(AContainers),
        FQuery(AQuery),
        FWrites(AWrites) {}

  // What the decided locations change, so far.
  const TFlagDrift& Drift() const { return FDrift; }

  void Run() {
    std::optional<PassTransaction> transaction;
    if (FWrites == TFlagWrites::Write) transaction.emplace(FQuery);
    OpenOrRefresh(FLocations);
    OpenOrRefresh(FContainers);
    ReadContainers();
    FHeldProperty = ReadHeldProperty(FQuery);
    FHeldItems = ReadHeldItems(FQuery);
    FContainerInmates = ReadContainerInmates(FQuery);
    FLocationInmates = ReadLocationInmates(FQuery);

    FView.SetProgressPosition(0);
    std::int32_t remaining = FLocations.RecordCount();
    ShowRemaining(FView, remaining);
    FLocations.First();
    while (!FLocations.Eof()) {
      const std::int64_t key = VariantToInt64(FLocations.FieldByName("LOCKEY").Value());
      const std::vector<ContainerRow>& containers = FContainersByLocation[key];
      FView.SetProgressMax(remaining + static_cast<std::int32_t>(containers.size()));
      FView.SetProgressStep(1);
      SynchLocation(key, containers);
      FLocations.Next();
      --remaining;
      ShowRemaining(FView, remaining);
      FView.StepProgress();
    }
    if (transaction) {
      WriteContainerFlags(FQuery, FDrift.Containers);
      WriteLocationFlags(FQuery, FDrift.Locations);
      transaction->Commit();
    }
    FQuery.Close();
    FView.SetProgressPosition(0);
    FView.ShowMessage("Property Locations Synchronization Completed");
  }

 private:
  // The containers of each location in the order the whole table gives
  // them. Neither this statement nor the per-location one of the window's
  // detail dataset orders its rows, and a server returns both along
  // CFGPROPC's primary key (CONTAINERID, its clustered index), so each
  // location's containers come in the same order either way.
  void ReadContainers() {
    for (FContainers.First(); !FContainers.Eof(); FContainers.Next()) {
      const TField& location = FContainers.FieldByName("LOCKEY");
      if (location.IsNull()) continue;  // no location's containers
      FContainersByLocation[VariantToInt64(location.Value())].push_back(
          {VariantToInt64(FContainers.FieldByName("CONTAINERID").Value()),
           FContainers.FieldByName("CONTAINER").AsString(),
           FContainers.FieldByName("AVAILABLE").Value()});
    }
  }

  void SynchLocation(std::int64_t AKey, const std::vector<ContainerRow>& AContainers) {
    const TLogLocation location{FLocations.FieldByName("LOCATION").AsString(),
                                FLocations.FieldByName("LOCATIONCODE").AsString(),
                                Int32Key(AKey, "CFGPROPL")};
    TFlagDrift drift;
    bool available = true;
    if (ValueAt(FHeldProperty, AKey) <= 0) {
      for (const ContainerRow& container : AContainers) {
        drift.Containers += FlagChanges(container.Available, true);
      }
      Log(BlockRule());
      Log(LocationReleasedLine(location));
      Log(BlockRule());
    } else {
      const std::int32_t containerCount = static_cast<std::int32_t>(AContainers.size());
      const std::int32_t inUse = SynchContainers(location, AContainers, drift);
      if (inUse < containerCount) {
        Log(BlockRule());
        Log(SomeAvailableLine(location));
        Log(BlockRule());
      } else {
        available = false;
        const std::string status = containerCount > 0 && ReportOverUse(location, containerCount)
                                       ? "Over Use of Container / "
                                       : "All Containers In Use / ";
        Log(BlockRule());
        Log(StatusLine(location, status));
        Log(BlockRule());
      }
    }
    drift.Locations += FlagChanges(FLocations.FieldByName("AVAILABLE").Value(), available);
    FDrift.Locations += drift.Locations;
    FDrift.Containers += drift.Containers;
  }

  // Decides every container's flag into `ADrift`; returns how many are in use.
  std::int32_t SynchContainers(const TLogLocation& ALocation,
                               const std::vector<ContainerRow>& AContainers, TFlagDrift& ADrift) {
    std::int32_t inUse = 0;
    for (const ContainerRow& container : AContainers) {
      const std::int32_t key = Int32Key(container.Key, "CFGPROPC");
      FView.SetWhatHappenCaption("Synching Location :" + ALocation.Name + " Container : " +
                                 container.Name + " Container ID : " + std::to_string(key));
      FView.RepaintWhatHappen();
      const bool used = ValueAt(FHeldItems, TContainerRef{ALocation.Key, key}) > 0;
      ADrift.Containers += FlagChanges(container.Available, !used);
      Log(BlockRule());
      Log(ContainerLine(ALocation, container.Name, key));
      if (used) {
        Log(" Container Status: In Use");
        Log(" Inmates using this location:");
        for (const std::string& line :
             ValueAt(FContainerInmates, TContainerRef{ALocation.Key, key})) {
          Log(line);
        }
        ++inUse;
      } else {
        Log(" Container Status : Available");
      }
      Log(BlockRule());
      FView.StepProgress();
      FView.RepaintWindow();
    }
    return inUse;
  }

  // Every container is in use: when more held inmates have items at the
  // location than it has containers, lists them and returns true.
  bool ReportOverUse(const TLogLocation& ALocation, std::int32_t AContainerCount) {
    const std::vector<std::string> inmates = ValueAt(FLocationInmates, std::int64_t{ALocation.Key});
    if (static_cast<std::int64_t>(inmates.size()) <= AContainerCount) return false;
    Log(BlockRule());
    Log(OverUseLine(ALocation));
    Log("");
    Log("Inmates using this containers on this Location:");
    for (const std::string& line : inmates) Log(line);
    return true;
  }

  void Log(const std::string& ALine) { FView.AppendLogLine(ALine); }

  ISynchView& FView;
  TCustomDADataSet& FLocations;
  TCustomDADataSet& FContainers;
  TCustomDADataSet& FQuery;
  const TFlagWrites FWrites;
  std::map<std::int64_t, std::vector<ContainerRow>> FContainersByLocation;
  std::map<std::int64_t, std::int64_t> FHeldProperty;
  std::map<TContainerRef, std::int64_t> FHeldItems;
  std::map<TContainerRef, std::vector<std::string>> FContainerInmates;
  std::map<std::int64_t, std::vector<std::string>> FLocationInmates;
  TFlagDrift FDrift;
};

}  // namespace

TFlagDrift GoSynchPropertyLocationsSetBased(ISynchView& AView, TCustomDADataSet& ALocations,
                                            TCustomDADataSet& AContainers, TCustomDADataSet& AQuery,
                                            TFlagWrites AWrites) {
  SetBasedPass pass(AView, ALocations, AContainers, AQuery, AWrites);
  try {
    pass.Run();
    return pass.Drift();
  } catch (const Exception& error) {
    AQuery.Close();
    ShowPassAborted(AView, error);
    return AWrites == TFlagWrites::DryRun ? pass.Drift() : TFlagDrift{};
  }
}
