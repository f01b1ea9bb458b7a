#include "fixture.h"

#include "events/hanging.h"

#include <fstream>
#include <sstream>

#include "events/wagon.h"
#include "tracking/diagnostics.h"

namespace sagebrook::testing {

void ResetPluginState() {
  Settings = SettingsRecord{};
  MenuState = MenuStateRecord{};
  Notification = NotificationRecord{};
  KeyBindings = KeyBindingsRecord{};
  AmbientSchedule = AmbientScheduleRecord{};
  for (auto* list :
       {&SpawnedPeds, &SpawnedVehicles, &HunterDogs, &RigObjects, &RigRopes, &PendingStrangers}) {
    list->clear();
  }
  EventBlips.clear();
  RelationshipGroups = RelationshipGroupsRecord{};
  ExecutionState = ExecutionStateRecord{};
  FreedVictimMood = FreedVictimMoodRecord{};
  executionQuietUntil = 0;
  DiagWindow = DiagWindowRecord{};
  WagonWatch = WagonWatchRecord{};
  for (auto& flag : KeyPressedFlags) flag.store(0);
  BuildMenu();
  srand(1);
}

void PluginTest::SetUp() {
  sim::Reset();
  ResetPluginState();
  for (int i = 0; i < 5; ++i) savedStarts_[i] = EventStarts[i];
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
  for (int i = 0; i < 5; ++i) EventStarts[i] = savedStarts_[i];
  std::filesystem::current_path(previousFolder_);
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void PluginTest::RunFrame() {
  FrameUpdate();
  hook::scriptWait(0);
}

void PluginTest::RunFrames(int n) {
  for (int i = 0; i < n; ++i) RunFrame();
}

void PluginTest::RunFor(uint32_t ms) {
  uint32_t start = world().tick;
  while (world().tick - start < ms) RunFrame();
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
