// The operating-system facts, as the simulated machine gives them.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "sim.h"

namespace sagebrook::platform {

uint32_t TickCount() {
  return sim::GetWorld().tick;
}

LocalTime LocalTimeNow() {
  const sim::World& w = sim::GetWorld();
  return {w.hour, w.minute, w.second, w.millisecond};
}

size_t ExecutablePath(PathChar* buffer, size_t capacity) {
  const std::string& path = sim::GetWorld().executablePath;
  if (path.empty() || path.size() >= capacity) return 0;
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return path.size();
}

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  size_t e = s.find_last_not_of(" \t\r");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

bool SameText(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// Like the Windows reader: leading blanks, an optional sign, then decimal
// digits as far as they go; no digits reads as 0.
uint32_t ProfileNumber(const std::string& value) {
  size_t i = 0;
  bool negative = false;
  if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
  uint32_t n = 0;
  for (; i < value.size() && std::isdigit(static_cast<unsigned char>(value[i])); ++i) {
    n = n * 10u + static_cast<uint32_t>(value[i] - '0');
  }
  return negative ? 0u - n : n;
}

}  // namespace

uint32_t ProfileInt(const PathChar* iniPath, const char* section, const char* key,
                    int32_t defaultValue) {
  std::ifstream file(iniPath);
  std::string line;
  bool inSection = false;
  while (file && std::getline(file, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      inSection = close != std::string::npos && SameText(Trim(line.substr(1, close - 1)), section);
      continue;
    }
    size_t eq = line.find('=');
    if (inSection && eq != std::string::npos && SameText(Trim(line.substr(0, eq)), key)) {
      return ProfileNumber(Trim(line.substr(eq + 1)));
    }
  }
  return static_cast<uint32_t>(defaultValue);
}

uint16_t GamepadButtons() {
  return sim::GetWorld().gamepadButtons;
}

}  // namespace sagebrook::platform
