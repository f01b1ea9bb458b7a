#pragma once
// The command line of sagebrook-sim: what to play and what to show.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace simcli {

struct TimedKey {
  uint32_t atMs = 0;
  uint32_t virtualKey = 0;
  std::string name;
};

struct TimedButtons {
  uint32_t atMs = 0;
  uint16_t buttons = 0;
  std::string name;
};

struct Picture {
  uint32_t atMs = 0;
  std::string file;
};

struct Options {
  uint32_t playMs = 10 * 60000;
  uint32_t seed = 1;
  int32_t startHour = 18;
  // The menu's settings, as the user would have chosen them.
  int32_t frequency = 1;
  int32_t spawnDistance = 3;
  int32_t ambientEvents = 1;
  int32_t eventBlips = 1;
  int32_t logging = 1;
  std::array<int32_t, 5> kinds = {1, 1, 1, 1, 1};  // by event kind - 1
  std::vector<TimedKey> keys;
  std::vector<TimedButtons> pad;
  std::vector<Picture> screenshots;
  std::string mapFile;
  bool chaos = false;  // the game misbehaves
  bool help = false;
};

// Reads the arguments after the program name. On a bad argument returns
// false with one line in error.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

const char* HelpText();

// Parses "5s", "1.5s", "500ms", "2m", "1m30s", "1h" or plain seconds.
bool ParseDuration(const std::string& text, uint32_t& ms);

}  // namespace simcli
