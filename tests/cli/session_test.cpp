// The session's account: which event spawned what, what became of it, and
// why an event did not go ahead.
#include <cstdio>
#include <cstdlib>
#include <tuple>

#include "diag/log.h"
#include "events/predator.h"
#include "fixture.h"
#include "session.h"

namespace simcli {
namespace {

using sagebrook::testing::PluginTest;

int32_t AddThing(sim::EntityKind kind, bool human = true) {
  return sim::AddEntity(kind, {5.0f, 5.0f, 20.0f}, human);
}

// Stand-ins for event starts, doing what the world would show of an event.
std::vector<int32_t> Made;
void MakeWagonAndDriver(int32_t) {
  Made.push_back(AddThing(sim::EntityKind::Vehicle));
  Made.push_back(AddThing(sim::EntityKind::Ped));
  sim::AddBlip(Made.back(), sim::HashName("BLIP_STYLE_ENEMY"));
  sagebrook::ShowNotification("Runaway wagon!");
}
void RefuseOnScreen(int32_t) {
  sagebrook::ShowNotification("No road nearby for a runaway wagon");
}
void RefuseInTheLog(int32_t) {
  sagebrook::LogLine("EVENT Execution: no tree/beam overhead found nearby - skipped");
}
void MakeNothing(int32_t) {}
// Yields frames like a model load; the game creates the ped meanwhile.
void MakeWhileWaiting(int32_t) {
  sim::ScheduleAtFrame(sim::GetWorld().frame + 1,
                       [] { Made.push_back(AddThing(sim::EntityKind::Ped, false)); });
  for (int i = 0; i < 3; ++i) sagebrook::hook::scriptWait(0);
}

class SimSession : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    BuildFrontier(18);
    Made.clear();
    out_ = open_memstream(&buffer_, &size_);
  }
  void TearDown() override {
    EndSession();
    std::fclose(out_);
    std::free(buffer_);
    PluginTest::TearDown();
  }
  void Begin(std::array<sagebrook::EventStart, 5> starts) {
    std::copy(starts.begin(), starts.end(), sagebrook::EventStarts);
    BeginSession(Options{}, out_);
  }
  void Start(int32_t kind) { sagebrook::EventStarts[kind - 1](world().playerPed); }
  // One frame of play and the session's look at it.
  void Play() {
    RunFrame();
    ObserveFrame(world().tick - TheFrontier.startTick);
  }
  std::string Timeline() {
    std::fflush(out_);
    return std::string(buffer_, size_);
  }
  const SpawnedThing& Thing(size_t i) { return Session.things.at(i); }

  std::FILE* out_ = nullptr;
  char* buffer_ = nullptr;
  size_t size_ = 0;
};

TEST_F(SimSession, WhatAStartCreatesBelongsToItsKindAndLaterThingsToTheLastEvent) {
  Begin({nullptr, MakeWagonAndDriver, nullptr, nullptr, nullptr});
  Play();
  Start(2);
  ASSERT_EQ(Session.events.size(), 1u);
  const EventRecord& e = Session.events[0];
  EXPECT_EQ(std::tie(e.kind, e.built, e.refusal, e.notice),
            std::make_tuple(2, true, std::string(), std::string("Runaway wagon!")));
  ASSERT_EQ(e.spawned.size(), 2u);
  const SpawnedThing &cart = Thing(e.spawned[0]), &driver = Thing(e.spawned[1]);
  EXPECT_EQ(std::tie(cart.what, cart.blip), std::make_tuple(std::string("vehicle"), false));
  EXPECT_EQ(std::tie(driver.what, driver.handle, driver.blip, driver.enemyBlip),
            std::make_tuple(std::string("ped"), Made[1], true, true));

  // Made in a later frame (a rig, say): the last event's.
  Made.push_back(AddThing(sim::EntityKind::Object));
  Play();
  ASSERT_EQ(Session.things.size(), 3u);
  EXPECT_EQ(std::tie(Thing(2).event, Thing(2).what), std::make_tuple(0, std::string("object")));

  const std::string t = Timeline();
  const size_t event = t.find("  event     #1 Runaway wagon\n");
  const size_t spawned = t.find("  spawned   vehicle " + std::to_string(Made[0]));
  const size_t notice = t.find("  notice    \"Runaway wagon!\"\n");
  ASSERT_NE(event, std::string::npos) << t;
  EXPECT_LT(event, spawned);
  EXPECT_LT(spawned, notice);
  EXPECT_EQ(t.find("spawned   ped " + std::to_string(world().playerPed)), std::string::npos)
      << "the frontier's own people are not the plugin's";
}

