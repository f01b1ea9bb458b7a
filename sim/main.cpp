// Plays a short session of the real plugin core in the simulated game and
// prints what it did.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "host/plugin.h"
#include "sim.h"

int main(int argc, char** argv) {
  int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  sim::Reset();
  sim::World& world = sim::GetWorld();
  world.playerPed = sim::AddEntity(sim::EntityKind::Ped, {0.0f, 0.0f, 10.0f});

  sagebrook::PluginEntry(reinterpret_cast<void*>(0x1000), 1, nullptr);
  int frames = seconds * 1000 / static_cast<int>(world.frameMs);
  sim::RunScriptMain(frames);

  std::map<std::string, size_t> counts;
  for (const sim::Call& c : world.trace) counts[c.Name()]++;
  std::printf("Simulated %d s of game time (%llu frames).\n", seconds,
              static_cast<unsigned long long>(world.frame));
  std::printf("Hook: %zu registrations.\n", sim::GetRegistrations().log.size());
  std::printf("Natives called: %zu\n", world.trace.size());
  for (const auto& [name, n] : counts) std::printf("  %-32s %zu\n", name.c_str(), n);
  sagebrook::PluginEntry(reinterpret_cast<void*>(0x1000), 0, nullptr);
  return 0;
}
