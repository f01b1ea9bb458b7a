// The frontier must hold what every event needs, as the events read it.
#include <gtest/gtest.h>

#include <cmath>

#include "events/bounty_hunters.h"
#include "events/hanging.h"
#include "events/predator.h"
#include "events/wagon.h"
#include "scenario.h"
#include "world/spawning.h"

namespace simcli {
namespace {

class Frontier : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    BuildFrontier(18);
  }
  sim::World& w = sim::GetWorld();
};

TEST_F(Frontier, KnowsEveryModelTheEventsAskForWithAnimalsNotHuman) {
  // Each model the events ask for: 1 human, 0 an animal, -1 a vehicle or prop.
  std::vector<std::pair<const char*, int>> expected;
  auto add = [&expected](const auto& names, int human) {
    for (const char* name : names) expected.push_back({name, human});
  };
  add(sagebrook::TownsfolkModels, 1);
  add(sagebrook::HunterModels, 1);
  add(sagebrook::CriminalModels, 1);
  add(sagebrook::HoundModels, 0);
  add(sagebrook::WagonModels, -1);
  add(std::vector<const char*>{"p_shotglass01x", "p_noose02x"}, -1);
  for (const auto& p : sagebrook::PredatorKinds) expected.push_back({p.model, 0});
  for (const auto& [name, human] : expected) {
    auto it = w.models.find(sim::HashName(name));
    ASSERT_NE(it, w.models.end()) << name;
    EXPECT_TRUE(it->second.inImage && it->second.valid) << name;
    EXPECT_TRUE(human < 0 || it->second.human == (human == 1)) << name;
    EXPECT_EQ(ModelName(sim::HashName(name)), name);
  }
}

TEST_F(Frontier, RoadHeadingsPointAlongTheRoadAsTheGameMeasuresThem) {
  ASSERT_GT(w.roads.size(), 500u);
  size_t checked = 0;
  for (size_t i = 0; i + 1 < w.roads.size(); ++i) {
    const sim::RoadNode& a = w.roads[i];
    const sim::RoadNode& b = w.roads[i + 1];
    const float dx = b.position.x - a.position.x, dy = b.position.y - a.position.y;
    if (std::hypot(dx, dy) > 8.5f || a.heading != b.heading) continue;  // a corner
    // Heading h travels along (-sin h, cos h): 0 north, 90 west.
    const float h = a.heading * 0.0174533f;
    EXPECT_NEAR(-std::sin(h) * 8.0f, dx, 0.05f) << i;
    EXPECT_NEAR(std::cos(h) * 8.0f, dy, 0.05f) << i;
    EXPECT_TRUE(a.heading >= 0.0f && a.heading < 360.0f) << i;
    EXPECT_FLOAT_EQ(a.position.z, GroundHeight(a.position.x, a.position.y));
    ++checked;
  }
  EXPECT_GT(checked, 500u);
}

TEST_F(Frontier, OverheadsAreWhereTheHangingsRayFindsThem) {
  // The ray runs from 1 m to 8 m above the ground and needs more than 2.6 m.
  ASSERT_GT(w.overheads.size(), 300u);
  ASSERT_EQ(TheFrontier.overheadIsBeam.size(), w.overheads.size());
  size_t beams = 0;
  for (size_t i = 0; i < w.overheads.size(); ++i) {
    const auto& o = w.overheads[i];
    const float above = o.height - GroundHeight(o.x, o.y);
    EXPECT_GT(above, 2.8f) << i;
    EXPECT_LT(above, 7.8f) << i;
    EXPECT_GT(o.radius, 1.0f);
    beams += TheFrontier.overheadIsBeam[i];
  }
  EXPECT_GT(beams, 10u);
  // Ground under the player is found from the probe height the toolkit uses.
  float z = 0;
  const sim::Vec3 p = sim::FindEntity(w.playerPed)->position;
  ASSERT_TRUE(w.ground(p.x, p.y, z));
  EXPECT_FLOAT_EQ(z, p.z);
}

