// The frame update's gates, the ambient scheduler and the tick wrap.
#include <algorithm>
#include <climits>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "diag/log.h"
#include "fixture.h"
#include "handlers.h"
#include "host/timing.h"

namespace sagebrook::testing {
namespace {

std::vector<uint32_t> FiredAt;  // tick at the start of each event
uint32_t EventLengthMs = 0;     // how long the event keeps the script waiting

void ProbeEvent(int32_t) {
  FiredAt.push_back(sim::GetWorld().tick);
  if (EventLengthMs != 0) hook::scriptWait(EventLengthMs);
}

// True when t is the first 16 ms frame after deadline, in wrapping arithmetic.
bool FirstFramePast(uint32_t t, uint32_t deadline) {
  return t - deadline >= 1 && t - deadline <= 16;
}

class FrameTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    FiredAt.clear();
    EventLengthMs = 0;
    for (EventStart& start : EventStarts) start = ProbeEvent;
    world().tracing = false;  // long runs; the tests that read the trace switch it on
  }
  // Runs frames until an event fires or ms have passed; true when one fired.
  bool RunUntilEvent(uint32_t ms) {
    const size_t before = FiredAt.size();
    const uint32_t start = world().tick;
    while (FiredAt.size() == before && world().tick - start < ms) RunFrame();
    return FiredAt.size() > before;
  }
};

TEST_F(FrameTest, NothingRunsBeforeThePedExistsAndThePlayerHasHadControl) {
  world().tracing = true;
  Settings.logging = 1;
  ShowNotification("pending");
  PressKey(KeyBindings.menuKey);
  const int32_t ped = world().playerPed;
  world().playerInControl = false;
  auto expectIdle = [&](const std::set<std::string>& natives) {
    for (const std::string& name : sim::TraceNames()) EXPECT_TRUE(natives.count(name)) << name;
    EXPECT_TRUE(world().lastFrame.texts.empty());
    EXPECT_TRUE(world().lastFrame.rects.empty());
    EXPECT_TRUE(world().lastFrame.disabledControls.empty());
    EXPECT_EQ(KeyPressedFlags[KeyBindings.menuKey].load(), 1) << "the press stays pending";
    EXPECT_FALSE(AmbientSchedule.firstEventArmed);
    EXPECT_FALSE(std::filesystem::exists(FilePath(kLogFileName)));
    sim::ClearTrace();
  };
  world().playerPed = 0;  // still loading
  RunFrames(5);
  expectIdle({"GetPlayerIndex", "GetPlayerPed", "EntityExists"});
  world().playerPed = ped;
  RunFrames(5);
  expectIdle({"GetPlayerIndex", "GetPlayerPed", "EntityExists", "IsPlayerInControl"});

  world().tracing = false;
  world().playerInControl = true;
  const uint32_t armedAt = world().tick;
  RunFrame();
  EXPECT_TRUE(MenuState.menuOpen) << "the pending press opens the menu";
  EXPECT_FALSE(world().lastFrame.disabledControls.empty());
  EXPECT_TRUE(std::any_of(world().lastFrame.texts.begin(), world().lastFrame.texts.end(),
                          [](const sim::DrawnText& t) { return t.text == "pending"; }));
  EXPECT_EQ(AmbientSchedule.nextAmbientAt, armedAt + 60000);
  EXPECT_EQ(ReadFile(kLogFileName), "[12:00:00.000] In control - first event in ~60s\r\n");

  // Once passed, losing control no longer stops the frame.
  world().playerInControl = false;
  RunFrame();
  EXPECT_FALSE(world().lastFrame.disabledControls.empty());
  world().playerInControl = true;
  ASSERT_TRUE(RunUntilEvent(61000));
  EXPECT_TRUE(FirstFramePast(FiredAt[0], armedAt + 60000));
}

TEST_F(FrameTest, GapFollowsTheFrequencyCountedFromTheEndOfTheEvent) {
  EventLengthMs = 25000;  // longer than the spread, so counting from the start shows
  RunFrame();
  std::set<uint32_t> spreads;
  for (int32_t frequency : {0, 1, 2}) {
    Settings.frequency = frequency;
    const uint32_t base = FrequencyBaseInterval(frequency);
    for (int i = 0; i < 4; ++i) {
      const uint32_t due = AmbientSchedule.nextAmbientAt;
      ASSERT_TRUE(RunUntilEvent(300000));
      EXPECT_TRUE(FirstFramePast(FiredAt.back(), due));
      const uint32_t gap = AmbientSchedule.nextAmbientAt - (FiredAt.back() + EventLengthMs);
      EXPECT_GE(gap, base) << frequency;
      EXPECT_LE(gap, base + 19999) << frequency;
      spreads.insert(gap - base);
    }
  }
  EXPECT_GT(*spreads.rbegin() - *spreads.begin(), 12000u) << "the spread covers its 20 s";
}

