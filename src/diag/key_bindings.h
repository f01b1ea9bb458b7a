#pragma once
#include <cstdint>

namespace sagebrook {

struct KeyBindingsRecord {
  uint32_t menuKey = 122;  // F11
  uint32_t upKey = 38;
  uint32_t downKey = 40;
  uint32_t leftKey = 37;
  uint32_t rightKey = 39;
  uint32_t selectKey = 13;
  uint32_t backKey = 8;
};
extern KeyBindingsRecord KeyBindings;

inline constexpr const char* kIniFileName = "Sagebrook.ini";

// Reads the seven menu keys from Sagebrook.ini beside the game's executable.
void ReadKeyBindings();

}  // namespace sagebrook