TEST_F(SimSession, RefusalsByNotificationByLogLineAndByNothingSpawned) {
  sagebrook::Settings.logging = 1;
  Begin({MakeNothing, RefuseOnScreen, RefuseInTheLog, nullptr, MakeWagonAndDriver});
  Play();
  for (int32_t kind : {2, 3, 2, 1, 4, 5}) Start(kind);
  ASSERT_EQ(Session.events.size(), 6u);
  EXPECT_EQ(Session.events[0].refusal, "\"No road nearby for a runaway wagon\"");
  EXPECT_EQ(Session.events[1].refusal,
            "EVENT Execution: no tree/beam overhead found nearby - skipped");
  EXPECT_EQ(Session.events[3].refusal, "spawned nothing");
  // A kind the plugin has no start for is not built, not refused.
  EXPECT_FALSE(Session.events[4].built);
  EXPECT_EQ(Session.events[4].refusal + Session.events[5].refusal, "");
  ASSERT_EQ(Session.refusals.size(), 3u);
  EXPECT_EQ(std::make_tuple(Session.refusals[0].second, Session.refusals[1].second,
                            Session.refusals[2].second),
            std::make_tuple(2, 1, 1));  // the road, twice

  // The dispatcher's own refusal comes with no start at all.
  OnlyKind(nullptr);
  sagebrook::DispatchRandomEvent(world().playerPed);
  Play();
  ASSERT_EQ(Session.refusals.size(), 4u);
  EXPECT_EQ(Session.refusals[3].first, "No event types are enabled");
  EXPECT_NE(Timeline().find("  refused   #1 Runaway wagon: \"No road nearby for a runaway "
                            "wagon\"\n"),
            std::string::npos);
}

TEST_F(SimSession, FatesReleasedConvertedDeletedAndVanished) {
  Begin({MakeWagonAndDriver, MakeWagonAndDriver, nullptr, nullptr, nullptr});
  Start(1);
  Start(2);
  ASSERT_EQ(Made.size(), 4u);
  Play();
  // Converted: released, then given the stranger set-up.
  Entity(Made[1]).released = Entity(Made[1]).greetableWhenReleased = Entity(Made[3]).released =
      true;
  Entity(Made[0]).deleted = true;
  Entity(Made[0]).exists = false;
  sim::RemoveEntity(Made[2]);
  Play();
  EXPECT_EQ(std::make_tuple(Thing(0).fate, Thing(1).fate, Thing(2).fate, Thing(3).fate),
            std::make_tuple(Fate::Deleted, Fate::Converted, Fate::Vanished, Fate::Released));
  const std::string t = Timeline();
  EXPECT_NE(t.find("  convert   ped " + std::to_string(Made[1]) + " "), std::string::npos) << t;
  EXPECT_NE(t.find("  deleted   vehicle " + std::to_string(Made[0])), std::string::npos);
  // A fate is told once.
  Play();
  EXPECT_EQ(Timeline(), t);
}

TEST_F(SimSession, WhatTheGameMakesDuringAStartsWaitsIsTheStartsAndToldAfterIt) {
  world().frameRate = 60;
  Begin({MakeWhileWaiting, nullptr, nullptr, nullptr, nullptr});
  sim::SetAfterWait([this] {
    ObserveFrame(world().tick - TheFrontier.startTick);
    EXPECT_EQ(Timeline().find("spawned"), std::string::npos) << "told during the event";
  });
  Start(1);
  sim::SetAfterWait(nullptr);
  ASSERT_EQ(Made.size(), 1u);
  ASSERT_EQ(Session.events[0].spawned.size(), 1u);
  EXPECT_EQ(Thing(0).what + Session.events[0].refusal, "animal");
}

TEST_F(SimSession, TheRealPredatorAttackIsToldWithItsAnimalLogAndNotice) {
  sagebrook::Settings.logging = 1;
  Begin({sagebrook::StartPredatorAttack, nullptr, nullptr, nullptr, nullptr});
  OnlyKind(&sagebrook::SettingsRecord::predatorAttack);
  Play();
  sagebrook::DispatchRandomEvent(world().playerPed);
  Play();
  ASSERT_EQ(Session.events.size(), 1u);
  const EventRecord& e = Session.events[0];
  ASSERT_EQ(e.spawned.size(), 1u);
  const SpawnedThing& predator = Thing(e.spawned[0]);
  EXPECT_EQ(std::tie(predator.what, predator.enemyBlip),
            std::make_tuple(std::string("animal"), true));
  EXPECT_TRUE(predator.model.starts_with("A_C_")) << predator.model;
  EXPECT_EQ(Session.mostTrackedPeds, 1u);
  const std::string t = Timeline();
  EXPECT_NE(t.find("  log       EVENT Predator: model=" + predator.model), std::string::npos) << t;
  EXPECT_NE(t.find("  notice    \"A predator is"), std::string::npos) << t;
  // Time stamps belong to the timeline's columns, not the log text.
  EXPECT_EQ(t.find("log       ["), std::string::npos);
}

}  // namespace
}  // namespace simcli