TEST_F(Frontier, PlayerRidesTheRoundAndTheClockGivesAnHourPerTwoMinutes) {
  const sim::Vec3 start = sim::FindEntity(w.playerPed)->position;
  StepFrontier(10000);
  const sim::Vec3 later = sim::FindEntity(w.playerPed)->position;
  EXPECT_NEAR(std::hypot(later.x - start.x, later.y - start.y), kRideSpeed * 10.0f, 0.5f);
  EXPECT_EQ(w.clockHour, 18);
  StepFrontier(120000);
  EXPECT_EQ(w.clockHour, 19);
  StepFrontier(12 * 120000);
  EXPECT_EQ(w.clockHour, 6);  // the clock wraps past midnight
  EXPECT_EQ(GameMinutes(12 * 120000 + 2000), 30 * 60 + 1);
  // The log's wall clock reads the time played.
  StepFrontier(3723004);
  EXPECT_EQ(std::make_tuple(w.hour, w.minute, w.second, w.millisecond),
            std::make_tuple(1, 2, 3, 4));
  // A full round brings the player back to where he was.
  const sim::Vec3 before = sim::FindEntity(w.playerPed)->position;
  StepFrontier(3723004 + static_cast<uint32_t>(TheFrontier.ride.Length() / kRideSpeed * 1000.0f));
  const sim::Vec3 round = sim::FindEntity(w.playerPed)->position;
  EXPECT_LT(std::hypot(round.x - before.x, round.y - before.y), 1.0f);
}

TEST_F(Frontier, PlayerRidesOverToLookShootsANooseAndComesBack) {
  StepFrontier(1000);
  const sim::Vec3 onRoad = sim::FindEntity(w.playerPed)->position;
  const sim::Vec3 site{onRoad.x + 60.0f, onRoad.y, onRoad.z};
  const int32_t hanged = sim::AddEntity(sim::EntityKind::Ped, site);
  w.ropes[1].entityA = hanged;
  ASSERT_TRUE(RideOverTo(site));
  EXPECT_FALSE(RideOverTo(onRoad)) << "one look at a time";
  std::vector<std::string> done;
  sim::Vec3 rejoined{};
  for (uint32_t t = 1016; t < 60000; t += 16) {
    if (const char* action = StepFrontier(t)) done.push_back(action);
    const sim::Vec3 p = sim::FindEntity(w.playerPed)->position;
    if (t == 3000) {
      EXPECT_NEAR(p.x - onRoad.x, 12.0f * 2.0f, 0.5f) << "at a gallop";
    }
    if (done.size() == 2 && rejoined.x == 0.0f) rejoined = p;
  }
  EXPECT_TRUE(w.ropes[1].broken);
  EXPECT_EQ(done, (std::vector<std::string>{"shoots through the noose", "back on the road"}));
  EXPECT_LT(std::hypot(rejoined.x - onRoad.x, rejoined.y - onRoad.y), 0.5f)
      << "back where he left the road";
}

TEST_F(Frontier, TownsfolkTravelTheRoadsAsHumans) {
  std::vector<int32_t> folk;
  for (int32_t ped : TheFrontier.ownPeds) {
    if (ped != w.playerPed) folk.push_back(ped);
  }
  ASSERT_GE(folk.size(), 10u);
  std::vector<sim::Vec3> before;
  for (int32_t ped : folk) before.push_back(sim::FindEntity(ped)->position);
  StepFrontier(30000);
  for (size_t i = 0; i < folk.size(); ++i) {
    const sim::Entity& e = *sim::FindEntity(folk[i]);
    EXPECT_TRUE(e.human);
    EXPECT_GT(sim::Distance(before[i], e.position), 20.0f) << "traveller " << i << " stood still";
    float nearest = 1e9f;
    for (const sim::RoadNode& n : w.roads) {
      nearest =
          std::fmin(nearest, std::hypot(n.position.x - e.position.x, n.position.y - e.position.y));
    }
    EXPECT_LT(nearest, 8.0f) << "traveller " << i << " left the road";
  }
}

}  // namespace
}  // namespace simcli
