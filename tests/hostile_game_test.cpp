// Arbitrary keys, gamepad words, bindings and native answers: the sanitizers
// watch memory, no frame stalls, and the menu keeps within its rows and options.
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>

#include "events/predator.h"
#include "fixture.h"

namespace sagebrook::testing {
namespace {

// Slots the game writes through (native, slot, bytes), handle copies included.
constexpr const char* kOutSlots =
    "AddRelationshipGroup 1 4 GetClosestRoadNode 3 24 GetClosestRoadNodeWithHeading 3 24 "
    "GetClosestRoadNodeWithHeading 4 4 GetDraftAnimalCounts 1 4 GetDraftAnimalCounts 2 4 "
    "GetGroundZ 3 4 GetRaycastResult 1 4 GetRaycastResult 2 24 GetRaycastResult 3 24 "
    "GetRaycastResult 4 4 QueryScreenSize 0 4 QueryScreenSize 1 4 DeleteObject 0 4 DeletePed 0 4 "
    "DeleteRope 0 4 DeleteVehicle 0 4 ReleasePed 0 4 ReleaseVehicle 0 4 RemoveBlip 0 4";

class HostileGame : public PluginTest {
 protected:
  uint32_t R() { return static_cast<uint32_t>(random_()); }
  // Mostly the edges, a float's bits, a handle seen before, a small number or any.
  uint32_t Word() {
    using Limits = std::numeric_limits<float>;
    constexpr float kInf = Limits::infinity(), kNaN = Limits::quiet_NaN();
    const float floats[] = {kNaN, kInf, -kInf, 3.0e38f, -3.0e38f, -1.0f, 1.0e-40f, 250.0f, 0.5f};
    const uint32_t edge = R() % 2 ? 0x80000000u : 0x7FFFFFFFu;
    const uint32_t real = std::bit_cast<uint32_t>(floats[R() % std::size(floats)]);
    const uint32_t words[] = {
        0u, 1u, 0xFFFFFFFFu, edge, real, recent_[R() % 16], R() % 600u - 100u, R(), R(), R()};
    return words[R() % std::size(words)];
  }
  // Seeds 1..last, or only the one the variable names; printed for a crash.
  template <class Play>
  void EachSeed(const char* variable, uint32_t last, Play play) {
    const char* only = std::getenv(variable);
    const uint32_t first = only ? static_cast<uint32_t>(std::strtoul(only, nullptr, 10)) : 1;
    for (uint32_t seed = first; seed <= (only ? first : last) && !HasFatalFailure(); ++seed) {
      std::fprintf(stderr, "%s=%u\n", variable, seed);
      SCOPED_TRACE(std::string(variable) + "=" + std::to_string(seed));
      random_.seed(seed);
      play(seed);
    }
  }

  // Frames of arbitrary input; a hostile game also jumps its tick and clock.
  void Play(int frames, bool hostile) {
    const int32_t player = world().playerPed;
    const auto flag = [this] { return static_cast<int32_t>(R() % 2 ? R() % 3 - 1 : R()); };
    for (int frame = 0; frame < frames; ++frame) {
      // A bound key, a small code or any word, with any flags.
      for (uint32_t calls = R() % 4; calls > 0; --calls) {
        const uint32_t choice = R() % 4;
        const uint32_t key = choice == 0 ? R() : choice == 1 ? R() % 256 : *bound_[R() % 7];
        sim::SendKeyMessage(key, static_cast<uint16_t>(R()), static_cast<uint8_t>(R()), flag(),
                            flag(), flag(), flag());
      }
      world().gamepadButtons = static_cast<uint16_t>(R() % 2 ? 0 : R());
      if (hostile && R() % 50 == 0) world().tick += Word();
      if (hostile) world().hour = static_cast<uint16_t>(R());
      // Now and then the frame stops at its gate and keys stay pending.
      if (!hostile) world().playerPed = R() % 20 != 0 ? player : 0;
      waits_ = 0;
      RunFrame();
      if (waits_ > 5000) ADD_FAILURE() << waits_ << " yields in one frame";
      ASSERT_TRUE(MenuState.selectedIndex >= 0 && MenuState.selectedIndex < 12);
      for (const MenuItem& item : MenuItems) {
        if (item.value == nullptr) continue;
        ASSERT_TRUE(*item.value >= 0 && *item.value < static_cast<int32_t>(item.options.size()))
            << item.label << " " << *item.value;
      }
      for (const auto& pressed : KeyPressedFlags) ASSERT_LE(pressed.load(), 1);
    }
  }
  KeyBindingsRecord& k_ = KeyBindings;
  uint32_t* const bound_[7] = {&k_.menuKey,  &k_.upKey,     &k_.downKey, &k_.leftKey,
                               &k_.rightKey, &k_.selectKey, &k_.backKey};

  std::mt19937 random_;
  uint32_t recent_[16] = {};
  uint64_t natives_ = 0;
  int waits_ = 0;
};
using PlayerInputFuzz = HostileGame;

TEST_F(HostileGame, ArbitraryAnswersNeverBreakMemoryOrStallAFrame) {
  EachSeed("SAGEBROOK_HOSTILE_SEED", 12, [&](uint32_t) {
    sim::Reset();
    ResetPluginState();
    PluginEntry(reinterpret_cast<void*>(0x7FF600000000), 1, nullptr);
    for (uint32_t& r : recent_) r = R() % 400;
    natives_ = 0;
    for (const sim::CatalogueEntry& native : sim::Catalogue()) {
      std::vector<std::pair<size_t, size_t>> outs;  // slot, bytes
      std::istringstream in(kOutSlots);
      size_t at, size;
      for (std::string name; in >> name >> at >> size;)
        if (name == native.name) outs.push_back({at, size});
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
    // The ped list may claim more than it can hold, or less than nothing.
    world().allPeds = [this](int32_t* handles, int32_t capacity) {
      const int32_t c = capacity, some = static_cast<int32_t>(R() % 1000);
      const int32_t counts[] = {INT32_MIN, -1, 0, 1, c, some % c, c + 1 + some, INT32_MAX};
      const int32_t n = counts[R() % std::size(counts)];
      for (int32_t i = 0; i < std::min(n, capacity); ++i) handles[i] = static_cast<int32_t>(Word());
      return n;
    };
    sim::SetAfterWait([this] {
      if (world().nativeCalls - natives_ > 20000) ADD_FAILURE() << "20000 natives, no yield";
      natives_ = world().nativeCalls;
      ++waits_;
    });
    Settings.logging = 1;
    Settings.frequency = 2;
    Play(1500, true);
  });
}

TEST_F(PlayerInputFuzz, TheMenuStaysWithinItsRowsAndOptions) {
  for (const PredatorKind& k : PredatorKinds) sim::AddModel(k.model, 1, false);
  Ground(1.0f);
  EachSeed("SAGEBROOK_INPUT_SEED", 40, [&](uint32_t seed) {
    // Even seeds play with bindings that may clash or lie out of range.
    KeyBindings = KeyBindingsRecord{};
    for (uint32_t* key : bound_) {
      if (seed % 2 == 0 && R() % 3 == 0) *key = R() % 2 ? R() % 300 : R();
    }
    Play(400, false);
  });
}

}  // namespace
}  // namespace sagebrook::testing
