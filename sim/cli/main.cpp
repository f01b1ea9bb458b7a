// sagebrook-sim: plays the real plugin core in the simulated frontier and
// tells what happened.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "chaos.h"
#include "host/plugin.h"
#include "menu_player.h"
#include "options.h"
#include "pictures.h"
#include "scenario.h"
#include "session.h"
#include "sim.h"
#include "ui/settings.h"

namespace {

constexpr uint32_t kFramesPerSecond = 60;
constexpr uint32_t kPadHoldMs = 100;
// Long enough to be worth a progress bar on a terminal.
constexpr uint32_t kProgressFromMs = 20 * 60000;

void ApplySettings(const simcli::Options& o) {
  sagebrook::SettingsRecord& s = sagebrook::Settings;
  s.ambientEvents = o.ambientEvents;
  s.frequency = o.frequency;
  s.spawnDistance = o.spawnDistance;
  s.eventBlips = o.eventBlips;
  s.predatorAttack = o.kinds[0];
  s.runawayWagon = o.kinds[1];
  s.publicHanging = o.kinds[2];
  s.drunkenFolk = o.kinds[3];
  s.bountyHunters = o.kinds[4];
  s.logging = o.logging;
}

struct Run {
  const simcli::Options* options = nullptr;
  const simcli::Options* asGiven = nullptr;
  size_t nextKey = 0;
  size_t nextPad = 0;
  uint32_t padReleaseAt = 0;
  bool padHeld = false;
  std::vector<bool> shotTaken;
  bool showProgress = false;
  uint32_t lastPercent = 0;
  int failures = 0;
  int faults = 0;
};
Run TheRun;

// A rule of the game the plugin broke (a handle that no longer exists, ...):
// a line of the timeline, and the run fails.
void GameFailure(const std::string& message) {
  simcli::TimelineLine(sim::GetWorld().tick - simcli::TheFrontier.startTick, "FAILED", message);
  ++TheRun.failures;
}

// Runs after every simulated frame, also inside an event's waits.
void AfterFrame() {
  Run& run = TheRun;
  const simcli::Options& o = *run.options;
  sim::World& w = sim::GetWorld();
  const uint32_t elapsed = w.tick - simcli::TheFrontier.startTick;
  if (const char* action = simcli::StepFrontier(elapsed)) {
    simcli::TimelineLine(elapsed, "player", action);
  }
  for (const sim::ChaosFault& f : sim::ChaosAfterFrame(simcli::InsideEvent())) {
    simcli::TimelineLine(elapsed, "fault", f.detail.empty() ? f.kind : f.kind + ": " + f.detail);
    ++run.faults;
  }
  if (o.chaos && !simcli::InsideEvent()) {
    for (const auto& [tag, what] : simcli::MenuPlayerStep(elapsed)) {
      simcli::TimelineLine(elapsed, tag, what);
      run.faults += std::string(tag) == "fault";
    }
  }
  simcli::ObserveFrame(elapsed);

  for (; run.nextKey < o.keys.size() && o.keys[run.nextKey].atMs <= elapsed; ++run.nextKey) {
    simcli::TimelineLine(elapsed, "key", o.keys[run.nextKey].name);
    sim::ReleaseKey(o.keys[run.nextKey].virtualKey);
  }
  if (run.padHeld && elapsed >= run.padReleaseAt) {
    w.gamepadButtons = 0;
    run.padHeld = false;
  }
  if (!run.padHeld && run.nextPad < o.pad.size() && o.pad[run.nextPad].atMs <= elapsed) {
    simcli::TimelineLine(elapsed, "pad", o.pad[run.nextPad].name);
    w.gamepadButtons = o.pad[run.nextPad].buttons;
    run.padHeld = true;
    run.padReleaseAt = elapsed + kPadHoldMs;
    ++run.nextPad;
  }
  for (size_t i = 0; i < o.screenshots.size(); ++i) {
    if (run.shotTaken[i] || o.screenshots[i].atMs > elapsed) continue;
    run.shotTaken[i] = true;
    std::string error;
    if (simcli::WritePicture(simcli::ScreenshotSvg(w.lastFrame), o.screenshots[i].file, error)) {
      simcli::TimelineLine(elapsed, "picture", "screenshot " + run.asGiven->screenshots[i].file);
    } else {
      std::fprintf(stderr, "sagebrook-sim: %s\n", error.c_str());
      ++run.failures;
    }
  }
  if (run.showProgress) {
    // Hitches may carry play past its length.
    const uint32_t percent =
        static_cast<uint32_t>(std::min<uint64_t>(uint64_t{elapsed} * 100 / o.playMs, 100));
    if (percent != run.lastPercent) {
      run.lastPercent = percent;
      const uint32_t done = std::min(percent * 40 / 100, 40u);
      std::fprintf(stderr, "\r[%s%s] %3u%%", std::string(done, '#').c_str(),
                   std::string(40 - done, ' ').c_str(), percent);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  simcli::Options options;
  std::string error;
  if (!simcli::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "sagebrook-sim: %s (see --help)\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(simcli::HelpText(), stdout);
    return 0;
  }
  // Pictures are named relative to where the command was started.
  const std::filesystem::path started = std::filesystem::current_path();
  const simcli::Options asGiven = options;
  for (simcli::Picture& p : options.screenshots) p.file = std::filesystem::absolute(p.file);
  if (!options.mapFile.empty()) options.mapFile = std::filesystem::absolute(options.mapFile);

  // The plugin writes Sagebrook.log into its working folder: a fresh one.
  std::string pattern = (std::filesystem::temp_directory_path() / "sagebrook-sim-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::fprintf(stderr, "sagebrook-sim: cannot make a working folder\n");
    return 1;
  }
  const std::filesystem::path folder = pattern;
  std::filesystem::current_path(folder);

  sim::Reset();
  sim::World& world = sim::GetWorld();
  world.tracing = false;
  world.frameRate = kFramesPerSecond;
  // The plugin seeds its generator from the tick count at start.
  world.tick = options.seed;
  world.executablePath = (folder / "game.exe").string();
  if (options.chaos) {
    sim::BeginChaos(options.seed, options.playMs / 2, simcli::ModelName);
    simcli::BeginMenuPlayer(options.seed, options.playMs / 4);
  }
  simcli::BuildFrontier(options.startHour);

  sagebrook::PluginEntry(reinterpret_cast<void*>(0x180000000), 1, nullptr);
  ApplySettings(options);
  simcli::BeginSession(options, stdout);
  sim::SetFailureHandler(GameFailure);
  TheRun.options = &options;
  TheRun.asGiven = &asGiven;
  TheRun.shotTaken.assign(options.screenshots.size(), false);
  TheRun.showProgress = isatty(STDERR_FILENO) && options.playMs >= kProgressFromMs;

  std::printf(
      "Sagebrook in the simulated frontier: seed %u, %u:%02u of play from %02d:00 game time%s\n"
      "time       game   what\n",
      options.seed, options.playMs / 60000, options.playMs / 1000 % 60, options.startHour,
      options.chaos ? ", the game misbehaving" : "");
  sim::SetAfterWait(AfterFrame);
  const uint64_t frames = uint64_t{options.playMs} * kFramesPerSecond / 1000;
  sim::RunScriptMain(static_cast<int>(frames));
  if (TheRun.showProgress) std::fprintf(stderr, "\r%48s\r", "");

  simcli::PrintSummary(options);
  if (options.chaos) std::printf("Faults injected: %d\n", TheRun.faults);
  simcli::EndSession();
  if (!options.mapFile.empty()) {
    if (simcli::WritePicture(simcli::MapSvg(options), options.mapFile, error)) {
      std::printf("Map: %s\n", asGiven.mapFile.c_str());
    } else {
      std::fprintf(stderr, "sagebrook-sim: %s\n", error.c_str());
      ++TheRun.failures;
    }
  }
  sagebrook::PluginEntry(reinterpret_cast<void*>(0x180000000), 0, nullptr);
  std::filesystem::current_path(started);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return TheRun.failures == 0 ? 0 : 1;
}
