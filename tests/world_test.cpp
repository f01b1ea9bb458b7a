#include <cmath>
#include <map>
#include <numbers>
#include <set>

#include "fixture.h"
#include "game/natives.h"
#include "world/blips.h"
#include "world/models.h"
#include "world/placement.h"
#include "world/spawning.h"

namespace sagebrook::testing {
namespace {

constexpr const char* kModel = "A_M_M_ValTownfolk_01";

class WorldTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    Ground(2.0f);
    sim::AddModel(kModel);
  }
  int32_t Spawn(uint32_t group, bool arm = false, bool stranger = false) {
    ScriptVector at = MakeVector(5.0f, 5.0f, 10.0f);
    return SpawnPed(kModel, at, group, arm, stranger);
  }
  // Each of the ped's settings as name=value, in name order.
  std::string PedSettings(int32_t ped) {
    std::string out;
    for (const auto& [name, value] : Entity(ped).settings) {
      out += name + "=" + std::to_string(static_cast<int>(value)) + " ";
    }
    return out;
  }
};

TEST_F(WorldTest, SpawnSetsUpThePedMakesTheGroupsOnceAndRecordsSixtyPeds) {
  const int32_t ped = Spawn(sim::HashName("RE_BANDIT"), true, true);
  const sim::Entity& e = Entity(ped);
  EXPECT_EQ(PedSettings(ped),
            "accuracy=30 combatAbility=2 combatAttribute46=1 combatAttribute5=1 fleeAttributes=0 "
            "keepTask=1 randomComponents=0 randomOutfit=1 variationUpdated=1 visible=1 ");
  EXPECT_TRUE(e.group == RelationshipGroups.bandit && e.position.z == 2.0f);
  EXPECT_TRUE(e.promptName.empty()) << "only victims become strangers";
  EXPECT_EQ(e.weapons, (std::map<uint32_t, int32_t>{{e.currentWeapon, 250}}));
  // Thirteen relations; bandits hate the player, and stand by each other.
  auto regards = [this](uint32_t a, uint32_t b) { return world().relations[std::pair(a, b)]; };
  const uint32_t bandit = RelationshipGroups.bandit, player = sim::HashName("PLAYER");
  EXPECT_EQ(world().relations.size(), 13u);
  EXPECT_EQ(regards(bandit, player) + regards(player, bandit), 10);
  EXPECT_EQ(regards(bandit, bandit), 0);
  EXPECT_EQ(world().relationshipGroups.size(), 7u);

  // Victims: no combat set-up, a stranger only when asked; the groups stay made.
  ClearSpawned();
  sim::ClearTrace();
  const int32_t plain = Spawn(RelationshipGroups.victim);
  EXPECT_EQ(sim::CountCalls("AddRelationshipGroup"), 0u);
  EXPECT_EQ(PedSettings(plain),
            "fleeAttributes=0 randomComponents=0 randomOutfit=1 variationUpdated=1 visible=1 ");
  EXPECT_EQ(Entity(Spawn(RelationshipGroups.victim, false, true)).promptName, "Stranger");

  for (size_t i = 3; i < 60; ++i) Spawn(0);
  const int32_t sixtieth = Spawn(0), unrecorded = Spawn(0);
  EXPECT_EQ(SpawnedPeds.size(), 60u);
  EXPECT_EQ(SpawnedPeds.back(), sixtieth);
  EXPECT_TRUE(EntityExists(unrecorded));

  // Weapons are any of the four.
  world().tracing = false;
  std::set<uint32_t> weapons, allWeapons;
  for (int i = 0; i < 200; ++i) weapons.insert(Entity(Spawn(0, true)).currentWeapon);
  for (const char* weapon : SpawnWeapons) allWeapons.insert(sim::HashName(weapon));
  EXPECT_EQ(weapons, allWeapons);
}

TEST_F(WorldTest, ModelsStreamInFramesAndAreReleasedEvenWhenCreationFails) {
  const uint64_t start = world().frame;
  EXPECT_FALSE(LoadModel(HashName("A_C_Unknown")));  // the game fails a request for these
  sim::AddModel("Slow", 7);
  EXPECT_TRUE(LoadModel(sim::HashName("Slow")));
  EXPECT_EQ(world().frame, start + 7);
  sim::AddModel("Never", -1);
  EXPECT_FALSE(LoadModel(sim::HashName("Never")));
  EXPECT_EQ(world().frame, start + 7 + kModelWaitFrames);

  sim::SetHandler("CreatePed", [](sim::Call&, uint64_t*) {});  // the game refuses
  EXPECT_EQ(Spawn(0), 0);
  EXPECT_EQ(world().models[sim::HashName(kModel)].releases, 1);
  EXPECT_TRUE(SpawnedPeds.empty());
}

TEST_F(WorldTest, EventBlipsNeedTheSettingAndAnEntityAndPulsesLastFiveToTenSeconds) {
  const int32_t ped = AddPed();
  Settings.eventBlips = 0;
  AddEventBlip(ped, true, false);
  Settings.eventBlips = 1;
  AddEventBlip(0, true, false);
  EXPECT_TRUE(world().trace.empty());

  world().tracing = false;
  std::set<uint32_t> lives, allLives;  // 5.000 to 9.995 s in steps of 5 ms
  for (uint32_t life = 5000; life <= 9995; life += 5) allLives.insert(life);
  for (uint32_t i = 0; i < 20000; ++i) {
    world().tick = 0xFFFFF000u + i;  // deadlines wrap
    AddEventBlip(ped, false, false);
    lives.insert(EventBlips.back().expiry - world().tick);
  }
  EXPECT_EQ(lives, allLives);
  EXPECT_EQ(world().blips.at(EventBlips.back().blip).style,
            sim::HashName("BLIP_STYLE_RANDOM_EVENT_PULSE"));
}

TEST_F(WorldTest, PlacementFollowsTheDistanceSettingAndTheGround) {
  // Setting, then the shortest and longest distance it gives: other values act as Random.
  const float ranges[][3] = {{0, 40.0f, 59.98f},   {1, 65.0f, 89.975f},   {2, 100.0f, 139.96f},
                             {3, 45.0f, 129.915f}, {-1, 45.0f, 129.915f}, {7, 45.0f, 129.915f}};
  for (const auto& [setting, shortest, longest] : ranges) {
    Settings.spawnDistance = static_cast<int32_t>(setting);
    float low = 1e9f, high = 0.0f;
    for (int i = 0; i < 2000; ++i) {
      low = std::min(low, PickSpawnDistance());
      high = std::max(high, PickSpawnDistance());
    }
    EXPECT_TRUE(low >= shortest - 1e-4f && low < shortest + 1.0f) << setting << " " << low;
    EXPECT_TRUE(high <= longest + 1e-4f && high > longest - 1.0f) << setting << " " << high;
  }

  Ground(3.5f);  // points take the ground, or keep the height when none is above 0
  EXPECT_EQ(PointAroundEntity(world().playerPed, 50.0f).z, 3.5f);
  Ground(0.0f);
  EXPECT_EQ(PointAroundEntity(world().playerPed, 50.0f).z, 10.0f);
}

}  // namespace
}  // namespace sagebrook::testing
