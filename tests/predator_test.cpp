// The predator attack: its choice of prey and where the predator appears.
#include <cmath>
#include <map>

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
  int32_t Human(float x, float y, uint32_t group = sim::HashName("CIVILIAN")) {
    const int32_t ped = AddPed({x, y, 10.0f});
    Entity(ped).group = group;
    return ped;
  }
  sim::Entity& Predator(size_t i = 0) { return Entity(SpawnedPeds.at(i)); }
  int32_t Target() { return Predator().combatTargets.at(0); }
  int32_t player() { return world().playerPed; }
  int32_t Hostility(uint32_t a, uint32_t b) { return world().relations[{a, b}]; }
};

TEST_F(PredatorTest, TravellersAtTheBoundsDeadOrNotHumanAreNeverChosen) {
  Human(12.0f, 0.0f);
  Human(0.0f, 70.0f);
  Entity(Human(-20.0f, 0.0f)).dead = true;
  sim::AddEntity(sim::EntityKind::Ped, {0.0f, -25.0f, 10.0f}, false);
  StartPredatorAttack(player());
  for (const sim::Call& c : world().trace) {
    EXPECT_FALSE(c.Name() == "IsPedHuman" && c.Int(0) == player()) << "the player is skipped";
  }
  EXPECT_EQ(Target(), player());
  EXPECT_TRUE(Logged("target=" + std::to_string(player()) + " (traveler=0)"));
  EXPECT_STREQ(Notification.text, "A predator is stalking you!");
}

TEST_F(PredatorTest, NearestTravellerIsHuntedFromWithinSixMetres) {
  Human(40.0f, 0.0f);
  const int32_t first = Human(0.0f, -30.0f, sim::HashName("TRAVELLERS"));
  Human(30.0f, 0.0f);  // as near, but later in the hook's list
  for (int i = 0; i < 20; ++i) StartPredatorAttack(player());
  ASSERT_EQ(SpawnedPeds.size(), 20u);
  for (size_t i = 0; i < 20; ++i) {
    const sim::Entity& e = Predator(i);
    EXPECT_EQ(e.combatTargets, std::vector<int32_t>{first});
    EXPECT_TRUE(e.position.x >= -6.0f && e.position.x <= 5.989f) << e.position.x;
    EXPECT_TRUE(e.position.y >= -36.0f && e.position.y <= -24.011f) << e.position.y;
  }
  const uint32_t pred = sim::HashName("RE_PRED"), travellers = sim::HashName("TRAVELLERS");
  EXPECT_EQ(Hostility(pred, travellers) + Hostility(travellers, pred), 10);
  EXPECT_EQ(world().relations.count({pred, sim::HashName("PLAYER")}), 0u);

  const sim::Entity& predator = Predator();
  EXPECT_EQ(predator.group, pred);
  const PredatorKind* kind =
      std::find_if(std::begin(PredatorKinds), std::end(PredatorKinds),
                   [&](auto& k) { return predator.model == sim::HashName(k.model); });
  ASSERT_NE(kind, std::end(PredatorKinds));
  EXPECT_EQ(predator.weapons, (std::map<uint32_t, int32_t>{{sim::HashName(kind->weapon), 100}}));
  EXPECT_TRUE(Logged(std::string("EVENT Predator: model=") + kind->model +
                     " pred=" + std::to_string(SpawnedPeds[0]) +
                     " target=" + std::to_string(first) + " (traveler=1)"));
  EXPECT_EQ(EventBlips.at(0).expiry, 0u);
  EXPECT_STREQ(Notification.text, "A predator is hunting a traveler!");
}

TEST_F(PredatorTest, WithoutTravellerThePredatorComesOffTheRoadForThePlayer) {
  world().roads = {{{500.0f, 500.0f, 3.0f}, 0.0f}, {{90.0f, 40.0f, 4.0f}, 0.0f}};
  StartPredatorAttack(player());
  EXPECT_LE(std::fabs(Predator().position.x - 90.0f), 6.0f);
  EXPECT_LE(std::fabs(Predator().position.y - 40.0f), 6.0f);
  EXPECT_EQ(Target(), player());
  const uint32_t pred = sim::HashName("RE_PRED"), playerGroup = sim::HashName("PLAYER");
  EXPECT_EQ(Hostility(pred, playerGroup) + Hostility(playerGroup, pred), 10);

  // No road at all: the random point at spawn distance is the anchor.
  world().roads.clear();
  Settings.spawnDistance = 0;
  StartPredatorAttack(player());
  const float away = std::hypot(Predator(1).position.x, Predator(1).position.y);
  EXPECT_TRUE(away >= 40.0f - 8.5f && away <= 59.98f + 8.5f) << away;
}

TEST_F(PredatorTest, PedListComesFirstAndAFaultyCountStaysInsideTheBuffer) {
  bool playerReadFirst = true;
  world().allPeds = [&](int32_t*, int32_t) {
    playerReadFirst = std::any_of(world().trace.begin(), world().trace.end(), [&](auto& c) {
      return c.Name() == "GetEntityCoords" && c.Int(0) == player();
    });
    return 0;
  };
  StartPredatorAttack(player());
  EXPECT_FALSE(playerReadFirst) << "the player's position is read after the ped list";

  // Read past the buffer, 600 would be caught by the address sanitizer.
  const int32_t traveller = Human(20.0f, 0.0f);
  world().allPeds = [&](int32_t* handles, int32_t capacity) {
    std::fill(handles, handles + capacity, player());
    handles[capacity - 1] = traveller;
    return 600;
  };
  StartPredatorAttack(player());
  EXPECT_EQ(Predator(1).combatTargets, std::vector<int32_t>{traveller});

  world().allPeds = [](int32_t*, int32_t) { return -1; };
  sim::ClearTrace();
  StartPredatorAttack(player());
  EXPECT_EQ(Predator(2).combatTargets, std::vector<int32_t>{player()});
  EXPECT_EQ(sim::CountCalls("IsPedHuman"), 0u);
}

TEST_F(PredatorTest, FailedSpawnEndsTheEventSilently) {
  Human(20.0f, 0.0f);
  world().models.clear();
  StartPredatorAttack(player());
  sim::SetHandler("CreatePed", [](sim::Call&, uint64_t*) {});
  for (const PredatorKind& k : PredatorKinds) sim::AddModel(k.model, 0, false);
  StartPredatorAttack(player());
  EXPECT_EQ(world().entities.size(), 2u);
  EXPECT_EQ(sim::CountCalls("TaskCombatPed"), 0u);
  EXPECT_STREQ(Notification.text, "");
  EXPECT_EQ(ReadFile(kLogFileName), "");
}

TEST_F(PredatorTest, TravellerGoneWhileTheModelStreamsLeavesThePlayerAsTarget) {
  for (auto& [hash, model] : world().models) model.framesToStream = 10;
  const int32_t traveller = Human(20.0f, 0.0f);
  sim::ScheduleAtFrame(world().frame + 3, [traveller] { sim::RemoveEntity(traveller); });
  StartPredatorAttack(player());
  EXPECT_EQ(Target(), player());
  EXPECT_TRUE(Logged("(traveler=0)"));
}

}  // namespace
}  // namespace sagebrook::testing
