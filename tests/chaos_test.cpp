// The handle check the chaos soak relies on, and the faults it found.
#include "chaos/handle_check.h"
#include "fixture.h"
#include "game/natives.h"
#include "world/spawning.h"

namespace sagebrook::testing {
namespace {

class HandleCheckTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    check.Install();
  }
  void TearDown() override {
    sim::SetCallObserver(nullptr);
    PluginTest::TearDown();
  }
  chaos::HandleCheck check;
};

TEST_F(HandleCheckTest, ReportsRemovedAndUnknownHandlesAndAttributesCreations) {
  sim::AddModel("A_M_M_RhdTownfolk_01");
  Ground(1.0f);
  ScriptVector at = MakeVector(3, 3, 3);
  const int32_t ped = SpawnPed("A_M_M_RhdTownfolk_01", at, 0, false, false);
  const int32_t bystander = AddPed();
  check.GameAdded();
  ASSERT_EQ(check.created().size(), 1u);
  EXPECT_EQ(check.created().begin()->first, ped);
  EXPECT_TRUE(check.violations().empty());

  sim::RemoveEntity(bystander);
  EXPECT_FALSE(EntityExists(bystander));  // asking is always allowed
  IsEntityDead(bystander);
  GetEntitySpeed(999999);
  int32_t vehicleSlot = ped;  // a ped where a vehicle belongs
  ReleaseVehicle(&vehicleSlot);
  world().ropes[5000] = sim::Rope{false, false};
  int32_t rope = 5000;
  DeleteRope(&rope);  // Clear Spawned's rig ropes go unchecked
  ASSERT_EQ(check.violations().size(), 3u);
  EXPECT_NE(check.violations()[0].find("IsEntityDead slot 0 given " + std::to_string(bystander) +
                                       ", which the game has removed"),
            std::string::npos);
  EXPECT_NE(check.violations()[1].find("never issued"), std::string::npos);
  EXPECT_NE(check.violations()[2].find("ReleaseVehicle"), std::string::npos);
}

// Found by the soak: a player's ped that vanished while an event waited for
// its model was still handed to the ambient event and the upkeep of that frame.
TEST_F(HandleCheckTest, APlayerPedThatVanishesDuringAnEventEndsTheFrame) {
  ProbeEvents();
  DuringEvent = [this] {
    hook::scriptWait(0);
    sim::RemoveEntity(world().playerPed);
  };
  Settings.predatorAttack = 1;
  RunFrame();
  // The ambient event and the upkeep are due as well.
  AmbientSchedule.nextAmbientAt = AmbientSchedule.nextUpkeepAt = world().tick;
  MenuState.menuOpen = true;
  Press(KeyBindings.selectKey);  // Trigger Event Now
  EXPECT_EQ(Started.size(), 1u);
  EXPECT_TRUE(check.violations().empty()) << check.violations()[0];
}

}  // namespace
}  // namespace sagebrook::testing
