// The predator attack: its choice of prey and where the predator appears.
#include <cmath>
#include <map>
#include <set>

#include "events/predator.h"
#include "fixture.h"

namespace sagebrook::testing {
namespace {

class PredatorTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    for (const PredatorKind& k : PredatorKinds) sim::AddModel(k.model, 0, false);
    Ground(1.0f);
    Settings.logging = 1;
  }
  int32_t Human(float x, float y, const char* group = "CIVILIAN") {
    const int32_t ped = AddPed({x, y, 10.0f});
    Entity(ped).group = sim::HashName(group);
    return ped;
  }
  sim::Entity& Predator(size_t i) { return Entity(SpawnedPeds.at(i)); }
  int32_t player() { return world().playerPed; }
  // 10 when the predators and the group are hostile to each other.
  int32_t Hostility(const char* group) {
    const uint32_t pred = sim::HashName("RE_PRED"), other = sim::HashName(group);
    return world().relations[{pred, other}] + world().relations[{other, pred}];
  }
};

TEST_F(PredatorTest, NearestLivingHumanTravellerIsHuntedElseThePlayer) {
  // Never chosen: at the bounds, dead, not human.
  Human(12.0f, 0.0f);
  Human(0.0f, 70.0f);
  Entity(Human(-20.0f, 0.0f)).dead = true;
  sim::AddEntity(sim::EntityKind::Ped, {0.0f, -25.0f, 10.0f}, false);
  const int32_t travellers[] = {Human(40.0f, 0.0f), Human(0.0f, -30.0f, "TRAVELLERS"),
                                Human(30.0f, 0.0f)};  // as near as the second, later in the list
  std::set<std::string> kinds;
  for (size_t i = 0; i < 20; ++i) {
    StartPredatorAttack(player());
    const sim::Entity& e = Predator(i);
    const PredatorKind& kind =
        *std::find_if(std::begin(PredatorKinds), std::end(PredatorKinds),
                      [&](auto& k) { return e.model == sim::HashName(k.model); });
    kinds.insert(kind.model);
    const uint32_t weapon = sim::HashName(kind.weapon);
    EXPECT_TRUE(e.weapons == (std::map<uint32_t, int32_t>{{weapon, 100}}) &&
                e.currentWeapon == weapon);
    EXPECT_TRUE(e.combatTargets == std::vector<int32_t>{travellers[1]} &&
                e.group == sim::HashName("RE_PRED"));
    EXPECT_TRUE(e.position.x >= -6.0f && e.position.x <= 5.989f && e.position.y >= -36.0f &&
                e.position.y <= -24.011f)
        << e.position.x << " " << e.position.y;
    EXPECT_TRUE(Logged(std::string("EVENT Predator: model=") + kind.model +
                       " pred=" + std::to_string(SpawnedPeds[i]) +
                       " target=" + std::to_string(travellers[1]) + " (traveler=1)"));
    EXPECT_TRUE(EventBlips.at(i).entity == SpawnedPeds[i] && EventBlips[i].expiry == 0);
  }
  EXPECT_EQ(kinds.size(), 3u);
  EXPECT_EQ(Hostility("TRAVELLERS"), 10);
  EXPECT_STREQ(Notification.text, "A predator is hunting a traveler!");

  for (int32_t t : travellers) sim::RemoveEntity(t);
  StartPredatorAttack(player());
  EXPECT_EQ(Predator(20).combatTargets, std::vector<int32_t>{player()});
  EXPECT_TRUE(std::ranges::none_of(world().trace, [&](const sim::Call& c) {
    return c.Name() == "IsPedHuman" && c.Int(0) == player();
  })) << "the player is skipped";
  EXPECT_EQ(Hostility("PLAYER"), 10);
  EXPECT_TRUE(Logged("target=" + std::to_string(player()) + " (traveler=0)"));
  EXPECT_STREQ(Notification.text, "A predator is stalking you!");
}

TEST_F(PredatorTest, WithoutTravellerThePredatorComesOffTheRoadAndFaultyPedListsAreSurvived) {
  world().roads = {{{500.0f, 500.0f, 3.0f}, 0.0f}, {{90.0f, 40.0f, 4.0f}, 0.0f}};
  StartPredatorAttack(player());
  EXPECT_LE(std::hypot(Predator(0).position.x - 90.0f, Predator(0).position.y - 40.0f), 8.5f);
  world().roads.clear();  // the random point at spawn distance is the anchor
  Settings.spawnDistance = 0;
  StartPredatorAttack(player());
  const float away = std::hypot(Predator(1).position.x, Predator(1).position.y);
  EXPECT_TRUE(away >= 40.0f - 8.5f && away <= 59.98f + 8.5f) << away;

  // A count past the buffer would be caught by the address sanitizer.
  const int32_t traveller = Human(20.0f, 0.0f);
  world().allPeds = [&](int32_t* handles, int32_t capacity) {
    std::fill(handles, handles + capacity, player());
    handles[capacity - 1] = traveller;
    return 600;
  };
  StartPredatorAttack(player());
  EXPECT_EQ(Predator(2).combatTargets, std::vector<int32_t>{traveller});
  world().allPeds = [&](int32_t* handles, int32_t) {
    handles[0] = traveller;  // the first in the list counts too
    return 1;
  };
  StartPredatorAttack(player());
  EXPECT_EQ(Predator(3).combatTargets, std::vector<int32_t>{traveller});
  world().allPeds = [](int32_t*, int32_t) { return -1; };
  sim::ClearTrace();
  StartPredatorAttack(player());
  EXPECT_EQ(Predator(4).combatTargets, std::vector<int32_t>{player()});
  EXPECT_EQ(sim::CountCalls("IsPedHuman"), 0u);
}

TEST_F(PredatorTest, TravellerGoneWhileTheModelStreamsLeavesThePlayerAndAFailedSpawnIsSilent) {
  for (auto& [hash, model] : world().models) model.framesToStream = 10;
  const int32_t traveller = Human(20.0f, 0.0f);
  sim::ScheduleAtFrame(world().frame + 3, [traveller] { sim::RemoveEntity(traveller); });
  StartPredatorAttack(player());
  EXPECT_EQ(Predator(0).combatTargets, std::vector<int32_t>{player()});
  EXPECT_TRUE(Logged("(traveler=0)"));

  const std::string log = ReadFile(kLogFileName);
  Notification = NotificationRecord{};
  sim::SetHandler("CreatePed", [](sim::Call&, uint64_t*) {});
  StartPredatorAttack(player());
  EXPECT_EQ(sim::CountCalls("TaskCombatPed"), 1u);
  EXPECT_STREQ(Notification.text, "");
  EXPECT_EQ(ReadFile(kLogFileName), log);
}

}  // namespace
}  // namespace sagebrook::testing
