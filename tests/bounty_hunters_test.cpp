// The bounty hunters: where the posse gathers, how its members are set up
// and ordered to attack, what a failed or crowded run still does, and the
// dog lines of the diagnostics.
#include <algorithm>
#include <cmath>
#include <map>

#include "diag/log.h"
#include "events/bounty_hunters.h"
#include "fixture.h"
#include "handlers.h"
#include "tracking/diagnostics.h"
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
  }
  int32_t player() { return world().playerPed; }
  std::vector<int32_t> InGroup(const char* group) {
    std::vector<int32_t> peds;
    for (const auto& [handle, e] : world().entities) {
      if (e.exists && e.group == sim::HashName(group)) peds.push_back(handle);
    }
    return peds;
  }
  bool Logged(const std::string& text) {
    return ReadFile(kLogFileName).find(text) != std::string::npos;
  }
  // Where the anchor was dropped to the ground: the event's first ground probe.
  sim::Vec3 Anchor() {
    for (const sim::Call& c : world().trace) {
      if (c.Name() == "GetGroundZ") return {c.Float(0), c.Float(1), 0.0f};
    }
    return {};
  }
};

TEST_F(BountyHuntersTest, PosseGathersThirtyToFiftyMetresAwayAndAttacksTogether) {
  for (int32_t spawnDistance = 0; spawnDistance < 4; ++spawnDistance) {
    Settings.spawnDistance = spawnDistance;
    for (int run = 0; run < 6; ++run) {
      ClearSpawned();
      sim::ClearTrace();
      StartBountyHunters(player());
      const sim::Vec3 anchor = Anchor();
      const float away = std::hypot(anchor.x, anchor.y);
      EXPECT_TRUE(away >= 29.999f && away <= 49.981f) << away;
      const std::vector<int32_t> hunters = InGroup("RE_BANDIT"), dogs = InGroup("RE_HOUND");
      EXPECT_TRUE(hunters.size() == 3 || hunters.size() == 4) << hunters.size();
      EXPECT_TRUE(dogs.size() >= 1 && dogs.size() <= 3) << dogs.size();
      EXPECT_EQ(HunterDogs, dogs);
      for (int32_t h : hunters) {
        const sim::Entity& e = Entity(h);
        EXPECT_TRUE(e.position.x >= anchor.x - 5.0f && e.position.x <= anchor.x + 4.991f);
        EXPECT_TRUE(e.position.y >= anchor.y - 5.0f && e.position.y <= anchor.y + 4.991f);
        EXPECT_EQ(e.combatTargets, std::vector<int32_t>{player()});
        EXPECT_NE(e.currentWeapon, 0u);
      }
      for (int32_t d : dogs) {
        const sim::Entity& e = Entity(d);
        EXPECT_TRUE(e.position.x >= anchor.x - 4.0f && e.position.x <= anchor.x + 3.993f);
        EXPECT_TRUE(e.position.y >= anchor.y - 4.0f && e.position.y <= anchor.y + 3.993f);
        EXPECT_EQ(e.combatTargets, std::vector<int32_t>{player()});
      }
      EXPECT_TRUE(Logged("] EVENT BountyHunters: spawned " + std::to_string(hunters.size()) +
                         " hunters + " + std::to_string(dogs.size()) + " dogs\r\n"));
      // No attack order before the last hunter stands.
      size_t created = 0, orders = 0;
      for (const sim::Call& c : world().trace) {
        if (c.Name() == "CreatePed" && created < hunters.size()) {
          ++created;
          EXPECT_EQ(orders, 0u);
        }
        orders += c.Name() == "TaskCombatPed";
      }
    }
  }
  EXPECT_STREQ(Notification.text, "Bounty hunters and their dogs are on your trail!");
}

TEST_F(BountyHuntersTest, HuntersAimSharperAndNoneOfThePosseFlees) {
  StartBountyHunters(player());
  for (int32_t h : InGroup("RE_BANDIT")) {
    const sim::Entity& e = Entity(h);
    EXPECT_EQ(e.settings.at("accuracy"), 60.0f);
    for (const char* key : {"combatAttribute0", "combatAttribute5", "combatAttribute46"}) {
      EXPECT_EQ(e.settings.at(key), 1.0f) << key;
    }
    EXPECT_EQ(e.settings.at("combatAbility"), 2.0f);
    EXPECT_EQ(e.settings.at("fleeAttributes"), 0.0f);
    EXPECT_EQ(e.settings.at("seeingRange"), 220.0f);
    EXPECT_EQ(e.settings.at("hearingRange"), 220.0f);
    EXPECT_EQ(e.weapons.at(e.currentWeapon), 250);
  }
  const uint32_t wolf = sim::HashName("weapon_wolf");
  for (int32_t d : HunterDogs) {
    const sim::Entity& e = Entity(d);
    EXPECT_EQ(e.weapons, (std::map<uint32_t, int32_t>{{wolf, 1}}));
    EXPECT_EQ(e.currentWeapon, wolf);
    EXPECT_EQ(e.settings.at("dogFlag"), 1.0f);
    EXPECT_EQ(e.settings.at("keepTask"), 1.0f);
    EXPECT_EQ(e.settings.at("combatAttribute46"), 1.0f);
    EXPECT_EQ(e.settings.at("seeingRange"), 220.0f);
    EXPECT_EQ(e.settings.at("fleeAttributes"), 0.0f);
  }
  EXPECT_EQ(EventBlips.size(), SpawnedPeds.size());
  for (const BlipRecord& b : EventBlips) EXPECT_EQ(b.expiry, 0u) << "enemy blips";
}

