// The bounty hunters: where the posse gathers, when it attacks, and what a
// failed or crowded run still does.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "events/bounty_hunters.h"
#include "fixture.h"
#include "handlers.h"
#include "world/spawning.h"

namespace sagebrook::testing {
namespace {

class BountyHuntersTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    for (const char* name : HunterModels) sim::AddModel(name);
    for (const char* name : HoundModels) sim::AddModel(name, 0, false);
    Ground(1.0f);
    Settings.logging = 1;
    player = {world().playerPed};
  }
  std::vector<int32_t> InGroup(const char* group) {
    std::vector<int32_t> peds;
    for (const auto& [handle, e] : world().entities) {
      if (e.exists && e.group == sim::HashName(group)) peds.push_back(handle);
    }
    return peds;
  }
  std::vector<int32_t> player;  // as a list of combat targets
};

TEST_F(BountyHuntersTest, PosseGathersThirtyToFiftyMetresAwayAndAttacksOnceComplete) {
  for (int run = 0; run < 16; ++run) {
    Settings.spawnDistance = run % 4;  // has no say
    ClearSpawned();
    sim::ClearTrace();
    StartBountyHunters(player[0]);
    // The anchor is the event's first ground probe.
    auto& trace = world().trace;
    const sim::Call& anchor =
        *std::find_if(trace.begin(), trace.end(), [](auto& c) { return c.Name() == "GetGroundZ"; });
    const float away = std::hypot(anchor.Float(0), anchor.Float(1));
    EXPECT_TRUE(away >= 29.999f && away <= 49.981f) << away;
    auto near = [&](int32_t ped, float half) {
      const sim::Vec3 p = Entity(ped).position;
      return std::fabs(p.x - anchor.Float(0)) <= half && std::fabs(p.y - anchor.Float(1)) <= half;
    };
    const std::vector<int32_t> hunters = InGroup("RE_BANDIT"), dogs = InGroup("RE_HOUND");
    ASSERT_TRUE(hunters.size() == 3 || hunters.size() == 4) << hunters.size();
    ASSERT_TRUE(dogs.size() >= 1 && dogs.size() <= 3) << dogs.size();
    EXPECT_EQ(HunterDogs, dogs);
    for (int32_t h : hunters) {
      const sim::Entity& e = Entity(h);
      EXPECT_TRUE(near(h, 5.0f) && e.combatTargets == player);
      EXPECT_EQ(e.settings.at("accuracy"), 60.0f);
      for (const char* key : {"combatAttribute0", "combatAttribute5", "combatAttribute46"}) {
        EXPECT_EQ(e.settings.at(key), 1.0f) << key;
      }
    }
    for (int32_t d : dogs) EXPECT_TRUE(near(d, 4.0f) && Entity(d).combatTargets == player);
    size_t created = 0, orders = 0;
    for (const sim::Call& c : trace) {
      created += c.Name() == "CreatePed";
      orders += c.Name() == "TaskCombatPed";
      EXPECT_TRUE(orders == 0 || created >= hunters.size()) << "orders once all hunters stand";
    }
    EXPECT_TRUE(Logged("] EVENT BountyHunters: spawned " + std::to_string(hunters.size()) +
                       " hunters + " + std::to_string(dogs.size()) + " dogs\r\n"));
  }
}

TEST_F(BountyHuntersTest, LaterPosseTakesTheDogsAndAFullRegistryStillAttacks) {
  StartBountyHunters(player[0]);
  const std::vector<int32_t> firstPeds = SpawnedPeds, firstDogs = HunterDogs;
  StartBountyHunters(player[0]);
  EXPECT_TRUE(std::equal(firstPeds.begin(), firstPeds.end(), SpawnedPeds.begin()));
  for (int32_t d : firstDogs) {
    EXPECT_TRUE(Entity(d).exists && std::count(HunterDogs.begin(), HunterDogs.end(), d) == 0);
  }
  EXPECT_EQ(InGroup("RE_HOUND").size(), firstDogs.size() + HunterDogs.size());

  ClearSpawned();
  while (SpawnedPeds.size() < kSpawnedPedLimit) SpawnedPeds.push_back(AddPed());
  StartBountyHunters(player[0]);
  EXPECT_EQ(SpawnedPeds.size(), kSpawnedPedLimit);
  EXPECT_FALSE(HunterDogs.empty());
  for (int32_t ped : InGroup("RE_BANDIT")) EXPECT_EQ(Entity(ped).combatTargets, player);
  for (int32_t ped : HunterDogs) EXPECT_EQ(Entity(ped).combatTargets, player);
}

TEST_F(BountyHuntersTest, HunterGoneBeforeTheOrdersIsSkippedAndAnEmptyRunStillReports) {
  // The game evicts each model on release, so every hunter streams in anew.
  sim::SetHandler("ReleaseModel", [](sim::Call& c, uint64_t*) {
    sim::Model* m = sim::FindModel(c.U32(0));
    m->loaded = m->requested = false;
  });
  for (const char* name : HunterModels) world().models[sim::HashName(name)].framesToStream = 2;
  int32_t gone = 0;
  sim::SetAfterWait([&] {
    if (gone == 0 && !SpawnedPeds.empty()) sim::RemoveEntity(gone = SpawnedPeds[0]);
  });
  StartBountyHunters(player[0]);
  ASSERT_NE(gone, 0);
  EXPECT_TRUE(Entity(gone).combatTargets.empty());
  EXPECT_TRUE(Logged("spawned " + std::to_string(InGroup("RE_BANDIT").size() + 1) + " hunters"));

  std::remove(FilePath(kLogFileName).c_str());
  world().models.clear();
  StartBountyHunters(player[0]);
  EXPECT_TRUE(HunterDogs.empty());
  EXPECT_EQ(ReadFile(kLogFileName),
            "[12:00:00.000] EVENT BountyHunters: spawned 0 hunters + 0 dogs\r\n");
  EXPECT_STREQ(Notification.text, "Bounty hunters and their dogs are on your trail!");
}

}  // namespace
}  // namespace sagebrook::testing
