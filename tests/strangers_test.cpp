// The stranger upkeep: pending peds become the game's greetable strangers
// once the player is within 18 m, and are then no longer the plugin's.
#include <cmath>

#include "fixture.h"
#include "world/spawning.h"

namespace sagebrook::testing {
namespace {

class StrangersTest : public PluginTest {
 protected:
  bool Greetable(int32_t ped) {
    const sim::Entity& e = Entity(ped);
    return e.released && e.settings.count("greeting") && e.settings.count("interaction") &&
           e.personality == sim::HashName("TIMID") &&
           e.greetSpeech == "GREET_GENERAL_STRANGER_01" && e.insultSpeech == "INSULT_RESPONSE_01" &&
           e.promptName == "Stranger";
  }
};

TEST_F(StrangersTest, ConvertedBelow18MetresOutOfBothListsAndNeverTouchedAgain) {
  // The player stands at (0, 0, 10).
  const int32_t edge = AddPed({18.0f, 0.0f, 10.0f}), near = AddPed({10.0f, 10.0f, 10.0f}),
                dead = AddPed({0.0f, -5.0f, 10.0f}), gone = AddPed(), other = AddPed(),
                far = AddPed({100.0f, 0.0f, 10.0f});
  Entity(dead).dead = true;
  sim::RemoveEntity(gone);
  SpawnedPeds = {near, edge, near, dead, other, near, far};
  PendingStrangers = {edge, gone, near, dead, far};

  RunFrame();
  EXPECT_EQ(PendingStrangers, (std::vector<int32_t>{edge, far}));
  EXPECT_EQ(SpawnedPeds, (std::vector<int32_t>{edge, other, far}));
  EXPECT_TRUE(Greetable(near) && Greetable(dead)) << "both in the same frame";
  EXPECT_FALSE(Entity(edge).released);
  std::vector<std::string> conversion;
  for (const sim::Call& c : world().trace) {
    EXPECT_TRUE(c.Name() == "EntityExists" || c.Int(0) != gone) << c.Name();
    if (c.Name() == "ReleasePed") conversion.clear();
    conversion.push_back(c.Name());
  }
  conversion.resize(8);
  EXPECT_EQ(conversion,
            (std::vector<std::string>{"ReleasePed", "EnablePedGreeting", "EnablePedInteraction",
                                      "HashName", "SetPedPersonality", "SetPedGreetSpeech",
                                      "SetPedInsultSpeech", "SetPedPromptName"}));

  Entity(edge).position.x = 17.9f;
  RunFrame();
  EXPECT_EQ(PendingStrangers, std::vector<int32_t>{far});
  EXPECT_EQ(SpawnedPeds, (std::vector<int32_t>{other, far}));
  EXPECT_TRUE(Greetable(edge));

  // Far away or cleared, a converted ped is the game's alone; a pending one
  // is still the plugin's to delete.
  for (int32_t ped : {edge, near}) Entity(ped).position = {300.0f, 0.0f, 10.0f};
  sim::ClearTrace();
  RunFor(2600);
  EXPECT_EQ(sim::CountCalls("ReleasePed"), 0u);
  ClearSpawned();
  EXPECT_TRUE(Entity(other).deleted && Entity(far).deleted);
  EXPECT_TRUE(PendingStrangers.empty());
  EXPECT_FALSE(Entity(edge).deleted || Entity(near).deleted || Entity(dead).deleted);
}

TEST_F(StrangersTest, NightDrunksFromTheAmbientTimerBecomeStrangersAsThePlayerWalksUp) {
  for (const char* model : TownsfolkModels) sim::AddModel(model);
  Ground(10.0f);
  world().clockHour = 23;
  Settings = {.predatorAttack = 0, .runawayWagon = 0, .publicHanging = 0, .bountyHunters = 0};
  RunFrame();
  RunFor(60000 + 2 * world().frameMs);
  const std::vector<int32_t> drunks = PendingStrangers;
  ASSERT_TRUE(drunks.size() == 3 || drunks.size() == 4);
  EXPECT_STREQ(Notification.text, "Drunken folk are causing a ruckus nearby.");

  // Walk straight at the first drunk, a metre per frame.
  sim::Entity& player = Entity(world().playerPed);
  const sim::Vec3 target = Entity(drunks[0]).position;
  const float length = std::hypot(target.x, target.y);
  for (float walked = 0.0f; walked < length; walked += 1.0f) {
    player.position = {target.x * walked / length, target.y * walked / length, 10.0f};
    std::vector<bool> due;  // in reach now, or already converted
    for (int32_t d : drunks) {
      due.push_back(Entity(d).released ||
                    sim::Distance(player.position, Entity(d).position) < 18.0f);
    }
    RunFrame();
    for (size_t k = 0; k < drunks.size(); ++k) EXPECT_EQ(Greetable(drunks[k]), due[k]) << walked;
  }
  EXPECT_TRUE(PendingStrangers.empty());
  for (int32_t d : drunks) EXPECT_TRUE(Greetable(d) && std::ranges::count(SpawnedPeds, d) == 0);
}

}  // namespace
}  // namespace sagebrook::testing
