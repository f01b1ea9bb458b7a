#pragma once
// Watches every native the plugin calls and reports a handle the game never
// issued, or one it has removed, in a slot that names an entity, blip or rope.
// It also attributes what the creating natives made to the plugin.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim.h"

namespace sagebrook::chaos {

enum class Made { Ped, Vehicle, Object, Blip, Rope };
const char* MadeName(Made kind);

struct Creation {
  Made kind;
  uint64_t frame;
  size_t spawnedPedsThen;  // SpawnedPeds' size when the game handed it over
};

class HandleCheck {
 public:
  // Installs itself as the simulated game's call observer.
  void Install();
  // Attributes what the last native created; call before the test itself adds
  // to the world, and again after (so its additions stay the game's).
  void Sync();
  void GameAdded();

  const std::map<int32_t, Creation>& created() const { return created_; }
  const std::vector<std::string>& violations() const { return violations_; }
  uint64_t calls() const { return calls_; }

 private:
  void Observe(const sim::Call& call);
  void Check(const sim::Call& call, size_t slot, char kind);

  std::map<int32_t, Creation> created_;
  std::vector<std::string> violations_;
  const sim::CatalogueEntry* lastNative_ = nullptr;
  int32_t seenEntity_ = 0, seenBlip_ = 0, seenRope_ = 0;  // highest handle already attributed
  uint64_t calls_ = 0;
};

}  // namespace sagebrook::chaos
