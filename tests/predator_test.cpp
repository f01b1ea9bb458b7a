// The predator attack: its prey and where it appears.
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
  void TargetAfterStart(int32_t target) {
    StartPredatorAttack(player());
    EXPECT_EQ(Entity(SpawnedPeds.back()).combatTargets, std::vector<int32_t>{target});
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
    const PredatorKind& kind = *std::ranges::find_if(
        PredatorKinds, [&](auto& k) { return e.model == sim::HashName(k.model); });
    kinds.insert(kind.model);
    const uint32_t weapon = sim::HashName(kind.weapon);
    EXPECT_TRUE(e.weapons == (std::map<uint32_t, int32_t>{{weapon, 100}}) &&
                e.currentWeapon == weapon && e.group == sim::HashName("RE_PRED") &&
                e.combatTargets == std::vector<int32_t>{travellers[1]});
    EXPECT_TRUE(std::fabs(e.position.x + 0.0055f) <= 5.9945f &&
                std::fabs(e.position.y + 30.0055f) <= 5.9945f);
    EXPECT_TRUE(Logged(std::string(kind.model) + " pred=" + std::to_string(SpawnedPeds[i]) +
                       " target=" + std::to_string(travellers[1]) + " (traveler=1)"));
    EXPECT_TRUE(EventBlips.at(i).entity == SpawnedPeds[i] && EventBlips[i].expiry == 0);
  }
  EXPECT_EQ(kinds.size(), 3u);
  const uint32_t pred = sim::HashName("RE_PRED"), group = sim::HashName("TRAVELLERS");
  EXPECT_EQ((world().relations[{pred, group}] + world().relations[{group, pred}]), 10);
  EXPECT_STREQ(Notification.text, "A predator is hunting a traveler!");

  for (int32_t t : travellers) sim::RemoveEntity(t);
  TargetAfterStart(player());
  EXPECT_TRUE(Logged("target=" + std::to_string(player()) + " (traveler=0)"));
  EXPECT_STREQ(Notification.text, "A predator is stalking you!");
}

TEST_F(PredatorTest, WithoutTravellerItComesOffTheRoadAndFaultyPedListsAreSurvived) {
  world().roads = {{{500.0f, 500.0f, 3.0f}, 0.0f}, {{90.0f, 40.0f, 4.0f}, 0.0f}};
  StartPredatorAttack(player());
  EXPECT_LE(std::hypot(Predator(0).position.x - 90.0f, Predator(0).position.y - 40.0f), 8.5f);

  // The first and the last in the list count; no read goes outside the buffer.
  const int32_t traveller = Human(20.0f, 0.0f);
  for (int32_t count : {1, 600, -1}) {
    world().allPeds = [&](int32_t* handles, int32_t capacity) {
      std::fill(handles, handles + capacity, player());
      handles[count == 600 ? capacity - 1 : 0] = traveller;
      return count;
    };
    TargetAfterStart(count < 0 ? player() : traveller);
  }

  // The traveller goes while the model streams in.
  world().allPeds = nullptr;
  for (const PredatorKind& k : PredatorKinds) sim::AddModel(k.model, 10, false);
  sim::ScheduleAtFrame(world().frame + 3, [traveller] { sim::RemoveEntity(traveller); });
  TargetAfterStart(player());
  EXPECT_EQ(Logged("(traveler=0)"), 3u);
}

}  // namespace
}  // namespace sagebrook::testing
