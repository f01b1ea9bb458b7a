#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

#include "game/natives.h"
#include "sim.h"

namespace {

using namespace sagebrook;

// Calls each binding once with zero or null arguments, which no handler reads,
// and lists the natives called. The simulated game fails the test on an
// unknown hash or a wrong slot count.
template <class... F>
std::vector<std::string> CallEach(F*... bindings) {
  auto call = []<class R, class... A>(R (*binding)(A...)) { binding(A{}...); };
  (call(bindings), ...);
  return sim::TraceNames();
}

class NativeBindings : public testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    for (const sim::CatalogueEntry& e : sim::Catalogue()) sim::SetHandler(e.name, nullptr);
  }
};

TEST_F(NativeBindings, EveryBindingMakesOneCallToItsOwnNativeWithItsSlots) {
  // In the catalogue's order, which is by name.
  const std::vector<std::string> called = CallEach(
      AddBlipForEntity, AddRelationshipGroup, AddRope, ApplyRopeStyle, AttachEntitiesToRope,
      AttachEntityToEntity, ClaimEntityForScript, ClearPedTasks, ConfigureDraftAnimal,
      ConfigureNewVehicleA, ConfigureNewVehicleB, CreateLiteralTextString, CreateObject, CreatePed,
      CreateVehicle, DeleteObject, DeletePed, DeleteRope, DeleteVehicle, DetachRopeFromEntity,
      DisableControlThisFrame, DoesBlipExist, DoesRopeExist, DrawFilledRect, DrawPreparedText,
      EnablePedGreeting, EnablePedInteraction, EntityExists, FreezeEntityPosition, GetClockHour,
      GetClosestRoadNode, GetClosestRoadNodeWithHeading, GetDistanceBetweenCoords, GetDraftAnimal,
      GetDraftAnimalCounts, GetEntityCoords, GetEntityHealth, GetEntityHeightAboveGround,
      GetEntitySpeed, GetGroundZ, GetPedBoneIndex, GetPedRelationshipGroup, GetPlayerIndex,
      GetPlayerPed, GetRaycastResult, GiveWeaponToPed, HangingPlayerCallA, HangingPlayerCallB,
      HangingPlayerCallC, HashName, HasModelLoaded, IsEntityDead, IsModelInImage, IsModelValid,
      IsPedFleeing, IsPedHuman, IsPedInCombatWith, IsPedInVehicle, IsPlayerInControl, IsRopeBroken,
      PrepareHangingVictimA, PrepareHangingVictimB, PrepareHangingVictimC, PrepareRopeA,
      PrepareRopeB, QueryScreenSize, ReleaseModel, ReleasePed, ReleaseVehicle, RemoveBlip,
      RequestModel, SetBlipScale, SetCurrentPedWeapon, SetDogFlag, SetEntityCoords, SetEntityHealth,
      SetEntityVisible, SetNextTextCentred, SetNextTextColour, SetNextTextScale, SetNextTextShadow,
      SetPedAccuracy, SetPedCombatAbility, SetPedCombatAttribute, SetPedCombatStyle,
      SetPedDrunkFlag, SetPedDrunkState, SetPedFleeAttributes, SetPedGreetSpeech,
      SetPedHearingRange, SetPedIgnoresEvents, SetPedInsultSpeech, SetPedIntoVehicle,
      SetPedKeepTask, SetPedMood, SetPedPersonality, SetPedPromptName, SetPedRandomComponents,
      SetPedRandomOutfit, SetPedRelationshipGroup, SetPedSeeingRange, SetPedToRagdoll,
      SetRelationshipBetweenGroups, SetVehicleForwardSpeed, StartRaycast, TaskCaptiveWait,
      TaskCombatPed, TaskDriveToCoord, TaskStandStill, TaskTurnToFaceEntity, TaskWanderNearby,
      UpdatePedVariation);
  std::vector<std::string> catalogued;
  for (const sim::CatalogueEntry& e : sim::Catalogue()) catalogued.push_back(e.name);
  EXPECT_EQ(called, catalogued);
  EXPECT_EQ(called.size(), 112u);
}

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
    for (float f : {1.5f, -2.25f, 300.0f}) *r++ = 0xDEADBEEF00000000ull | std::bit_cast<uint32_t>(f);
  });
  sim::SetHandler("IsEntityDead", [](sim::Call&, uint64_t* r) { r[0] = 0x100000000ull; });
  const ScriptVector v = GetEntityCoords(1);  // x, y and z at byte offsets 0, 8 and 16
  EXPECT_EQ((std::vector<float>{v.x, v.y, v.z}), (std::vector<float>{1.5f, -2.25f, 300.0f}));
  EXPECT_FALSE(IsEntityDead(1)) << "only the first 4 bytes carry a bool";
}

}  // namespace
