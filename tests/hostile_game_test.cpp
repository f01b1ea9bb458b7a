// A hostile game: every native, and the hook's list of peds, answers with
// arbitrary values (NaN and infinite positions, huge and negative numbers,
// impossible hours and screen sizes, handles that repeat). The plugin must
// never read or write out of bounds (the sanitizers watch), never go on
// without yielding, and never crash. Each run is reproducible from its seed.
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>

#include "fixture.h"

namespace sagebrook::testing {
namespace {

// Slots the game writes through, as native:slot:bytes: the out-parameters,
// and the handle copies that the release and delete natives take by pointer.
constexpr const char* kOutSlots =
    "AddRelationshipGroup:1:4 GetClosestRoadNode:3:24 GetClosestRoadNodeWithHeading:3:24 "
    "GetClosestRoadNodeWithHeading:4:4 GetDraftAnimalCounts:1:4 GetDraftAnimalCounts:2:4 "
    "GetGroundZ:3:4 GetRaycastResult:1:4 GetRaycastResult:2:24 GetRaycastResult:3:24 "
    "GetRaycastResult:4:4 QueryScreenSize:0:4 QueryScreenSize:1:4 DeleteObject:0:4 DeletePed:0:4 "
    "DeleteRope:0:4 DeleteVehicle:0:4 ReleasePed:0:4 ReleaseVehicle:0:4 RemoveBlip:0:4";

class HostileGame : public PluginTest {
 protected:
  uint32_t R() { return static_cast<uint32_t>(random_()); }
  uint32_t Word() {
    using Limits = std::numeric_limits<float>;
    constexpr float kInf = Limits::infinity(), kNaN = Limits::quiet_NaN();
    const float floats[] = {kNaN, kInf, -kInf, 3.0e38f, -3.0e38f, -1.0f, 1.0e-40f, 250.0f, 0.5f};
    // Mostly the edges, a handle seen before, a small number or any at all.
    const uint32_t edge = R() % 2 ? 0x80000000u : 0x7FFFFFFFu;
    const uint32_t real = std::bit_cast<uint32_t>(floats[R() % std::size(floats)]);
    const uint32_t words[] = {
        0u, 1u, 0xFFFFFFFFu, edge, real, recent_[R() % 16], R() % 600u - 100u, R(), R(), R()};
    return words[R() % std::size(words)];
  }

  // Every native answers arbitrarily; the ped list may claim more than it can
  // hold, or less than nothing.
  void MakeHostile(uint32_t seed) {
    random_.seed(seed);
    for (uint32_t& r : recent_) r = R() % 400;
    for (const sim::CatalogueEntry& native : sim::Catalogue()) {
      std::vector<std::pair<size_t, size_t>> outs;  // slot, bytes
      std::istringstream in(kOutSlots);
      for (std::string word; in >> word;) {
        const size_t a = word.find(':'), b = word.rfind(':');
        if (word.substr(0, a) != native.name) continue;
        outs.push_back({std::stoul(word.substr(a + 1, b - a - 1)), std::stoul(word.substr(b + 1))});
      }
      sim::SetHandler(native.name, [this, outs](sim::Call& c, uint64_t* r) {
        for (const auto& [slot, bytes] : outs) {
          for (size_t i = 0; i < bytes; i += 4) {
            const uint32_t w = Word();
            std::memcpy(c.Pointer<unsigned char>(slot) + i, &w, 4);
          }
        }
        for (int i = 0; i < 3; ++i) r[i] = uint64_t{R()} << 32 | Word();
        recent_[R() % std::size(recent_)] = static_cast<uint32_t>(r[0]);
      });
    }
    world().allPeds = [this](int32_t* handles, int32_t capacity) {
      const int32_t c = capacity, some = static_cast<int32_t>(R() % 1000);
      const int32_t counts[] = {INT32_MIN, -1, 0, 1, c, some % c, c + 1 + some, INT32_MAX};
      const int32_t n = counts[R() % std::size(counts)];
      for (int32_t i = 0; i < std::min(n, capacity); ++i) handles[i] = static_cast<int32_t>(Word());
      return n;
    };
    sim::SetCallObserver([this](const sim::Call&) { ++natives_; });
    sim::SetAfterWait([this] {
      if (natives_ > 20000) ADD_FAILURE() << natives_ << " natives without a yield";
      natives_ = 0;
      ++waits_;
    });
    Settings.logging = 1;
    Settings.frequency = 2;
  }

  // Frames with random keys, gamepad words, tick jumps and wall-clock times.
  void Play(int frames) {
    const uint32_t keys[] = {122, 38, 40, 37, 39, 13, 13, 13, 8};
    for (int f = 0; f < frames; ++f) {
      if (R() % 3 == 0) sim::ReleaseKey(keys[R() % std::size(keys)]);
      world().gamepadButtons = static_cast<uint16_t>(R() % 4 == 0 ? R() : 0);
      if (R() % 50 == 0) world().tick += Word();
      world().hour = static_cast<uint16_t>(R());
      waits_ = 0;
      FrameUpdate();
      if (waits_ > 5000) ADD_FAILURE() << waits_ << " yields in one frame";
      hook::scriptWait(0);
    }
  }

  std::mt19937 random_;
  uint32_t recent_[16] = {};
  uint64_t natives_ = 0;
  int waits_ = 0;
};

// SAGEBROOK_HOSTILE_SEED=n replays one seed.
TEST_F(HostileGame, ArbitraryAnswersNeverBreakMemoryOrStallAFrame) {
  const char* only = std::getenv("SAGEBROOK_HOSTILE_SEED");
  const uint32_t first = only ? static_cast<uint32_t>(std::strtoul(only, nullptr, 10)) : 1;
  for (uint32_t seed = first; seed <= (only ? first : 12); ++seed) {
    std::fprintf(stderr, seed == first ? "hostile game, seed %u" : " %u",
                 seed);  // shown on a crash
    SCOPED_TRACE("SAGEBROOK_HOSTILE_SEED=" + std::to_string(seed));
    sim::Reset();
    ResetPluginState();
    PluginEntry(reinterpret_cast<void*>(0x7FF600000000), 1, nullptr);
    MakeHostile(seed);
    Play(1500);
  }
  std::fprintf(stderr, "\n");
}

}  // namespace
}  // namespace sagebrook::testing
