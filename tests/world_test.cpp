// The world toolkit: relationship groups, model streaming, ped spawning,
// event blips and spawn placement.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "fixture.h"
#include "host/natives.h"
#include "world/blips.h"
#include "world/models.h"
#include "world/placement.h"
#include "world/spawning.h"

namespace sagebrook::testing {
namespace {

class WorldTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    Ground(2.0f);
    sim::AddModel("A_M_M_ValTownfolk_01");
  }
  void Ground(float height) {
    world().ground = [height](float, float, float& z) {
      z = height;
      return true;
    };
  }
  sim::Entity& Entity(int32_t handle) { return *sim::FindEntity(handle); }
  int32_t Spawn(uint32_t group, bool arm = false, bool stranger = false) {
    ScriptVector at = MakeVector(5.0f, 5.0f, 10.0f);
    return SpawnPed("A_M_M_ValTownfolk_01", at, group, arm, stranger);
  }
  // The calls so far, with the name each group native was given or gave.
  std::string Calls() {
    auto group = [this](uint32_t hash) -> std::string {
      for (const auto& [name, h] : world().relationshipGroups) {
        if (h == hash) return name.substr(3);
      }
      return hash == sim::HashName("PLAYER") ? "PLAYER" : "?";
    };
    std::string out;
    for (const sim::Call& c : world().trace) {
      out += c.Name() == "AddRelationshipGroup" ? "+" + c.text
             : c.Name() == "SetRelationshipBetweenGroups"
                 ? std::to_string(c.Int(0)) + group(c.U32(1)) + ">" + group(c.U32(2))
                 : c.Name();
      out += " ";
    }
    return out;
  }
};

constexpr const char* GroupCalls =
    "+RE_BANDIT +RE_PRED +RE_VICTIM +RE_EXEC +RE_HOUND +RE_BRAWLA +RE_BRAWLB HashName "
    "5BRAWLA>BRAWLB 5BRAWLB>BRAWLA 5BANDIT>PLAYER 5PLAYER>BANDIT 0BANDIT>BANDIT 5HOUND>PLAYER "
    "5PLAYER>HOUND 0HOUND>HOUND 0HOUND>BANDIT 0BANDIT>HOUND 5EXEC>VICTIM 5VICTIM>EXEC 0EXEC>EXEC ";

TEST_F(WorldTest, GroupsAndTheirRelationsAreMadeOnceForTheScriptsLife) {
  EnsureRelationshipGroups();
  EXPECT_EQ(Calls(), GroupCalls);
  EXPECT_EQ(world().trace[7].text, "PLAYER");
  EXPECT_EQ(RelationshipGroups.predator, sim::HashName("RE_PRED"));
  EXPECT_EQ(RelationshipGroups.player, sim::HashName("PLAYER"));
  sim::ClearTrace();
  EnsureRelationshipGroups();
  ClearSpawned();
  EnsureRelationshipGroups();
  EXPECT_EQ(Calls(), "");
}

TEST_F(WorldTest, ModelsLoadOnlyWhenKnownAndStreamingCostsFrames) {
  const uint64_t start = world().frame;
  EXPECT_FALSE(LoadModel(HashName("A_C_Unknown")));
  EXPECT_EQ(Calls(), "HashName IsModelInImage ");
  sim::AddModel("Invalid");
  world().models[sim::HashName("Invalid")].valid = false;
  EXPECT_FALSE(LoadModel(sim::HashName("Invalid")));
  EXPECT_EQ(sim::CountCalls("RequestModel"), 0u);

  sim::AddModel("Resident");
  EXPECT_TRUE(LoadModel(sim::HashName("Resident")));
  EXPECT_EQ(world().frame, start);
  sim::AddModel("Slow", 7);
  EXPECT_TRUE(LoadModel(sim::HashName("Slow")));
  EXPECT_EQ(world().frame, start + 7);
  sim::AddModel("Never", -1);
  sim::ClearTrace();
  EXPECT_FALSE(LoadModel(sim::HashName("Never")));
  EXPECT_EQ(world().frame, start + 7 + kModelWaitFrames);
  EXPECT_EQ(sim::CountCalls("HasModelLoaded"), 202u);
}

