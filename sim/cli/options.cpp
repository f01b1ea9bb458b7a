#include "options.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace simcli {

namespace {

constexpr uint32_t kMaxPlayMs = 24u * 3600u * 1000u;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::vector<std::string> Split(const std::string& s, char separator) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (;;) {
    size_t at = s.find(separator, from);
    parts.push_back(s.substr(from, at - from));
    if (at == std::string::npos) return parts;
    from = at + 1;
  }
}

bool ParseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(value) && value >= 0.0 &&
         std::isdigit(static_cast<unsigned char>(text[0]));
}

bool ParseUnsigned(const std::string& text, uint64_t max, uint64_t& value) {
  if (text.empty() || text.size() > 10) return false;
  value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value <= max;
}

bool ParseOnOff(const std::string& text, int32_t& value) {
  const std::string t = Lower(text);
  if (t == "on") {
    value = 1;
  } else if (t == "off") {
    value = 0;
  } else {
    return false;
  }
  return true;
}

// Returns the index of text among names, or -1.
int32_t IndexOf(const std::string& text, std::initializer_list<const char*> names) {
  int32_t i = 0;
  for (const char* name : names) {
    if (Lower(text) == name) return i;
    ++i;
  }
  return -1;
}

// Windows virtual-key codes by the names people write them with.
bool ParseKeyName(const std::string& text, uint32_t& vk) {
  const std::string t = Lower(text);
  static const struct {
    const char* name;
    uint32_t vk;
  } kNamed[] = {{"backspace", 8}, {"back", 8},    {"tab", 9},      {"enter", 13},  {"return", 13},
                {"escape", 27},   {"esc", 27},    {"space", 32},   {"left", 37},   {"up", 38},
                {"right", 39},    {"down", 40},   {"insert", 45},  {"delete", 46}, {"home", 36},
                {"end", 35},      {"pageup", 33}, {"pagedown", 34}};
  for (const auto& k : kNamed) {
    if (t == k.name) {
      vk = k.vk;
      return true;
    }
  }
  uint64_t n = 0;
  if (t.size() >= 2 && t[0] == 'f' && ParseUnsigned(t.substr(1), 24, n) && n >= 1) {
    vk = 111 + static_cast<uint32_t>(n);  // F1 is 112
    return true;
  }
  if (t.size() == 1 && (std::isalnum(static_cast<unsigned char>(t[0])))) {
    vk = static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(t[0])));
    return true;
  }
  if (t.size() > 2 && t.compare(0, 2, "vk") == 0 && ParseUnsigned(t.substr(2), 255, n) && n >= 1) {
    vk = static_cast<uint32_t>(n);
    return true;
  }
  return false;
}

// XInput button bits by name; several joined with '+' are pressed together.
bool ParseButtons(const std::string& text, uint16_t& buttons) {
  static const struct {
    const char* name;
    uint16_t bit;
  } kButtons[] = {{"up", 0x0001},    {"down", 0x0002}, {"left", 0x0004}, {"right", 0x0008},
                  {"start", 0x0010}, {"back", 0x0020}, {"ls", 0x0040},   {"rs", 0x0080},
                  {"lb", 0x0100},    {"rb", 0x0200},   {"a", 0x1000},    {"b", 0x2000},
                  {"x", 0x4000},     {"y", 0x8000}};
  buttons = 0;
  for (const std::string& part : Split(Lower(text), '+')) {
    bool known = false;
    for (const auto& b : kButtons) {
      if (part == b.name) {
        buttons = static_cast<uint16_t>(buttons | b.bit);
        known = true;
      }
    }
    if (!known) return false;
  }
  return buttons != 0;
}

}  // namespace

bool ParseDuration(const std::string& text, uint32_t& ms) {
  double total = 0.0;
  size_t i = 0;
  if (text.empty()) return false;
  while (i < text.size()) {
    size_t start = i;
    while (i < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) {
      ++i;
    }
    double value = 0.0;
    if (!ParseNumber(text.substr(start, i - start), value)) return false;
    size_t unitStart = i;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) ++i;
    const std::string unit = text.substr(unitStart, i - unitStart);
    if (unit == "ms") {
      total += value;
    } else if (unit == "s" || (unit.empty() && start == 0 && i == text.size())) {
      total += value * 1000.0;
    } else if (unit == "m") {
      total += value * 60000.0;
    } else if (unit == "h") {
      total += value * 3600000.0;
    } else {
      return false;
    }
  }
  if (total > kMaxPlayMs) return false;
  ms = static_cast<uint32_t>(std::lround(total));
  return true;
}

