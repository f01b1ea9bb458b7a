#pragma once
// Watches a session of the plugin in the simulated frontier: which event
// spawned what, what became of it, what the plugin said and logged. Prints
// the timeline as it happens and the summary at the end.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "options.h"
#include "scenario.h"

namespace simcli {

inline constexpr int32_t kKinds = 5;
extern const char* const KindNames[kKinds];

enum class Fate { Tracked, Released, Converted, Deleted, Vanished };

struct SpawnedThing {
  int32_t handle = 0;
  std::string what;  // "ped", "animal", "vehicle", "object", "rope"
  std::string model;
  int32_t event = -1;  // index into Events, -1 when made outside any
  sim::Vec3 at;
  sim::Vec3 last;
  bool blip = false;
  bool enemyBlip = false;
  Fate fate = Fate::Tracked;
  uint32_t fateAtMs = 0;
};

struct EventRecord {
  int32_t kind = 0;  // 1..5
  uint32_t atMs = 0;
  int32_t gameMinutes = 0;
  bool built = true;
  sim::Vec3 player;
  std::vector<size_t> spawned;  // indices into Things
  std::string refusal;          // empty when the event went ahead
  std::string notice;           // what it showed on screen
};

struct SessionRecord {
  std::vector<EventRecord> events;
  std::vector<SpawnedThing> things;
  std::vector<std::pair<uint32_t, sim::Vec3>> playerPath;  // once a second
  std::vector<std::pair<std::string, int>> refusals;       // by reason, in order of first sight
  size_t mostTrackedPeds = 0;
  size_t mostTrackedVehicles = 0;
  size_t mostTracked = 0;
  uint64_t frames = 0;
  int notifications = 0;
  int logLines = 0;
};
extern SessionRecord Session;

// Replaces the plugin's event starts with ones that attribute what each
// start spawns to its kind, and begins watching.
void BeginSession(const Options& options, std::FILE* out);
// Gives the plugin its own event starts back.
void EndSession();
// Called after every simulated frame; elapsed is play time.
void ObserveFrame(uint32_t elapsedMs);
// True while an event's start function runs (its waits yield frames).
bool InsideEvent();
// A line of the timeline: the time columns, a tag and the text.
void TimelineLine(uint32_t elapsedMs, const char* tag, const std::string& text);
void PrintSummary(const Options& options);

std::string ClockText(int32_t gameMinutes);

}  // namespace simcli