TEST_F(BountyHuntersTest, HunterGoneBeforeTheOrdersIsSkipped) {
  // The game lets each model go at once, so every hunter streams in anew.
  sim::SetHandler("ReleaseModel", [](sim::Call& c, uint64_t*) {
    sim::Model* m = sim::FindModel(c.U32(0));
    m->loaded = m->requested = false;
  });
  for (const char* name : HunterModels) world().models[sim::HashName(name)].framesToStream = 2;
  int32_t gone = 0;
  sim::SetAfterWait([&] {
    if (gone == 0 && !SpawnedPeds.empty()) {
      gone = SpawnedPeds[0];
      sim::RemoveEntity(gone);
    }
  });
  StartBountyHunters(player());
  ASSERT_NE(gone, 0);
  EXPECT_TRUE(Entity(gone).combatTargets.empty());
  const std::vector<int32_t> hunters = InGroup("RE_BANDIT");
  ASSERT_GE(hunters.size(), 2u);
  for (int32_t h : hunters) EXPECT_EQ(Entity(h).combatTargets, std::vector<int32_t>{player()});
  EXPECT_TRUE(Logged("spawned " + std::to_string(hunters.size() + 1) + " hunters"));
}

TEST_F(BountyHuntersTest, LaterPosseTakesOverTheDogsAndAFullRegistryStillAttacks) {
  StartBountyHunters(player());
  const std::vector<int32_t> firstDogs = HunterDogs;
  const size_t firstPosse = SpawnedPeds.size();
  const size_t entities = world().entities.size();
  StartBountyHunters(player());
  for (int32_t d : firstDogs) {
    EXPECT_EQ(std::count(HunterDogs.begin(), HunterDogs.end(), d), 0);
    EXPECT_EQ(std::count(SpawnedPeds.begin(), SpawnedPeds.end(), d), 1);
    EXPECT_FALSE(Entity(d).released);
  }
  EXPECT_EQ(SpawnedPeds.size(), firstPosse + world().entities.size() - entities);

  ClearSpawned();
  while (SpawnedPeds.size() < kSpawnedPedLimit) SpawnedPeds.push_back(AddPed());
  StartBountyHunters(player());
  EXPECT_EQ(SpawnedPeds.size(), kSpawnedPedLimit);
  EXPECT_FALSE(HunterDogs.empty());
  const std::vector<int32_t> hunters = InGroup("RE_BANDIT");
  EXPECT_GE(hunters.size(), 3u);
  for (int32_t h : hunters) EXPECT_EQ(Entity(h).combatTargets, std::vector<int32_t>{player()});
  for (int32_t d : HunterDogs) EXPECT_EQ(Entity(d).combatTargets, std::vector<int32_t>{player()});
}

TEST_F(BountyHuntersTest, RunWithoutAnyoneStillReportsAndOpensTheDiagnostics) {
  world().models.clear();
  HunterDogs = {AddPed()};
  StartBountyHunters(player());
  EXPECT_TRUE(HunterDogs.empty());
  EXPECT_EQ(ReadFile(kLogFileName),
            "[12:00:00.000] EVENT BountyHunters: spawned 0 hunters + 0 dogs\r\n");
  EXPECT_STREQ(Notification.text, "Bounty hunters and their dogs are on your trail!");
  EXPECT_EQ(DiagWindow.diagUntil, world().tick + 12000);
}

TEST_F(BountyHuntersTest, DogLinesSkipARemovedDogButKeepItsIndex) {
  StartBountyHunters(player());
  const int32_t first = AddPed({3.0f, 4.0f, 10.0f}), second = AddPed({0.0f, 12.5f, 10.0f});
  HunterDogs = {first, second};
  Entity(second).combatTargets = {player()};
  sim::RemoveEntity(first);
  RunFrame();
  EXPECT_TRUE(Logged("] DIAG dog[1]: inCombat=1 fleeing=0 dead=0 dist=12.5\r\n"));
  Entity(second).dead = true;
  RunFor(1000);
  RunFrame();
  EXPECT_TRUE(Logged("] DIAG dog[1]: inCombat=0 fleeing=0 dead=1 dist=12.5\r\n"));
  EXPECT_FALSE(Logged("dog[0]"));
  EXPECT_FALSE(Logged("DIAG wagon"));
}

}  // namespace
}  // namespace sagebrook::testing
