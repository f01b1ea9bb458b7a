// The bounty hunters: where the posse gathers, how it is armed, what a failed run does.
#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "events/bounty_hunters.h"
#include "fixture.h"
#include "tracking/diagnostics.h"

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
  std::vector<int32_t> player;  // as a list of combat targets
};

TEST_F(BountyHuntersTest, PosseGathersThirtyToFiftyMetresAwayArmedSharpAndOnThePlayerEvenIfEmpty) {
  const uint32_t wolf = sim::HashName("weapon_wolf");
  std::set<uint32_t> models;
  for (int run = 0; run < 16; ++run) {
    Settings.spawnDistance = run % 4;  // has no say
    ClearSpawned();  // deletes the dogs, yet only the event empties its list of them
    sim::ClearTrace();
    StartBountyHunters(player[0]);
    const sim::Call& anchor =  // the first ground probe
        *std::ranges::find_if(world().trace, [](auto& c) { return c.Name() == "GetGroundZ"; });
    const float away = std::hypot(anchor.Float(0), anchor.Float(1));
    EXPECT_TRUE(away >= 29.999f && away <= 49.981f) << away;
    std::vector<int32_t> dogs;
    std::ranges::copy_if(SpawnedPeds, std::back_inserter(dogs),
                         [&](int32_t p) { return Entity(p).group == sim::HashName("RE_HOUND"); });
    const size_t hunters = SpawnedPeds.size() - dogs.size();
    ASSERT_TRUE(hunters >= 3 && hunters <= 4 && dogs.size() >= 1 && dogs.size() <= 3);
    EXPECT_EQ(HunterDogs, dogs);
    for (int32_t ped : SpawnedPeds) {
      const sim::Entity& e = Entity(ped);
      const bool dog = e.group == sim::HashName("RE_HOUND");
      const float half = dog ? 4.0f : 5.0f;
      models.insert(e.model);
      EXPECT_TRUE(std::fabs(e.position.x - anchor.Float(0)) <= half &&
                  std::fabs(e.position.y - anchor.Float(1)) <= half && e.combatTargets == player);
      EXPECT_TRUE(1 == std::ranges::count_if(
                           EventBlips, [&](auto& b) { return b.entity == ped && b.expiry == 0; }));
      EXPECT_TRUE(e.settings.at("seeingRange") == 220.0f &&
                  e.settings.at("hearingRange") == 220.0f);
      std::string attributes;  // the combat attributes set, and no other
      for (const auto& [key, on] : e.settings)
        if (key.starts_with("combatAttribute") && on == 1.0f) attributes += key.substr(15) + " ";
      EXPECT_EQ(attributes, dog ? "46 5 " : "0 46 5 ");
      const std::map<uint32_t, int32_t> fangs{{wolf, 1}};
      EXPECT_TRUE(dog ? e.weapons == fangs && e.settings.at("dogFlag") == 1.0f &&
                            e.currentWeapon == wolf
                      : e.group == sim::HashName("RE_BANDIT") &&
                            e.settings.at("accuracy") == 60.0f && e.currentWeapon != 0);
    }
    EXPECT_TRUE(Logged("] EVENT BountyHunters: spawned " + std::to_string(hunters) + " hunters + " +
                       std::to_string(dogs.size()) + " dogs\r\n"));
    EXPECT_EQ(DiagWindow.diagUntil, world().tick + 12000) << "the dogs are watched";
  }
  EXPECT_EQ(models.size(), 5u) << "both hunters' and all three hounds' models";
  world().models.clear();  // an empty run still reports
  StartBountyHunters(player[0]);
  EXPECT_EQ(Logged("] EVENT BountyHunters: spawned 0 hunters + 0 dogs\r\n"), 1u);
  EXPECT_STREQ(Notification.text, "Bounty hunters and their dogs are on your trail!");
}

}  // namespace
}  // namespace sagebrook::testing