TEST_F(WorldTest, SpawnCallsTheGameInOrderAndMakesTheGroupsOnFirstUse) {
  const int32_t ped = Spawn(sim::HashName("RE_BANDIT"), true, true);
  EXPECT_EQ(Calls(),
            std::string("HashName IsModelInImage IsModelValid RequestModel HasModelLoaded "
                        "HasModelLoaded GetGroundZ CreatePed ReleaseModel SetPedRandomComponents "
                        "SetPedRandomOutfit UpdatePedVariation SetEntityVisible ") +
                GroupCalls +
                "SetPedRelationshipGroup SetPedCombatAttribute SetPedCombatAttribute "
                "SetPedCombatAbility SetPedKeepTask SetPedFleeAttributes HashName "
                "GiveWeaponToPed SetCurrentPedWeapon SetPedAccuracy ");
  const sim::Entity& e = Entity(ped);
  EXPECT_EQ(e.group, RelationshipGroups.bandit);
  EXPECT_EQ(e.settings.at("combatAttribute46") + e.settings.at("combatAttribute5"), 2.0f);
  EXPECT_EQ(e.settings.at("accuracy"), 30.0f);
  EXPECT_TRUE(e.promptName.empty()) << "only victims become strangers";
  ASSERT_EQ(e.weapons.size(), 1u);
  EXPECT_EQ(e.weapons.begin()->second, 250);
  EXPECT_EQ(e.currentWeapon, e.weapons.begin()->first);
  EXPECT_EQ(world().models[sim::HashName("A_M_M_ValTownfolk_01")].releases, 1);
  EXPECT_EQ(SpawnedPeds, std::vector<int32_t>{ped});
}

TEST_F(WorldTest, VictimsGetNoCombatSetUpAndBecomeStrangersOnlyWhenAsked) {
  EnsureRelationshipGroups();
  const sim::Entity& plain = Entity(Spawn(RelationshipGroups.victim));
  EXPECT_EQ(plain.settings.count("combatAttribute46") + plain.settings.count("keepTask") +
                plain.settings.count("greeting"),
            0u);
  EXPECT_EQ(plain.settings.at("fleeAttributes"), 0.0f);
  EXPECT_TRUE(plain.weapons.empty());

  const sim::Entity& stranger = Entity(Spawn(RelationshipGroups.victim, true, true));
  EXPECT_EQ(stranger.settings.count("combatAbility"), 0u);
  EXPECT_EQ(stranger.settings.at("greeting") + stranger.settings.at("interaction"), 2.0f);
  EXPECT_EQ(stranger.personality, sim::HashName("TIMID"));
  EXPECT_EQ(stranger.greetSpeech + stranger.insultSpeech + stranger.promptName,
            "GREET_GENERAL_STRANGER_01INSULT_RESPONSE_01Stranger");
  EXPECT_EQ(stranger.weapons.size(), 1u);
}

TEST_F(WorldTest, CallersPositionTakesTheGroundOnceTheModelHasLoaded) {
  ScriptVector at = MakeVector(1.0f, 2.0f, 10.0f);
  EXPECT_EQ(SpawnPed("A_M_M_Unknown_01", at, 0, false, false), 0);
  EXPECT_EQ(at.z, 10.0f) << "a failed load leaves the position alone";
  sim::SetHandler("CreatePed", [](sim::Call&, uint64_t*) {});
  EXPECT_EQ(SpawnPed("A_M_M_ValTownfolk_01", at, 0, false, false), 0);
  EXPECT_EQ(at.z, 2.0f) << "a refused creation still takes the ground";
  EXPECT_EQ(world().models[sim::HashName("A_M_M_ValTownfolk_01")].releases, 1);
  EXPECT_TRUE(SpawnedPeds.empty());
}

TEST_F(WorldTest, SixtyPedsAreRecordedThenLiveOnesUnrecordedAllFacingWholeDegrees) {
  for (size_t i = 0; i < kSpawnedPedLimit; ++i) {
    const int32_t ped = Spawn(0);
    ASSERT_EQ(SpawnedPeds.size(), i + 1);
    EXPECT_EQ(SpawnedPeds.back(), ped);
  }
  const int32_t unrecorded = Spawn(0);
  EXPECT_TRUE(EntityExists(unrecorded));
  EXPECT_EQ(SpawnedPeds.size(), kSpawnedPedLimit);
  EXPECT_EQ(std::count(SpawnedPeds.begin(), SpawnedPeds.end(), unrecorded), 0);

  world().tracing = false;
  float low = 360.0f, high = 0.0f;
  for (int i = 0; i < 3000; ++i) {
    const float heading = Entity(Spawn(0)).heading;
    EXPECT_EQ(heading, std::floor(heading));
    low = std::min(low, heading);
    high = std::max(high, heading);
  }
  EXPECT_EQ(low, 0.0f);
  EXPECT_EQ(high, 359.0f);
}

TEST_F(WorldTest, BlipsNeedTheSettingAnEntityAndABlipFromTheGame) {
  const int32_t ped = sim::AddEntity(sim::EntityKind::Ped, {1.0f, 1.0f, 1.0f});
  Settings.eventBlips = 0;
  AddEventBlip(ped, true, false);
  Settings.eventBlips = 1;
  AddEventBlip(0, true, false);
  EXPECT_EQ(Calls(), "");
  sim::SetHandler("AddBlipForEntity", [](sim::Call&, uint64_t*) {});
  AddEventBlip(ped, false, false);
  EXPECT_TRUE(EventBlips.empty());
  EXPECT_EQ(sim::CountCalls("SetBlipScale"), 0u);
}

