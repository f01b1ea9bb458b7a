#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <set>

#include "host/natives.h"
#include "sim.h"

namespace {

using namespace sagebrook;

// Storage for out-parameters: large enough for any of them.
alignas(8) uint64_t OutBuffer[8];

template <class T>
T Arg() {
  if constexpr (std::is_same_v<T, const char*>) {
    return "name";
  } else if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<T>(OutBuffer);
  } else {
    return T{};
  }
}

template <class R, class... A>
void CallWithPlaceholders(R (*binding)(A...)) {
  binding(Arg<A>()...);
}

struct Binding {
  const char* name;
  std::function<void()> call;
};

#define BINDING(name)                                     \
  Binding {                                               \
#name, [] { CallWithPlaceholders(&sagebrook::name); } \
  }

const Binding AllBindings[] = {
    BINDING(AddBlipForEntity),
    BINDING(AddRelationshipGroup),
    BINDING(AddRope),
    BINDING(ApplyRopeStyle),
    BINDING(AttachEntitiesToRope),
    BINDING(AttachEntityToEntity),
    BINDING(ClaimEntityForScript),
    BINDING(ClearPedTasks),
    BINDING(ConfigureDraftAnimal),
    BINDING(ConfigureNewVehicleA),
    BINDING(ConfigureNewVehicleB),
    BINDING(CreateLiteralTextString),
    BINDING(CreateObject),
    BINDING(CreatePed),
    BINDING(CreateVehicle),
    BINDING(DeleteObject),
    BINDING(DeletePed),
    BINDING(DeleteRope),
    BINDING(DeleteVehicle),
    BINDING(DetachRopeFromEntity),
    BINDING(DisableControlThisFrame),
    BINDING(DoesBlipExist),
    BINDING(DoesRopeExist),
    BINDING(DrawFilledRect),
    BINDING(DrawPreparedText),
    BINDING(EnablePedGreeting),
    BINDING(EnablePedInteraction),
    BINDING(EntityExists),
    BINDING(FreezeEntityPosition),
    BINDING(GetClockHour),
    BINDING(GetClosestRoadNode),
    BINDING(GetClosestRoadNodeWithHeading),
    BINDING(GetDistanceBetweenCoords),
    BINDING(GetDraftAnimal),
    BINDING(GetDraftAnimalCounts),
    BINDING(GetEntityCoords),
    BINDING(GetEntityHealth),
    BINDING(GetEntityHeightAboveGround),
    BINDING(GetEntitySpeed),
    BINDING(GetGroundZ),
    BINDING(GetPedBoneIndex),
    BINDING(GetPedRelationshipGroup),
    BINDING(GetPlayerIndex),
    BINDING(GetPlayerPed),
    BINDING(GetRaycastResult),
    BINDING(GiveWeaponToPed),
    BINDING(HangingPlayerCallA),
    BINDING(HangingPlayerCallB),
    BINDING(HangingPlayerCallC),
    BINDING(HashName),
    BINDING(HasModelLoaded),
    BINDING(IsEntityDead),
    BINDING(IsModelInImage),
    BINDING(IsModelValid),
    BINDING(IsPedFleeing),
    BINDING(IsPedHuman),
    BINDING(IsPedInCombatWith),
    BINDING(IsPedInVehicle),
    BINDING(IsPlayerInControl),
    BINDING(IsRopeBroken),
    BINDING(PrepareHangingVictimA),
    BINDING(PrepareHangingVictimB),
    BINDING(PrepareHangingVictimC),
    BINDING(PrepareRopeA),
    BINDING(PrepareRopeB),
    BINDING(QueryScreenSize),
    BINDING(ReleaseModel),
    BINDING(ReleasePed),
    BINDING(ReleaseVehicle),
    BINDING(RemoveBlip),
    BINDING(RequestModel),
    BINDING(SetBlipScale),
    BINDING(SetCurrentPedWeapon),
    BINDING(SetDogFlag),
    BINDING(SetEntityCoords),
    BINDING(SetEntityHealth),
    BINDING(SetEntityVisible),
    BINDING(SetNextTextCentred),
    BINDING(SetNextTextColour),
    BINDING(SetNextTextScale),
    BINDING(SetNextTextShadow),
    BINDING(SetPedAccuracy),
    BINDING(SetPedCombatAbility),
    BINDING(SetPedCombatAttribute),
    BINDING(SetPedCombatStyle),
    BINDING(SetPedDrunkFlag),
    BINDING(SetPedDrunkState),
    BINDING(SetPedFleeAttributes),
    BINDING(SetPedGreetSpeech),
    BINDING(SetPedHearingRange),
    BINDING(SetPedIgnoresEvents),
    BINDING(SetPedInsultSpeech),
    BINDING(SetPedIntoVehicle),
    BINDING(SetPedKeepTask),
    BINDING(SetPedMood),
    BINDING(SetPedPersonality),
    BINDING(SetPedPromptName),
    BINDING(SetPedRandomComponents),
    BINDING(SetPedRandomOutfit),
    BINDING(SetPedRelationshipGroup),
    BINDING(SetPedSeeingRange),
    BINDING(SetPedToRagdoll),
    BINDING(SetRelationshipBetweenGroups),
    BINDING(SetVehicleForwardSpeed),
    BINDING(StartRaycast),
    BINDING(TaskCaptiveWait),
    BINDING(TaskCombatPed),
    BINDING(TaskDriveToCoord),
    BINDING(TaskStandStill),
    BINDING(TaskTurnToFaceEntity),
    BINDING(TaskWanderNearby),
    BINDING(UpdatePedVariation),
};

