#pragma once
// A fresh plugin in a fresh simulated game for every test: the player's ped
// exists and is in control, the working folder is a new temporary one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "diag/key_bindings.h"
#include "events/dispatcher.h"
#include "host/frame.h"
#include "host/hook.h"
#include "host/plugin.h"
#include "host/random.h"
#include "sim.h"
#include "tracking/registry.h"
#include "ui/screen_text.h"
#include "ui/settings.h"
#include "world/groups.h"

namespace sagebrook::testing {

// Puts every global of the plugin back to its state at load.
void ResetPluginState();

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  sim::World& world() { return sim::GetWorld(); }
  // One pass of the script loop: the frame update, then the game's frame.
  void RunFrame();
  void RunFrames(int n);
  // Runs frames until the tick has advanced by at least ms.
  void RunFor(uint32_t ms);
  void PressKey(uint32_t vk) { sim::ReleaseKey(vk); }
  std::string FilePath(const std::string& name) const { return (folder_ / name).string(); }
  std::string ReadFile(const std::string& name) const;

  std::filesystem::path folder_;
  std::filesystem::path previousFolder_;
  EventStart savedStarts_[5] = {};
};

}  // namespace sagebrook::testing
