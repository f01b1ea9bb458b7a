#pragma once
// A fresh plugin in a fresh simulated game for every test: the player's ped
// exists and is in control, the working folder is a new temporary one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "diag/key_bindings.h"
#include "diag/log.h"
#include "events/ambient.h"
#include "events/cleanup.h"
#include "events/dispatcher.h"
#include "game/hook.h"
#include "game/random.h"
#include "host/plugin.h"
#include "sim.h"
#include "tracking/registry.h"
#include "ui/screen_text.h"
#include "ui/settings.h"
#include "world/groups.h"

namespace sagebrook::testing {

// Stand-ins for the event starts: each records what was started, for whom and
// when, then lets DuringEvent play the event's part.
struct StartedEvent {
  int32_t kind;
  int32_t playerPed;
  uint32_t tick;
};
inline std::vector<StartedEvent> Started;
inline std::function<void()> DuringEvent;
template <int32_t kKind>
void ProbeStart(int32_t playerPed) {
  Started.push_back({kKind, playerPed, sim::GetWorld().tick});
  if (DuringEvent) DuringEvent();
}

// Puts every global of the plugin back to its state at load.
void ResetPluginState();

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  sim::World& world() { return sim::GetWorld(); }
  // One pass of the script loop: the frame update, then the game's frame.
  void RunFrame() { FrameUpdate(), hook::scriptWait(0); }
  void RunFrames(int n) {
    while (n-- > 0) RunFrame();
  }
  // Runs frames until the tick has advanced by at least ms.
  void RunFor(uint32_t ms) {
    for (const uint32_t start = world().tick; world().tick - start < ms;) RunFrame();
  }
  void PressKey(uint32_t vk) { sim::ReleaseKey(vk); }
  // A key press, then the frame that sees it.
  void Press(uint32_t vk) {
    PressKey(vk);
    RunFrame();
  }
  // The dispatcher starts probes instead of the real events.
  void ProbeEvents() {
    Started.clear();
    DuringEvent = nullptr;
    const EventStart probes[] = {ProbeStart<1>, ProbeStart<2>, ProbeStart<3>, ProbeStart<4>,
                                 ProbeStart<5>};
    std::copy(std::begin(probes), std::end(probes), EventStarts);
  }
  sim::Entity& Entity(int32_t handle) { return *sim::FindEntity(handle); }
  int32_t AddPed(sim::Vec3 at = {1.0f, 0.0f, 10.0f}) {
    return sim::AddEntity(sim::EntityKind::Ped, at);
  }
  // Flat ground at this height everywhere.
  void Ground(float height) {
    world().ground = [height](float, float, float& z) { return (z = height, true); };
  }
  // How many times the last frame drew this text.
  size_t CountTexts(const std::string& text) {
    return static_cast<size_t>(
        std::ranges::count(world().lastFrame.texts, text, &sim::DrawnText::text));
  }
  std::string FilePath(const std::string& name) const { return (folder_ / name).string(); }
  std::string ReadFile(const std::string& name) const;
  // How many times the log holds text.
  size_t Logged(const std::string& text) const;
  // Only this event kind is enabled; the other settings stay.
  static void OnlyKind(int32_t SettingsRecord::*kind) {
    using S = SettingsRecord;
    for (auto k : {&S::predatorAttack, &S::runawayWagon, &S::publicHanging, &S::drunkenFolk,
                   &S::bountyHunters}) {
      Settings.*k = k == kind;
    }
  }

  std::filesystem::path folder_;
  std::filesystem::path previousFolder_;
  EventStart savedStarts_[5] = {};
};

}  // namespace sagebrook::testing
