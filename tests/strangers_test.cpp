// The stranger upkeep: pending peds become the game's greetable strangers
// once the player is within 18 m, and are then no longer the plugin's.
#include "fixture.h"

namespace sagebrook::testing {
namespace {

using StrangersTest = PluginTest;

TEST_F(StrangersTest, ConvertedBelow18MetresOutOfBothListsAndNeverTouchedAgain) {
  auto greetable = [this](int32_t ped) {
    const sim::Entity& e = Entity(ped);
    return e.released && e.settings.count("greeting") && e.settings.count("interaction") &&
           e.personality == sim::HashName("TIMID") &&
           e.greetSpeech == "GREET_GENERAL_STRANGER_01" && e.insultSpeech == "INSULT_RESPONSE_01" &&
           e.promptName == "Stranger";
  };
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
  EXPECT_TRUE(greetable(near) && greetable(dead)) << "both in the same frame";
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
  EXPECT_TRUE(greetable(edge));

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

}  // namespace
}  // namespace sagebrook::testing
