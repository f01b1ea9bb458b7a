#include "fixture.h"

#include "events/hanging.h"

#include <fstream>
#include <sstream>

#include "events/wagon.h"
#include "tracking/diagnostics.h"

namespace sagebrook::testing {

void ResetPluginState() {
  Settings = {}, MenuState = {}, Notification = {}, KeyBindings = {}, AmbientSchedule = {};
  SpawnedPeds = {}, SpawnedVehicles = {}, HunterDogs = {}, RigObjects = {}, RigRopes = {};
  PendingStrangers = {}, EventBlips = {}, RelationshipGroups = {}, ExecutionState = {};
  FreedVictimMood = {}, DiagWindow = {}, WagonWatch = {}, executionQuietUntil = 0;
  for (auto& flag : KeyPressedFlags) flag.store(0);
  BuildMenu();
  srand(1);
}

void PluginTest::SetUp() {
  sim::Reset();
  ResetPluginState();
  std::copy(std::begin(EventStarts), std::end(EventStarts), savedStarts_);
  world().playerPed = sim::AddEntity(sim::EntityKind::Ped, {0.0f, 0.0f, 10.0f});
  sim::FindEntity(world().playerPed)->group = sim::HashName("PLAYER");
  world().playerInControl = true;

  previousFolder_ = std::filesystem::current_path();
  char pattern[] = "/tmp/sagebrook-test-XXXXXX";
  folder_ = mkdtemp(pattern);
  std::filesystem::current_path(folder_);
  world().executablePath = (folder_ / "game.exe").string();
  PluginEntry(reinterpret_cast<void*>(0x7FF600000000), 1, nullptr);
}

void PluginTest::TearDown() {
  std::copy(std::begin(savedStarts_), std::end(savedStarts_), EventStarts);
  std::filesystem::current_path(previousFolder_);
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::string PluginTest::ReadFile(const std::string& name) const {
  std::ifstream file(folder_ / name, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

size_t PluginTest::Logged(const std::string& text) const {
  const std::string log = ReadFile(kLogFileName);
  size_t n = 0;
  for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
  return n;
}

}  // namespace sagebrook::testing
