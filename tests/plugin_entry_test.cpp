#include <gtest/gtest.h>

#include <vector>

#include "game/hook.h"
#include "game/random.h"
#include "host/plugin.h"
#include "sim.h"
#include "ui/settings.h"

namespace {

using namespace sagebrook;

void* const Module = reinterpret_cast<void*>(0x7FF600000000);

class PluginEntryTest : public testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    for (auto& f : KeyPressedFlags) f.store(0);
  }
};

TEST_F(PluginEntryTest, AttachRegistersAndSeedsTheScriptAndDetachUndoesInReverse) {
  sim::GetWorld().tick = 1;
  EXPECT_EQ(PluginEntry(Module, 1, nullptr), 1);
  const sim::Registrations& r = sim::GetRegistrations();
  EXPECT_TRUE(r.module == Module && r.script == &ScriptMain && r.keyboard == &KeyboardHandler);
  sim::RunScriptMain(10);
  EXPECT_EQ(sim::GetWorld().frame, 10u) << "one yield per frame";
  std::vector<int32_t> draws;  // the generator, seeded from the tick
  for (int i = 0; i < 5; ++i) draws.push_back(sagebrook::rand());
  EXPECT_EQ(draws, (std::vector<int32_t>{41, 18467, 6334, 26500, 19169}));
  // Thread attach and detach change nothing.
  for (uint32_t reason : {2u, 3u, 0u}) EXPECT_EQ(PluginEntry(Module, reason, nullptr), 1);
  EXPECT_EQ(r.log, (std::vector<std::string>{"scriptRegister", "keyboardHandlerRegister",
                                             "keyboardHandlerUnregister", "scriptUnregister"}));
}

TEST_F(PluginEntryTest, KeyboardHandlerRecordsOnlyCompletedPressesBelow256) {
  PluginEntry(Module, 1, nullptr);
  sim::SendKeyMessage(65, 1, 30, 0, 0, 1, 0);  // still down
  sim::SendKeyMessage(66, 1, 30, 0, 0, 0, 1);  // up without having been down
  sim::SendKeyMessage(256, 1, 0, 0, 0, 1, 1);
  for (const auto& f : KeyPressedFlags) EXPECT_EQ(f.load(), 0);

  sim::ReleaseKey(122);
  sim::ReleaseKey(122);                         // merges with the pending press
  sim::SendKeyMessage(255, 1, 0, 1, 1, 7, -1);  // any non-zero flags count
  EXPECT_TRUE(TakeKeyPress(122));
  EXPECT_FALSE(TakeKeyPress(122)) << "two releases act once";
  EXPECT_FALSE(TakeKeyPress(300));
  EXPECT_TRUE(TakeKeyPress(255));
}

}  // namespace