bool ParseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    bool hasValue = false;
    if (name.compare(0, 2, "--") == 0 && name.find('=') != std::string::npos) {
      value = name.substr(name.find('=') + 1);
      name = name.substr(0, name.find('='));
      hasValue = true;
    }
    auto takeValue = [&]() {
      if (hasValue) return true;
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
      }
      value = args[++i];
      return true;
    };
    auto bad = [&](const char* expected) {
      error = "bad value '" + value + "' for " + name + ": expected " + expected;
      return false;
    };

    if (name == "-h" || name == "--help") {
      o.help = true;
    } else if (name == "--chaos") {
      o.chaos = true;
    } else if (name == "--minutes") {
      double minutes = 0.0;
      if (!takeValue()) return false;
      // At least one frame's worth.
      if (!ParseNumber(value, minutes) || minutes * 60000.0 < 17.0 ||
          minutes * 60000.0 > kMaxPlayMs) {
        return bad("a number of minutes above 0 and at most 1440");
      }
      o.playMs = static_cast<uint32_t>(std::lround(minutes * 60000.0));
    } else if (name == "--seed") {
      uint64_t seed = 0;
      if (!takeValue()) return false;
      if (!ParseUnsigned(value, 0xFFFFFFFFu, seed)) return bad("a whole number 0 to 4294967295");
      o.seed = static_cast<uint32_t>(seed);
    } else if (name == "--hour") {
      uint64_t hour = 0;
      if (!takeValue()) return false;
      if (!ParseUnsigned(value, 23, hour)) return bad("a game hour 0 to 23");
      o.startHour = static_cast<int32_t>(hour);
    } else if (name == "--frequency") {
      if (!takeValue()) return false;
      o.frequency = IndexOf(value, {"rare", "normal", "often"});
      if (o.frequency < 0) return bad("rare, normal or often");
    } else if (name == "--distance") {
      if (!takeValue()) return false;
      o.spawnDistance = IndexOf(value, {"close", "medium", "far", "random"});
      if (o.spawnDistance < 0) return bad("close, medium, far or random");
    } else if (name == "--events") {
      if (!takeValue()) return false;
      const std::string v = Lower(value);
      o.kinds = {0, 0, 0, 0, 0};
      if (v == "all") {
        o.kinds = {1, 1, 1, 1, 1};
      } else if (v != "none") {
        for (const std::string& kind : Split(v, ',')) {
          int32_t k = IndexOf(kind, {"predator", "wagon", "hanging", "drunks", "hunters"});
          if (k < 0) return bad("all, none, or a list of predator,wagon,hanging,drunks,hunters");
          o.kinds[static_cast<size_t>(k)] = 1;
        }
      }
    } else if (name == "--ambient" || name == "--blips" || name == "--log") {
      if (!takeValue()) return false;
      int32_t& target = name == "--ambient" ? o.ambientEvents
                        : name == "--blips" ? o.eventBlips
                                            : o.logging;
      if (!ParseOnOff(value, target)) return bad("on or off");
    } else if (name == "--key" || name == "--pad") {
      if (!takeValue()) return false;
      for (const std::string& press : Split(value, ',')) {
        const size_t at = press.rfind('@');
        uint32_t ms = 0;
        if (at == std::string::npos || !ParseDuration(press.substr(at + 1), ms)) {
          return bad(name == "--key" ? "KEY@TIME, e.g. F11@5s" : "BUTTONS@TIME, e.g. RB+X@5s");
        }
        const std::string what = press.substr(0, at);
        if (name == "--key") {
          uint32_t vk = 0;
          if (!ParseKeyName(what, vk)) {
            error = "unknown key '" + what + "' in --key (try F11, Up, Down, Enter, Backspace)";
            return false;
          }
          o.keys.push_back({ms, vk, what});
        } else {
          uint16_t buttons = 0;
          if (!ParseButtons(what, buttons)) {
            error = "unknown buttons '" + what + "' in --pad (try RB+X, A, B, Up, Down)";
            return false;
          }
          o.pad.push_back({ms, buttons, what});
        }
      }
    } else if (name == "--screenshot") {
      if (!takeValue()) return false;
      const size_t colon = value.find(':');
      uint32_t ms = 0;
      if (colon == std::string::npos || !ParseDuration(value.substr(0, colon), ms) ||
          colon + 1 == value.size()) {
        return bad("TIME:FILE, e.g. 7s:menu.png");
      }
      const std::string file = value.substr(colon + 1);
      if (!(file.ends_with(".svg") || file.ends_with(".png"))) {
        return bad("a file name ending in .svg or .png");
      }
      o.screenshots.push_back({ms, file});
    } else if (name == "--map") {
      if (!takeValue()) return false;
      if (!(value.ends_with(".svg") || value.ends_with(".png"))) {
        return bad("a file name ending in .svg or .png");
      }
      o.mapFile = value;
    } else {
      error = "unknown argument '" + args[i] + "'";
      return false;
    }
    if (hasValue && (name == "-h" || name == "--help" || name == "--chaos")) {
      error = name + " takes no value";
      return false;
    }
  }
  for (const Picture& p : o.screenshots) {
    if (p.atMs > o.playMs) {
      error = "screenshot time of " + p.file + " lies after the end of play";
      return false;
    }
  }
  return true;
}

