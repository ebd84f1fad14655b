#include "sync/synch_pass.h"

#include <cstdint>
#include <string>

#include "core/exception.h"
#include "db/variant_convert.h"
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

void ShowRemaining(ISynchView& AView, std::int32_t ARemaining) {
  AView.SetPassesCaption(std::to_string(ARemaining) + " Property Locations To Process Remaining");
  AView.RepaintPasses();
}

class SynchPass {
 public:
  SynchPass(ISynchView& AView, TCustomDADataSet& ALocations, TCustomDADataSet& AContainers,
            TCustomDADataSet& AQuery)
      : FView(AView), FLocations(ALocations), FContainers(AContainers), FQuery(AQuery) {}

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
      ReleaseLocation(FQuery, location.Key);
      ReleaseContainersOf(FQuery, location.Key);
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
    UpdateLocation(FQuery, location.Key, available);
  }

  // Decides and writes every container's flag; returns how many are in use.
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
      UpdateContainer(FQuery, ALocation.Key, key, items <= 0);
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
};

}  // namespace

void GoSynchPropertyLocations(ISynchView& AView, TCustomDADataSet& ALocations,
                              TCustomDADataSet& AContainers, TCustomDADataSet& AQuery) {
  try {
    SynchPass(AView, ALocations, AContainers, AQuery).Run();
  } catch (const Exception& error) {
    AQuery.Close();
    ShowPassAborted(AView, error);
  }
}
