// The simulated game's answers for drunks: how drunk a ped is, the drunk
// flag and wandering about. Greeting and the stranger set-up, fist fights and
// release are answered with the world and tracking natives.
#include "handlers.h"

namespace sim {

void InstallDrunksHandlers() {
  SetHandler("SetPedDrunkState", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) {
      e->settings["drunk"] = static_cast<float>(c.Int(1));
      e->settings["drunkLevel"] = c.Float(2);
    }
  });
  SetHandler("SetPedDrunkFlag", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) e->settings["drunkFlag"] = static_cast<float>(c.Int(1));
  });
  SetHandler("TaskWanderNearby", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) e->settings["wanderRadius"] = c.Float(1);
  });
}

}  // namespace sim
