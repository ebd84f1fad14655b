// TComponent: ownership, free notification and the loading state.
#include "core/component.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;

// Writes its name to `log` when freed, and "<name> heard <other>" when told
// that a linked component goes away.
class Recorder : public TComponent {
 public:
  Recorder(TComponent* owner, const std::string& name, std::vector<std::string>& log)
      : TComponent(owner), log_(log) {
    SetName(name);
  }
  ~Recorder() override { log_.push_back("freed " + Name()); }

  TComponent* heard = nullptr;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    heard = component;
    log_.push_back(Name() + " heard");
  }

 private:
  std::vector<std::string>& log_;
};

TEST(ComponentTest, OwnerFreesWhatItOwnsLastCreatedFirst) {
  std::vector<std::string> log;
  auto* form = new Recorder(nullptr, "form", log);
  new Recorder(form, "db", log);
  auto* table = new Recorder(form, "tbl", log);
  new Recorder(table, "field", log);
  new Recorder(form, "qry", log);
  ASSERT_EQ(form->ComponentCount(), 3);
  EXPECT_EQ(form->Components(1), table);

  delete form;
  EXPECT_THAT(log, ElementsAre("freed form", "freed qry", "freed tbl", "freed field", "freed db"));
}

TEST(ComponentTest, AComponentFreedByHandLeavesItsOwner) {
  std::vector<std::string> log;
  auto* form = new Recorder(nullptr, "form", log);
  auto* first = new Recorder(form, "first", log);
  new Recorder(form, "second", log);
  delete first;
  ASSERT_EQ(form->ComponentCount(), 1);
  EXPECT_EQ(form->Components(0)->Name(), "second");
  delete form;
  EXPECT_THAT(
      log, ElementsAre("freed first", "second heard", "form heard", "freed form", "freed second"));
}

TEST(ComponentTest, FreeNotificationTellsTheSurvivorWhicheverGoesFirst) {
  std::vector<std::string> log;
  Recorder detail(nullptr, "detail", log);
  {
    Recorder source(nullptr, "source", log);
    source.FreeNotification(&detail);
  }
  EXPECT_THAT(log, ElementsAre("freed source", "detail heard"));

  log.clear();
  auto* source = new Recorder(nullptr, "source", log);
  const TComponent* gone = nullptr;
  {
    Recorder watcher(nullptr, "watcher", log);
    source->FreeNotification(&watcher);
    gone = &watcher;
  }
  EXPECT_EQ(source->heard, gone) << "the link runs both ways";
  delete source;  // must not call into the freed watcher
  EXPECT_THAT(log, ElementsAre("freed watcher", "source heard", "freed source"));
}

TEST(ComponentTest, AComponentFreedByHandIsAnnouncedToItsOwnersOtherComponents) {
  std::vector<std::string> log;
  auto* form = new Recorder(nullptr, "form", log);
  auto* connection = new Recorder(form, "connection", log);
  auto* lookup = new Recorder(form, "lookup", log);
  auto* table = new Recorder(form, "table", log);
  new Recorder(table, "field", log);
  delete lookup;
  EXPECT_THAT(log, ElementsAre("freed lookup", "field heard", "table heard", "connection heard",
                               "form heard"));
  EXPECT_EQ(connection->heard, lookup);

  log.clear();
  delete form;  // the owner's own teardown announces nothing
  EXPECT_THAT(log, ElementsAre("freed form", "freed table", "freed field", "freed connection"));
}

TEST(ComponentTest, RemovedFreeNotificationIsSilent) {
  std::vector<std::string> log;
  Recorder detail(nullptr, "detail", log);
  {
    Recorder source(nullptr, "source", log);
    source.FreeNotification(&detail);
    source.RemoveFreeNotification(&detail);
  }
  EXPECT_THAT(log, ElementsAre("freed source"));
}

TEST(ComponentTest, LoadingLastsUntilLoaded) {
  TComponent component(nullptr);
  EXPECT_FALSE(component.ComponentState().Contains(csLoading));
  component.BeginLoading();
  EXPECT_TRUE(component.ComponentState().Contains(csLoading));
  EXPECT_FALSE(component.ComponentState().Contains(csDesigning));
  component.Loaded();
  EXPECT_FALSE(component.ComponentState().Contains(csLoading));
}

}  // namespace