TEST_F(WorldTest, PulseBlipsExpireWithinFiveToTenSecondsOthersLastWithTheirEntity) {
  world().tick = 0xFFFFF000u;  // deadlines wrap
  const int32_t ped = sim::AddEntity(sim::EntityKind::Ped, {1.0f, 1.0f, 1.0f});
  const int32_t other = sim::AddEntity(sim::EntityKind::Ped, {2.0f, 1.0f, 1.0f});
  for (int i = 0; i < 3; ++i) {
    const uint32_t added = world().tick;
    AddEventBlip(ped, false, false);
    const BlipRecord pulse = EventBlips.back();
    const uint32_t life = pulse.expiry - added;
    EXPECT_TRUE(life >= 5000 && life <= 9995 && life % 5 == 0) << life;
    EXPECT_EQ(world().blips.at(pulse.blip).style, sim::HashName("BLIP_STYLE_RANDOM_EVENT_PULSE"));
    EXPECT_EQ(world().blips.at(pulse.blip).scale, 1.0f);
    RunFor(life - world().frameMs);
    EXPECT_TRUE(world().blips.at(pulse.blip).exists);
    RunFor(3 * world().frameMs);
    EXPECT_FALSE(world().blips.at(pulse.blip).exists);
  }
  EXPECT_TRUE(EventBlips.empty());

  AddEventBlip(ped, true, false);
  AddEventBlip(ped, false, true);
  AddEventBlip(other, true, true);
  EXPECT_EQ(EventBlips[0].expiry + EventBlips[1].expiry + EventBlips[2].expiry, 0u);
  EXPECT_EQ(world().blips.at(EventBlips[0].blip).style, sim::HashName("BLIP_STYLE_ENEMY"));
  RunFor(20000);
  EXPECT_EQ(EventBlips.size(), 3u);
  sim::FindEntity(ped)->dead = true;
  RunFrame();
  ASSERT_EQ(EventBlips.size(), 1u);
  sim::RemoveEntity(other);
  RunFrame();
  EXPECT_TRUE(EventBlips.empty());
}

TEST_F(WorldTest, SpawnDistancesFollowTheSettingAndOtherValuesActAsRandom) {
  struct Range {
    int32_t setting;
    float low, high;
  };
  for (Range r :
       {Range{0, 40.0f, 59.98f}, Range{1, 65.0f, 89.975f}, Range{2, 100.0f, 139.96f},
        Range{3, 45.0f, 129.915f}, Range{-1, 45.0f, 129.915f}, Range{7, 45.0f, 129.915f}}) {
    Settings.spawnDistance = r.setting;
    float low = 1e9f, high = 0.0f;
    for (int i = 0; i < 2000; ++i) {
      const float d = PickSpawnDistance();
      low = std::min(low, d);
      high = std::max(high, d);
    }
    EXPECT_TRUE(low >= r.low - 1e-4f && low < r.low + 1.0f) << r.setting << " " << low;
    EXPECT_TRUE(high <= r.high + 1e-4f && high > r.high - 1.0f) << r.setting << " " << high;
  }
}

TEST_F(WorldTest, PointsLieAtTheDistanceOnTheGroundFoundFromSixMetresAboveZero) {
  sim::FindEntity(world().playerPed)->position = {10.0f, -20.0f, 10.0f};
  Ground(3.5f);
  for (int i = 0; i < 20; ++i) {
    const ScriptVector p = PointAroundEntity(world().playerPed, 50.0f);
    EXPECT_NEAR(std::hypot(p.x - 10.0f, p.y + 20.0f), 50.0f, 1e-3f);
    // One of 1000 evenly spaced directions.
    const double steps = std::atan2(p.y + 20.0, p.x - 10.0) / (2 * std::numbers::pi / 1000);
    EXPECT_NEAR(steps, std::round(steps), 2e-3);
    EXPECT_EQ(p.z, 3.5f);
  }
  Ground(0.0f);
  EXPECT_EQ(PointAroundEntity(world().playerPed, 50.0f).z, 10.0f);
  for (float ground : {16.0f, 16.5f}) {
    Ground(ground);
    ScriptVector q = MakeVector(0.0f, 0.0f, 10.0f);
    EXPECT_EQ(SnapToGround(q).z, ground == 16.0f ? 16.0f : 10.0f);
    EXPECT_EQ(q.z, ground == 16.0f ? 16.0f : 10.0f);
  }
}

}  // namespace
}  // namespace sagebrook::testing
