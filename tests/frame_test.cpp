#include <set>

#include "fixture.h"

namespace sagebrook::testing {
namespace {

// True when t is the first 16 ms frame after deadline, in wrapping arithmetic.
bool FirstFramePast(uint32_t t, uint32_t deadline) {
  return t - deadline >= 1 && t - deadline <= 16;
}

using FrameTest = PluginTest;

TEST_F(FrameTest, NothingRunsBeforeControlThenTimersKeepTheirDeadlinesAcrossTheTickWrap) {
  ProbeEvents();
  const uint32_t start = 0xFFFFFFFFu - 30000u;
  world().tick = start;
  Settings.logging = 1;
  ShowNotification("pending");
  PressKey(KeyBindings.menuKey);
  world().playerInControl = false;
  sim::RemoveEntity(world().playerPed);  // still loading
  RunFrames(5);
  Entity(world().playerPed).exists = true;
  RunFrames(5);
  const std::set<std::string> asked = {"GetPlayerIndex", "GetPlayerPed", "EntityExists",
                                       "IsPlayerInControl"};
  for (const std::string& name : sim::TraceNames()) EXPECT_TRUE(asked.count(name)) << name;
  EXPECT_TRUE(world().lastFrame.texts.empty() && !AmbientSchedule.firstEventArmed &&
              KeyPressedFlags[KeyBindings.menuKey].load() == 1);

  world().playerInControl = true;
  const uint32_t armedAt = world().tick;
  RunFrame();
  EXPECT_TRUE(MenuState.menuOpen) << "the pending press opens the menu";
  EXPECT_EQ(CountTexts("pending"), 9u);
  EXPECT_EQ(AmbientSchedule.nextAmbientAt, armedAt + 60000);
  EXPECT_EQ(ReadFile(kLogFileName), "[12:00:00.000] In control - first event in ~60s\r\n");

  const int32_t ped = AddPed(), blip = sim::AddBlip(ped, 1);
  EventBlips = {{blip, armedAt + 45000, ped}};
  // A plain `now > deadline` would take the blip and fire the event at once.
  ASSERT_GT(armedAt, armedAt + 45000);
  world().tracing = false;
  uint32_t blipGone = 0;
  while (Started.empty() && world().tick - armedAt < 70000) {
    const uint32_t now = world().tick;
    RunFrame();
    if (blipGone == 0 && !world().blips[blip].exists) blipGone = now;
  }
  ASSERT_EQ(Started.size(), 1u);
  EXPECT_TRUE(FirstFramePast(Started[0].tick, armedAt + 60000));
  EXPECT_TRUE(FirstFramePast(blipGone, armedAt + 45000));
}

TEST_F(FrameTest, GapFollowsTheFrequencyFromTheEventsEndAndADueEventWaitsItsTurn) {
  ProbeEvents();
  world().tracing = false;
  const uint32_t kEventMs = 25000;  // longer than the spread, so counting from the start shows
  DuringEvent = [] { hook::scriptWait(kEventMs); };
  RunFrame();
  std::set<uint32_t> spreads;  // values outside 0..2 take the nearest frequency
  for (auto [frequency, base] :
       {std::pair{-1, 180000u}, {0, 180000u}, {1, 110000u}, {2, 55000u}, {3, 55000u}}) {
    Settings.frequency = frequency;
    for (int i = 0; i < 4; ++i) {
      const uint32_t due = AmbientSchedule.nextAmbientAt, from = world().tick;
      const size_t before = Started.size();
      while (Started.size() == before && world().tick - from < 300000) RunFrame();
      ASSERT_EQ(Started.size(), before + 1);
      EXPECT_TRUE(FirstFramePast(Started.back().tick, due));
      const uint32_t gap = AmbientSchedule.nextAmbientAt - (Started.back().tick + kEventMs);
      EXPECT_TRUE(gap >= base && gap <= base + 19999) << frequency << " " << gap;
      spreads.insert(gap - base);
    }
  }
  EXPECT_GT(*spreads.rbegin() - *spreads.begin(), 15000u) << "the spread covers its 20 s";

  // Thirty tracked peds, the dead among them, skip the event but not the new deadline.
  Started.clear();
  Settings.frequency = 1;
  for (int i = 0; i < 30; ++i) {
    SpawnedPeds.push_back(AddPed());
    Entity(SpawnedPeds.back()).dead = i % 2 == 0;
  }
  const uint32_t due = AmbientSchedule.nextAmbientAt;
  RunFor(due - world().tick + 32);
  EXPECT_TRUE(Started.empty());
  const uint32_t next = AmbientSchedule.nextAmbientAt;
  EXPECT_GE(next - due, 110000u);

  // A due event waits through a cutscene and while ambient events are off.
  SpawnedPeds.pop_back();
  world().playerInControl = false;
  RunFor(next - world().tick + 10000);
  Settings.ambientEvents = 0;
  world().playerInControl = true;
  RunFrames(10);
  EXPECT_TRUE(Started.empty());
  EXPECT_EQ(AmbientSchedule.nextAmbientAt, next);
  Settings.ambientEvents = 1;
  const uint32_t back = world().tick;
  RunFrame();
  ASSERT_EQ(Started.size(), 1u);
  EXPECT_EQ(Started[0].tick, back) << "in the first frame with control and the setting";
  EXPECT_GE(AmbientSchedule.nextAmbientAt - back, 110000u);
}

}  // namespace
}  // namespace sagebrook::testing