class NativeBindings : public testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    // Only the calling protocol is under test here, not the game's answers.
    for (const sim::CatalogueEntry& e : sim::Catalogue()) sim::SetHandler(e.name, nullptr);
  }
};

// The simulator checks each call's slot count against its own table and
// fails the test on a mismatch or an unknown hash.
TEST_F(NativeBindings, EveryBindingMakesOneCallToItsOwnNativeWithItsSlots) {
  std::set<uint64_t> called;
  for (const Binding& b : AllBindings) {
    sim::ClearTrace();
    b.call();
    ASSERT_EQ(sim::GetWorld().trace.size(), 1u) << b.name;
    const sim::Call& call = sim::GetWorld().trace[0];
    EXPECT_EQ(call.Name(), b.name);
    EXPECT_EQ(call.count, call.native->slots) << b.name;
    called.insert(call.native->hash);
  }
  std::set<uint64_t> catalogued;
  for (const sim::CatalogueEntry& e : sim::Catalogue()) catalogued.insert(e.hash);
  EXPECT_EQ(called, catalogued);
  EXPECT_EQ(called.size(), 112u);
}

TEST_F(NativeBindings, SlotsCarryValuesZeroExtendedAndFloatsAsBitPatterns) {
  SetPedSeeingRange(7, 14.0f);
  SetPedIntoVehicle(9, 7, -1);
  SetRelationshipBetweenGroups(5, 0xFFFFFFF0u, 3);
  TaskCombatPed(11, 12);
  const auto& t = sim::GetWorld().trace;
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0].args[0], 7u);
  EXPECT_EQ(t[0].args[1], 0x41600000u);
  EXPECT_EQ(t[1].args[2], 0x00000000FFFFFFFFull);
  EXPECT_EQ(t[2].args[1], 0x00000000FFFFFFF0ull);
  // Fixed slots are pushed by the binding itself.
  EXPECT_EQ(t[3].args[2], 0u);
  EXPECT_EQ(t[3].args[3], 16u);
}

TEST_F(NativeBindings, ResultsAreReadFromTheSlotLayout) {
  sim::SetHandler("GetEntityCoords", [](sim::Call&, uint64_t* r) {
    // Garbage in the upper halves must not leak into the floats.
    r[0] = 0xDEADBEEF00000000ull | std::bit_cast<uint32_t>(1.5f);
    r[1] = 0xDEADBEEF00000000ull | std::bit_cast<uint32_t>(-2.25f);
    r[2] = 0xDEADBEEF00000000ull | std::bit_cast<uint32_t>(300.0f);
  });
  sim::SetHandler("GetEntityHealth", [](sim::Call&, uint64_t* r) { r[0] = 0xFFFFFFFFull; });
  sim::SetHandler("IsEntityDead", [](sim::Call&, uint64_t* r) { r[0] = 0x100000000ull; });
  sim::SetHandler("GetEntitySpeed",
                  [](sim::Call&, uint64_t* r) { r[0] = std::bit_cast<uint32_t>(3.75f); });

  ScriptVector v = GetEntityCoords(1);
  EXPECT_EQ(v.x, 1.5f);
  EXPECT_EQ(v.y, -2.25f);
  EXPECT_EQ(v.z, 300.0f);
  EXPECT_EQ(GetEntityHealth(1), -1);
  EXPECT_FALSE(IsEntityDead(1)) << "only the first 4 bytes carry a bool";
  EXPECT_EQ(GetEntitySpeed(1), 3.75f);
}

TEST_F(NativeBindings, OutParametersAreTheCallersStorage) {
  sim::SetHandler("GetGroundZ", [](sim::Call& c, uint64_t* r) {
    EXPECT_EQ(*c.Pointer<float>(3), 5.0f) << "pre-set by the caller";
    *c.Pointer<float>(3) = 42.0f;
    r[0] = 1;
  });
  float ground = 5.0f;
  EXPECT_TRUE(GetGroundZ(1.0f, 2.0f, 11.0f, &ground));
  EXPECT_EQ(ground, 42.0f);
}

}  // namespace
