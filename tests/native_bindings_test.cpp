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
  SetEntityVisible(13, false);
  CreateLiteralTextString("text");
  const auto& t = sim::GetWorld().trace;
  ASSERT_EQ(t.size(), 5u);
  auto slots = [&t](size_t i) {
    return std::vector<uint64_t>(t[i].args.begin(), t[i].args.begin() + t[i].count);
  };
  EXPECT_EQ(slots(0), (std::vector<uint64_t>{7, 0x41600000}));
  EXPECT_EQ(slots(1), (std::vector<uint64_t>{9, 7, 0x00000000FFFFFFFF}));
  EXPECT_EQ(slots(2), (std::vector<uint64_t>{11, 12, 0, 16}));
  EXPECT_EQ(slots(3), (std::vector<uint64_t>{13, 0}));
  EXPECT_STREQ(t[4].String(1), "LITERAL_STRING");

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
