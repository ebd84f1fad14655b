#include "sync/synch_pass.h"

#include <cstdint>
#include <string>

#include "core/exception.h"
#include "db/values/variant_convert.h"
#include "sync/key_range.h"
#include "sync/pass_abort.h"
#include "sync/synch_log_lines.h"
#include "sync/synch_statements.h"

namespace {

std::int32_t ReadKey(const TDataSet& ADataSet, const char* AColumn, const char* ATable) {
  return Int32Key(VariantToInt64(ADataSet.FieldByName(AColumn).Value()), ATable);
}

void OpenOrRefresh(TDataSet& ADataSet) {
  if (ADataSet.Active()) {
    ADataSet.Refresh();
  } else {
    ADataSet.Open();
  }
}

// Whether writing `AAvailable` to the AVAILABLE flag of the current record of
// `ADataSet` changes it.
bool FlagChanges(const TDataSet& ADataSet, bool AAvailable) {
  return ::FlagChanges(ADataSet.FieldByName("AVAILABLE").Value(), AAvailable);
}

void ShowRemaining(ISynchView& AView, std::int32_t ARemaining) {
  AView.SetPassesCaption(std::to_string(ARemaining) + " Property Locations To Process Remaining");
  AView.RepaintPasses();
}

class SynchPass {
 public:
  SynchPass(ISynchView& AView, TCustomDADataSet& ALocations, TCustomDADataSet& AContainers,
            TCustomDADataSet& AQuery, TFlagWrites AWrites)
      : FView(AView),
        FLocations(ALocations),
        FContainers(AContainers),
        FQuery(AQuery),
        FWrites(AWrites) {}

  // The flags changed so far, or in a dry run those that would have been.
  const TFlagDrift& Drift() const { return FDrift; }

  void Run() {
    OpenOrRefresh(FLocations);
    OpenOrRefresh(FContainers);
    FView.SetProgressPosition(0);
    std::int32_t remaining = FLocations.RecordCount();
    ShowRemaining(FView, remaining);
    FLocations.First();
    while (!FLocations.Eof()) {
      FView.SetProgressMax(remaining + FContainers.RecordCount());
      FView.SetProgressStep(1);
      SynchLocation();
      FLocations.Next();
      --remaining;
      ShowRemaining(FView, remaining);
      FView.StepProgress();
    }
    FQuery.Close();
    FView.SetProgressPosition(0);
    FView.ShowMessage("Property Locations Synchronization Completed");
  }

 private:
  void SynchLocation() {
    const TLogLocation location{FLocations.FieldByName("LOCATION").AsString(),
                                FLocations.FieldByName("LOCATIONCODE").AsString(),
                                ReadKey(FLocations, "LOCKEY", "CFGPROPL")};
    if (CountHeldProperty(FQuery, location.Key) <= 0) {
      const int containersHeldBack = ContainersNotAvailable();
      WriteFlags(FDrift.Locations, FlagChanges(FLocations, true) ? 1 : 0,
                 [&] { ReleaseLocation(FQuery, location.Key); });
      WriteFlags(FDrift.Containers, containersHeldBack,
                 [&] { ReleaseContainersOf(FQuery, location.Key); });
      Log(BlockRule());
      Log(LocationReleasedLine(location));
      Log(BlockRule());
      return;
    }
    const std::int32_t containerCount = FContainers.RecordCount();
    const std::int32_t inUse = SynchContainers(location);
    bool available = true;
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
    WriteFlags(FDrift.Locations, FlagChanges(FLocations, available) ? 1 : 0,
               [&] { UpdateLocation(FQuery, location.Key, available); });
  }

  // The containers of the current location whose flag is not set.
  int ContainersNotAvailable() {
    int count = 0;
    for (FContainers.First(); !FContainers.Eof(); FContainers.Next()) {
      if (FlagChanges(FContainers, true)) ++count;
    }
    return count;
  }

  // Runs `AStatement` unless this is a dry run, then adds `AChanges` to
  // `ACount`: after an error, the count holds only what took effect.
  template <class Statement>
  void WriteFlags(int& ACount, int AChanges, Statement AStatement) {
    if (FWrites == TFlagWrites::Write) AStatement();
    ACount += AChanges;
  }

  // Decides every container's flag and writes it; returns how many are in use.
  std::int32_t SynchContainers(const TLogLocation& ALocation) {
    std::int32_t inUse = 0;
    FContainers.First();
    while (!FContainers.Eof()) {
      const std::int32_t key = ReadKey(FContainers, "CONTAINERID", "CFGPROPC");
      const std::string name = FContainers.FieldByName("CONTAINER").AsString();
      FView.SetWhatHappenCaption("Synching Location :" + ALocation.Name + " Container : " + name +
                                 " Container ID : " + std::to_string(key));
      FView.RepaintWhatHappen();
      const std::int32_t items = CountHeldItems(FQuery, ALocation.Key, key);
      WriteFlags(FDrift.Containers, FlagChanges(FContainers, items <= 0) ? 1 : 0,
                 [&] { UpdateContainer(FQuery, ALocation.Key, key, items <= 0); });
      Log(BlockRule());
      Log(ContainerLine(ALocation, name, key));
      if (items > 0) {
        Log(" Container Status: In Use");
        Log(" Inmates using this location:");
        OpenContainerInmates(FQuery, ALocation.Key, key);
        LogInmates();
        ++inUse;
      } else {
        Log(" Container Status : Available");
      }
      Log(BlockRule());
      FContainers.Next();
      FView.StepProgress();
      FView.RepaintWindow();
    }
    return inUse;
  }

  // Every container is in use: when more held inmates have items at the
  // location than it has containers, lists them and returns true.
  bool ReportOverUse(const TLogLocation& ALocation, std::int32_t AContainerCount) {
    OpenLocationInmates(FQuery, ALocation.Key);
    if (FQuery.RecordCount() <= AContainerCount) {
      FQuery.Close();
      return false;
    }
    Log(BlockRule());
    Log(OverUseLine(ALocation));
    Log("");
    Log("Inmates using this containers on this Location:");
    LogInmates();
    return true;
  }

  // One line per row of the open query, then closes it.
  void LogInmates() {
    for (FQuery.First(); !FQuery.Eof(); FQuery.Next()) Log(InmateLine(FQuery));
    FQuery.Close();
  }

  void Log(const std::string& ALine) { FView.AppendLogLine(ALine); }

  ISynchView& FView;
  TCustomDADataSet& FLocations;
  TCustomDADataSet& FContainers;
  TCustomDADataSet& FQuery;
  const TFlagWrites FWrites;
  TFlagDrift FDrift;
};

}  // namespace

TFlagDrift GoSynchPropertyLocations(ISynchView& AView, TCustomDADataSet& ALocations,
                                    TCustomDADataSet& AContainers, TCustomDADataSet& AQuery,
                                    TFlagWrites AWrites) {
  SynchPass pass(AView, ALocations, AContainers, AQuery, AWrites);
  try {
    pass.Run();
  } catch (const Exception& error) {
    AQuery.Close();
    ShowPassAborted(AView, error);
  }
  return pass.Drift();
}