const char* HelpText() {
  return R"(Usage: sagebrook-sim [options]

Plays the Sagebrook plugin core in a simulated frontier: a loop road with a
town, groves of trees and open country, townsfolk on the roads, and the player
riding along. The game clock advances one hour per two minutes of play; frames
run at 60 per simulated second, much faster than real time. Prints a timeline
of events, notifications, log lines and what happened to every spawned entity,
then a summary.

Play:
  --minutes N        length of play in simulated minutes (default 10, max 1440)
  --seed N           seed for the plugin's random generator; the same seed gives
                     the same output byte for byte (default 1)
  --hour H           game hour at the start, 0-23 (default 18)
  --chaos            the game misbehaves, seeded by --seed: models missing, slow
                     or never arriving, creations failing, entities, blips and
                     ropes vanishing, the player's ped lost or dead, control
                     lost, clock jumps, frame hitches (which lengthen the play),
                     and the tick count wrapping half-way; each fault is a
                     "fault" line of the timeline. The player works the menu at
                     random: fires events, in crowds too, changes settings, clears
Menu settings:
  --ambient on|off   ambient events (default on)
  --frequency F      rare, normal or often (default normal)
  --distance D       close, medium, far or random (default random)
  --blips on|off     event blips (default on)
  --events LIST      kinds switched on: all, none, or a comma list of
                     predator,wagon,hanging,drunks,hunters (default all)
  --log on|off       the plugin's Sagebrook.log, shown in the timeline (default on)
Input, at simulated times (5s, 1.5s, 500ms, 2m, 1m30s):
  --key KEY@TIME     a key press through the keyboard handler, e.g. F11@5s,
                     Down@6s, Enter@7s; names: F1-F24, Up, Down, Left, Right,
                     Enter, Backspace, Escape, Space, A-Z, 0-9, VK<code>.
                     Repeat the option or separate presses with commas.
  --pad BUTTONS@TIME gamepad buttons held for 100 ms, e.g. RB+X@5s, Down@6s, A@7s;
                     names: A B X Y LB RB LS RS Start Back Up Down Left Right
Pictures:
  --screenshot TIME:FILE  what the plugin draws at that moment, 1920x1080, as
                     SVG, or PNG when FILE ends in .png (needs rsvg-convert)
  --map FILE         top-down picture of the session (SVG, or PNG by name)
  -h, --help         this text

Example: sagebrook-sim --minutes 3 --key F11@5s,Down@6s --screenshot 7s:menu.png
Exit status: 0 done, 1 a picture could not be written or the plugin broke a
rule of the game (a FAILED line), 2 bad arguments.
)";
}

}  // namespace simcli
