// Drunken folk: where the drunks stand, which of them brawl and what a failed
// spawn changes.
#include <cmath>
#include <set>

#include "diag/log.h"
#include "events/drunks.h"
#include "fixture.h"
#include "world/spawning.h"

namespace sagebrook::testing {
namespace {

class DrunksTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    for (const char* model : TownsfolkModels) sim::AddModel(model);
    Ground(1.0f);
    Settings.logging = 1;
    world().clockHour = 22;
  }
  // Runs the event on a fresh trace and fresh lists with the generator seeded;
  // returns the models its attempts asked for, in order.
  std::vector<std::string> Start(uint32_t seed) {
    SpawnedPeds.clear();
    PendingStrangers.clear();
    EventBlips.clear();
    sim::ClearTrace();
    srand(seed);
    StartDrunkenFolk(world().playerPed);
    std::vector<std::string> models;
    for (const sim::Call& c : world().trace) {
      if (c.Name() == "HashName" && c.text.starts_with("A_M_M_")) models.push_back(c.text);
    }
    return models;
  }
  std::string LastLogLine() {
    const std::string log = ReadFile(kLogFileName);
    const size_t start = log.rfind("EVENT");
    return log.substr(start, log.find('\r', start) - start);
  }
  static int32_t Draw(uint32_t seed, int32_t index) {
    srand(seed);
    int32_t r = 0;
    for (int32_t i = 0; i <= index; ++i) r = rand();
    return r;
  }
};

TEST_F(DrunksTest, DrunksStandByTheAnchorAndTheFirstTwoBrawlOnADrawBelow60) {
  Settings.eventBlips = 0;  // keeps five draws per attempt
  std::set<std::pair<size_t, bool>> seen;
  std::set<int32_t> brawlDraws;
  std::set<std::string> models;
  std::vector<uint32_t> seeds = {535, 547};  // the brawl draw at 59 and 60
  for (uint32_t seed = 0; seed < 60; ++seed) seeds.push_back(seed);
  for (uint32_t seed : seeds) {
    for (const std::string& m : Start(seed)) models.insert(m);
    const size_t n = SpawnedPeds.size();
    ASSERT_TRUE(n == 3 || n == 4) << n;
    EXPECT_EQ(PendingStrangers, SpawnedPeds);
    const int32_t brawlDraw = Draw(seed, 3 + 5 * static_cast<int32_t>(n)) % 100;
    const bool brawl = brawlDraw < 60;
    brawlDraws.insert(brawlDraw);
    seen.insert({n, brawl});
    EXPECT_EQ(LastLogLine(), "EVENT Drunks: spawned " + std::to_string(n) +
                                 " brawl=" + std::to_string(brawl) + " (hour=22)");

    const sim::Call& anchor = *std::find_if(world().trace.begin(), world().trace.end(),
                                            [](auto& c) { return c.Name() == "GetGroundZ"; });
    for (size_t k = 0; k < n; ++k) {
      SCOPED_TRACE(k);
      const sim::Entity& d = Entity(SpawnedPeds[k]);
      const bool brawler = brawl && k < 2;
      EXPECT_TRUE(std::fabs(d.position.x - anchor.Float(0)) <= 3.0f &&
                  std::fabs(d.position.y - anchor.Float(1)) <= 3.0f);
      EXPECT_TRUE(d.promptName == "Stranger" && d.settings.at("drunkFlag") == 1.0f &&
                  d.settings.at("wanderRadius") == 10.0f);
      EXPECT_EQ(d.group,
                sim::HashName(brawler ? (k == 0 ? "RE_BRAWLA" : "RE_BRAWLB") : "RE_VICTIM"));
      EXPECT_EQ(d.currentWeapon, brawler ? sim::HashName("WEAPON_UNARMED") : 0u);
      const float attack =
          d.settings.count("combatAttribute5") ? d.settings.at("combatAttribute5") : -1;
      EXPECT_EQ(attack, brawler ? 1.0f : -1.0f);
      EXPECT_EQ(d.combatTargets,
                brawler ? std::vector<int32_t>{SpawnedPeds[1 - k]} : std::vector<int32_t>{});
      EXPECT_EQ(d.settings.at("drunk"), brawler ? 0.0f : 1.0f);
      const float level = d.settings.at("drunkLevel");
      EXPECT_TRUE(brawler ? level == 0.0f : level >= 0.55f && level <= 0.89965f) << level;
    }
  }
  EXPECT_EQ(seen.size(), 4u) << "three and four drunks, with and without a brawl";
  EXPECT_TRUE(brawlDraws.count(59) && brawlDraws.count(60));
  EXPECT_EQ(models.size(), 3u);
  EXPECT_STREQ(Notification.text, "Drunken folk are causing a ruckus nearby.");
}

TEST_F(DrunksTest, FailedOrVanishedDrunksAreLeftOutAndOnlyAttemptZeroGetsTheBlip) {
  const std::string missing = TownsfolkModels[1];
  world().models.erase(sim::HashName(missing.c_str()));
  bool brawlWithoutAttemptZero = false, brawlOfTwo = false;
  for (uint32_t seed = 0; seed < 60; ++seed) {
    const std::vector<std::string> models = Start(seed);
    EXPECT_EQ(SpawnedPeds.size(),
              models.size() - static_cast<size_t>(std::ranges::count(models, missing)));
    if (models[0] == missing) {
      EXPECT_TRUE(EventBlips.empty());
    } else {
      ASSERT_EQ(EventBlips.size(), 1u);
      EXPECT_TRUE(EventBlips[0].entity == SpawnedPeds[0] && EventBlips[0].expiry != 0);
    }
    if (LastLogLine().find("brawl=1") == std::string::npos) continue;
    // The brawlers are the first two created, whichever attempts made them.
    EXPECT_EQ(Entity(SpawnedPeds[0]).group, sim::HashName("RE_BRAWLA"));
    EXPECT_EQ(Entity(SpawnedPeds[1]).group, sim::HashName("RE_BRAWLB"));
    brawlWithoutAttemptZero |= models[0] == missing;
    brawlOfTwo |= SpawnedPeds.size() == 2;
  }
  EXPECT_TRUE(brawlWithoutAttemptZero && brawlOfTwo);

  // The first drunk vanishes while a later model streams in.
  sim::SetAfterWait([] {
    if (!SpawnedPeds.empty()) sim::RemoveEntity(SpawnedPeds[0]);
  });
  bool brawlAfterLoss = false;
  for (uint32_t seed = 0; seed < 40; ++seed) {
    for (const char* model : TownsfolkModels) sim::AddModel(model, 2);
    Start(seed);  // the game fails any native applied to the vanished drunk
    ASSERT_FALSE(SpawnedPeds.empty());
    if (Entity(SpawnedPeds[0]).exists) continue;
    EXPECT_EQ(PendingStrangers, std::vector<int32_t>(SpawnedPeds.begin() + 1, SpawnedPeds.end()));
    EXPECT_TRUE(LastLogLine().starts_with("EVENT Drunks: spawned " +
                                          std::to_string(PendingStrangers.size()) + " brawl="));
    brawlAfterLoss |= Entity(SpawnedPeds[1]).group == sim::HashName("RE_BRAWLA");
  }
  EXPECT_TRUE(brawlAfterLoss);
}

}  // namespace
}  // namespace sagebrook::testing
