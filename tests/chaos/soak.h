#pragma once
// The chaos soak: the plugin in a long seeded session of a game that
// misbehaves between and inside frames, with a player who uses the menu at
// random, checked every frame and accounted for at the end.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace sagebrook::chaos {

// One event state that must go idle in time: busy() names what it is busy
// with (0 when idle); the same nonzero value for longer than limitMs fails.
struct EventBound {
  const char* name;
  std::function<int64_t()> busy;
  uint32_t limitMs;
};

// The bounds of the events that keep state across frames.
std::vector<EventBound> EventBounds();

struct SoakOptions {
  uint32_t seed = 1;
  uint32_t minutes = 10;  // of game time
  std::vector<EventBound> bounds = EventBounds();
};

struct SoakReport {
  uint32_t seed = 0;
  uint64_t frames = 0;
  uint64_t natives = 0;
  uint64_t events = 0;                      // started by the dispatcher
  std::map<std::string, uint64_t> faults;   // injected, by kind
  std::map<std::string, uint64_t> created;  // by the plugin, by kind
  std::map<std::string, uint64_t> endings;  // how each of those ended
  std::map<std::string, size_t> longest;    // each list's largest size
  std::vector<std::string> failures;
  std::string Figures() const;
};

SoakReport RunSoak(const SoakOptions& options);

// Every line of the log has the timestamp and one of the plugin's messages;
// returns the offending lines.
std::vector<std::string> MalformedLogLines(const std::string& content);

}  // namespace sagebrook::chaos
