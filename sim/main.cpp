// Plays a session of the real plugin core in the simulated game and prints
// what it did: the log it wrote, the messages it showed, what it spawned.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "host/plugin.h"
#include "sim.h"
#include "tracking/registry.h"
#include "ui/screen_text.h"
#include "ui/settings.h"

namespace {

// A small stretch of country: flat ground, a road, two travellers and the
// animals and townsfolk the events ask for.
void BuildCountry() {
  sim::World& w = sim::GetWorld();
  w.ground = [](float, float, float& z) {
    z = 10.0f;
    return true;
  };
  for (int i = -20; i <= 20; ++i) w.roads.push_back({{static_cast<float>(i) * 10.0f, 60, 10}, 90});
  for (const char* animal : {"A_C_Wolf", "A_C_Cougar_01", "A_C_Bear_01"}) {
    sim::AddModel(animal, 3, false);
  }
  for (const char* person : {"A_M_M_RhdTownfolk_01", "A_M_M_ValTownfolk_01"}) {
    sim::AddModel(person, 3, true);
  }
  w.playerPed = sim::AddEntity(sim::EntityKind::Ped, {0, 0, 10});
  sim::FindEntity(w.playerPed)->group = sim::HashName("PLAYER");
  sim::AddEntity(sim::EntityKind::Ped, {30, 5, 10});
  sim::AddEntity(sim::EntityKind::Ped, {-45, 20, 10});
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 150;
  const auto folder = std::filesystem::temp_directory_path() / "sagebrook-play";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);

  sim::Reset();
  sim::World& world = sim::GetWorld();
  world.tracing = false;
  BuildCountry();

  sagebrook::PluginEntry(reinterpret_cast<void*>(0x1000), 1, nullptr);
  sagebrook::Settings.logging = 1;  // as if switched on in the menu before the first frame

  std::map<std::string, int> shown;
  uint32_t lastExpiry = 0;
  const uint32_t start = world.tick;
  sim::SetAfterWait([&] {
    // Each message sets a new expiry.
    if (sagebrook::Notification.expiresAt != lastExpiry) {
      lastExpiry = sagebrook::Notification.expiresAt;
      shown[sagebrook::Notification.text]++;
    }
    // The wall clock follows game time from noon.
    const uint32_t ms = world.tick - start;
    world.hour = static_cast<uint16_t>(12 + ms / 3600000);
    world.minute = static_cast<uint16_t>(ms / 60000 % 60);
    world.second = static_cast<uint16_t>(ms / 1000 % 60);
    world.millisecond = static_cast<uint16_t>(ms % 1000);
  });
  const int frames = seconds * 1000 / static_cast<int>(world.frameMs);
  sim::RunScriptMain(frames);

  std::printf("Simulated %d s of game time: %llu frames, %llu natives.\n", seconds,
              static_cast<unsigned long long>(world.frame),
              static_cast<unsigned long long>(world.nativeCalls));
  std::printf("\nSagebrook.log:\n");
  std::ifstream log("Sagebrook.log");
  for (std::string line; std::getline(log, line);) std::printf("  %s\n", line.c_str());
  std::printf("\nNotifications:\n");
  for (const auto& [text, n] : shown) std::printf("  %dx %s\n", n, text.c_str());
  std::printf("\nTracked now: %zu peds, %zu blips.\n", sagebrook::SpawnedPeds.size(),
              sagebrook::EventBlips.size());
  sagebrook::PluginEntry(reinterpret_cast<void*>(0x1000), 0, nullptr);
  return 0;
}