TEST_F(FrameTest, ThirtyRecordedPedsSkipTheEventButNotTheReschedule) {
  RunFrame();
  for (int i = 0; i < 30; ++i) {
    SpawnedPeds.push_back(sim::AddEntity(sim::EntityKind::Ped, {5.0f, 5.0f, 10.0f}));
    sim::FindEntity(SpawnedPeds.back())->dead = i % 2 == 0;  // the dead count too
  }
  const uint32_t due = AmbientSchedule.nextAmbientAt;
  RunFor(due - world().tick + 32);
  EXPECT_TRUE(FiredAt.empty());
  const uint32_t next = AmbientSchedule.nextAmbientAt;
  EXPECT_GE(next - due, FrequencyBaseInterval(Settings.frequency));

  SpawnedPeds.pop_back();
  ASSERT_TRUE(RunUntilEvent(140000));
  EXPECT_TRUE(FirstFramePast(FiredAt[0], next));
}

TEST_F(FrameTest, ADueEventWaitsForControlAndForTheSetting) {
  RunFrame();
  const uint32_t due = AmbientSchedule.nextAmbientAt;
  world().playerInControl = false;  // a cutscene
  RunFor(due - world().tick + 10000);
  EXPECT_TRUE(FiredAt.empty());
  EXPECT_EQ(AmbientSchedule.nextAmbientAt, due);

  Settings.ambientEvents = 0;
  world().playerInControl = true;
  RunFrames(10);
  EXPECT_TRUE(FiredAt.empty());
  EXPECT_EQ(AmbientSchedule.nextAmbientAt, due);

  Settings.ambientEvents = 1;
  const uint32_t back = world().tick;
  RunFrame();
  ASSERT_EQ(FiredAt.size(), 1u);
  EXPECT_EQ(FiredAt[0], back);
  EXPECT_GE(AmbientSchedule.nextAmbientAt - back, FrequencyBaseInterval(Settings.frequency));
}

TEST(FrequencyBaseInterval, ClampsTheSetting) {
  const std::pair<int32_t, uint32_t> cases[] = {{INT_MIN, 180000}, {-1, 180000}, {0, 180000},
                                                {1, 110000},       {2, 55000},   {3, 55000},
                                                {INT_MAX, 55000}};
  for (auto [frequency, base] : cases) EXPECT_EQ(FrequencyBaseInterval(frequency), base);
}

TEST_F(FrameTest, SchedulerBlipsAndUpkeepKeepWorkingAcrossTheTickWrap) {
  const uint32_t start = 0xFFFFFFFFu - 30000u;
  world().tick = start;
  std::vector<uint32_t> upkeeps;  // the player's position is read once per periodic pass
  sim::SetHandler("GetEntityCoords", [&](sim::Call& c, uint64_t* r) {
    const sim::Entity* e = sim::FindEntity(c.Int(0));
    if (c.Int(0) == world().playerPed) upkeeps.push_back(world().tick);
    sim::SetVector(r, e && e->exists ? e->position : sim::Vec3{});
  });
  const int32_t ped = sim::AddEntity(sim::EntityKind::Ped, {3.0f, 0.0f, 10.0f});
  const int32_t early = sim::AddBlip(ped, 1);
  const int32_t late = sim::AddBlip(ped, 1);
  EventBlips = {{early, start + 10000, ped}, {late, start + 45000, ped}};

  // A plain `now > deadline` would call the late blip and the first event due at once.
  ASSERT_GT(start, start + 45000);
  ASSERT_GT(start, start + 60000);

  std::optional<uint32_t> earlyGone, lateGone;
  while (FiredAt.empty() && world().tick - start < 70000) {
    const uint32_t now = world().tick;
    RunFrame();
    auto has = [](int32_t blip) {
      return std::any_of(EventBlips.begin(), EventBlips.end(),
                         [blip](const BlipRecord& r) { return r.blip == blip; });
    };
    if (!earlyGone && !has(early)) earlyGone = now;
    if (!lateGone && !has(late)) lateGone = now;
  }
  ASSERT_EQ(FiredAt.size(), 1u);
  EXPECT_TRUE(FirstFramePast(FiredAt[0], start + 60000));
  ASSERT_TRUE(earlyGone && lateGone);
  EXPECT_TRUE(FirstFramePast(*earlyGone, start + 10000));
  EXPECT_TRUE(FirstFramePast(*lateGone, start + 45000));

  ASSERT_GE(upkeeps.size(), 20u);
  bool crossed = false;
  for (size_t i = 1; i < upkeeps.size(); ++i) {
    crossed = crossed || upkeeps[i] < upkeeps[i - 1];
    EXPECT_TRUE(FirstFramePast(upkeeps[i], upkeeps[i - 1] + 2500)) << i;
  }
  EXPECT_TRUE(crossed) << "one pass was scheduled before the wrap and ran after it";
}

}  // namespace
}  // namespace sagebrook::testing
