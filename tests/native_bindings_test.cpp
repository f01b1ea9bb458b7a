#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "game/natives.h"
#include "sim.h"

namespace {

using namespace sagebrook;

class NativeBindings : public testing::Test {
 protected:
  // No handler: the calls are only recorded.
  void SetUp() override {
    sim::Reset();
    for (const sim::CatalogueEntry& e : sim::Catalogue()) sim::SetHandler(e.name, nullptr);
  }
};

TEST_F(NativeBindings, SlotsAndResultsCarryValuesAsTheHookLaysThemOut) {
  SetPedSeeingRange(7, 14.0f);
  SetPedIntoVehicle(9, 7, -1);
  TaskCombatPed(11, 12);  // and two fixed slots
  const auto& t = sim::GetWorld().trace;
  std::vector<uint64_t> slots;
  for (const sim::Call& c : t) slots.insert(slots.end(), c.args.begin(), c.args.begin() + c.count);
  EXPECT_EQ(slots, (std::vector<uint64_t>{7, 0x41600000, 9, 7, 0xFFFFFFFF, 11, 12, 0, 16}));

  sim::SetHandler("GetEntityCoords", [](sim::Call&, uint64_t* r) {
    // Garbage in the upper halves must not leak into the floats.
    for (float f : {1.5f, -2.25f, 300.0f})
      *r++ = 0xDEADBEEF00000000ull | std::bit_cast<uint32_t>(f);
  });
  sim::SetHandler("IsEntityDead", [](sim::Call&, uint64_t* r) { r[0] = 0x100000000ull; });
  const ScriptVector v = GetEntityCoords(1);  // x, y and z at byte offsets 0, 8 and 16
  EXPECT_EQ((std::vector<float>{v.x, v.y, v.z}), (std::vector<float>{1.5f, -2.25f, 300.0f}));
  EXPECT_FALSE(IsEntityDead(1)) << "only the first 4 bytes carry a bool";
}

}  // namespace
