// The simulated game's answers for what the plugin asks of entities it keeps
// track of: blips, distances, release and deletion; also the game clock and
// disabled controls.
#include "handlers.h"

namespace sim {

void InstallTrackingHandlers() {
  SetHandler("GetClockHour", [](Call&, uint64_t* r) { SetInt(r, GetWorld().clockHour); });
  SetHandler("DisableControlThisFrame", [](Call& c, uint64_t*) {
    if (c.Int(0) != 0 || c.Int(2) != 1) Fail("DisableControlThisFrame with unexpected slots");
    GetWorld().drawing.disabledControls.push_back(c.U32(1));
  });
  SetHandler("GetDistanceBetweenCoords", [](Call& c, uint64_t* r) {
    Vec3 a{c.Float(0), c.Float(1), c.Float(2)};
    Vec3 b{c.Float(3), c.Float(4), c.Float(5)};
    if (c.Int(6) == 0) a.z = b.z;
    SetFloat(r, Distance(a, b));
  });

  // The game clears the handle it is given, as it does when deleting.
  auto release = [](Call& c, uint64_t*) {
    int32_t* handle = c.Pointer<int32_t>(0);
    if (Entity* e = Existing(*handle, c)) {
      e->released = true;
      *handle = 0;
    }
  };
  SetHandler("ReleasePed", release);
  SetHandler("ReleaseVehicle", release);
  auto remove = [](Call& c, uint64_t*) {
    int32_t* handle = c.Pointer<int32_t>(0);
    if (Entity* e = Existing(*handle, c)) {
      e->exists = false;
      e->deleted = true;
      *handle = 0;
    }
  };
  SetHandler("DeletePed", remove);
  SetHandler("DeleteVehicle", remove);
  SetHandler("DeleteObject", remove);
  SetHandler("DeleteRope", [](Call& c, uint64_t*) {
    int32_t* handle = c.Pointer<int32_t>(0);
    auto it = GetWorld().ropes.find(*handle);
    if (it == GetWorld().ropes.end() || !it->second.exists) {
      return Fail("DeleteRope applied to rope " + std::to_string(*handle) +
                  ", which does not exist");
    }
    it->second.exists = false;
    it->second.deleted = true;
    *handle = 0;
  });
  SetHandler("DoesRopeExist", [](Call& c, uint64_t* r) {
    auto it = GetWorld().ropes.find(c.Int(0));
    SetInt(r, it != GetWorld().ropes.end() && it->second.exists);
  });

  SetHandler("AddBlipForEntity", [](Call& c, uint64_t* r) {
    if (!Existing(c.Int(1), c)) return;
    SetInt(r, AddBlip(c.Int(1), c.U32(0)));
  });
  SetHandler("DoesBlipExist", [](Call& c, uint64_t* r) {
    auto it = GetWorld().blips.find(c.Int(0));
    SetInt(r, it != GetWorld().blips.end() && it->second.exists);
  });
  SetHandler("SetBlipScale", [](Call& c, uint64_t*) {
    auto it = GetWorld().blips.find(c.Int(0));
    if (it == GetWorld().blips.end() || !it->second.exists) return Fail("SetBlipScale on no blip");
    it->second.scale = c.Float(1);
  });
  SetHandler("RemoveBlip", [](Call& c, uint64_t*) {
    int32_t* handle = c.Pointer<int32_t>(0);
    auto it = GetWorld().blips.find(*handle);
    if (it == GetWorld().blips.end() || !it->second.exists) return Fail("RemoveBlip on no blip");
    it->second.exists = false;
    *handle = 0;
  });
}

}  // namespace sim
