#include "chaos/handle_check.h"

#include <cstring>

#include "tracking/registry.h"

namespace sagebrook::chaos {

namespace {

// Handle slots per native, by position: E any entity, P ped, V vehicle,
// O object, B blip, R rope; lower case is a pointer to such a handle; '.'
// is any other slot. The existence tests (EntityExists, DoesBlipExist,
// DoesRopeExist) take anything and are not listed.
struct HandleSlots {
  const char* native;
  const char* slots;
};
constexpr HandleSlots kHandleSlots[] = {
    {"AddBlipForEntity", ".E"},
    {"ApplyRopeStyle", "R"},
    {"AttachEntitiesToRope", "REE"},
    {"AttachEntityToEntity", "EE"},
    {"ClaimEntityForScript", "E"},
    {"ClearPedTasks", "P"},
    {"ConfigureDraftAnimal", "P"},
    {"ConfigureNewVehicleA", "V"},
    {"ConfigureNewVehicleB", "V"},
    {"DeleteObject", "o"},
    {"DeletePed", "p"},
    {"DeleteRope", "r"},
    {"DeleteVehicle", "v"},
    {"DetachRopeFromEntity", "RE"},
    {"EnablePedGreeting", "P"},
    {"EnablePedInteraction", "P"},
    {"FreezeEntityPosition", "E"},
    {"GetDraftAnimal", "V"},
    {"GetDraftAnimalCounts", "V"},
    {"GetEntityCoords", "E"},
    {"GetEntityHealth", "E"},
    {"GetEntityHeightAboveGround", "E"},
    {"GetEntitySpeed", "E"},
    {"GetPedBoneIndex", "P"},
    {"GetPedRelationshipGroup", "P"},
    {"GiveWeaponToPed", "P"},
    {"IsEntityDead", "E"},
    {"IsPedFleeing", "P"},
    {"IsPedHuman", "P"},
    {"IsPedInCombatWith", "PP"},
    {"IsPedInVehicle", "PV"},
    {"IsRopeBroken", "R"},
    {"PrepareHangingVictimA", "P"},
    {"PrepareHangingVictimB", "P"},
    {"PrepareHangingVictimC", "P"},
    {"PrepareRopeA", "R"},
    {"PrepareRopeB", "R"},
    {"ReleasePed", "p"},
    {"ReleaseVehicle", "v"},
    {"RemoveBlip", "b"},
    {"SetBlipScale", "B"},
    {"SetCurrentPedWeapon", "P"},
    {"SetDogFlag", "P"},
    {"SetEntityCoords", "E"},
    {"SetEntityHealth", "E"},
    {"SetEntityVisible", "E"},
    {"SetPedAccuracy", "P"},
    {"SetPedCombatAbility", "P"},
    {"SetPedCombatAttribute", "P"},
    {"SetPedCombatStyle", "P"},
    {"SetPedDrunkFlag", "P"},
    {"SetPedDrunkState", "P"},
    {"SetPedFleeAttributes", "P"},
    {"SetPedGreetSpeech", "P"},
    {"SetPedHearingRange", "P"},
    {"SetPedIgnoresEvents", "P"},
    {"SetPedInsultSpeech", "P"},
    {"SetPedIntoVehicle", "PV"},
    {"SetPedKeepTask", "P"},
    {"SetPedMood", "P"},
    {"SetPedPersonality", "P"},
    {"SetPedPromptName", "P"},
    {"SetPedRandomComponents", "P"},
    {"SetPedRandomOutfit", "P"},
    {"SetPedRelationshipGroup", "P"},
    {"SetPedSeeingRange", "P"},
    {"SetPedToRagdoll", "P"},
    {"SetVehicleForwardSpeed", "V"},
    {"TaskCaptiveWait", "P"},
    {"TaskCombatPed", "PP"},
    {"TaskDriveToCoord", "PV"},
    {"TaskStandStill", "P"},
    {"TaskTurnToFaceEntity", "PE"},
    {"TaskWanderNearby", "P"},
    {"UpdatePedVariation", "P"},
};

const char* SlotsOf(const char* native) {
  for (const HandleSlots& h : kHandleSlots) {
    if (std::strcmp(h.native, native) == 0) return h.slots;
  }
  return "";
}

// Handles only grow, so what lies above the last one seen is new.
template <class Map, class Made>
void AttributeNew(const Map& map, int32_t& seen, Made made) {
  for (auto it = map.upper_bound(seen); it != map.end(); ++it) {
    made(it->first, it->second);
    seen = it->first;
  }
}

}  // namespace

const char* MadeName(Made kind) {
  switch (kind) {
    case Made::Ped:
      return "ped";
    case Made::Vehicle:
      return "vehicle";
    case Made::Object:
      return "object";
    case Made::Blip:
      return "blip";
    case Made::Rope:
      return "rope";
  }
  return "?";
}

void HandleCheck::Install() {
  GameAdded();
  sim::SetCallObserver([this](const sim::Call& call) { Observe(call); });
}

void HandleCheck::Sync() {
  const sim::World& w = sim::GetWorld();
  const char* by = lastNative_ ? lastNative_->name : "";
  auto record = [&](int32_t handle, Made kind) {
    created_[handle] = {kind, w.frame, SpawnedPeds.size()};
  };
  // What a creating native makes beside its own kind (a wagon's team) is the game's.
  AttributeNew(w.entities, seenEntity_, [&](int32_t handle, const sim::Entity& e) {
    if ((e.kind == sim::EntityKind::Ped && std::strcmp(by, "CreatePed") == 0) ||
        (e.kind == sim::EntityKind::Vehicle && std::strcmp(by, "CreateVehicle") == 0) ||
        (e.kind == sim::EntityKind::Object && std::strcmp(by, "CreateObject") == 0)) {
      record(handle, e.kind == sim::EntityKind::Ped       ? Made::Ped
                     : e.kind == sim::EntityKind::Vehicle ? Made::Vehicle
                                                          : Made::Object);
    }
  });
  AttributeNew(w.blips, seenBlip_, [&](int32_t handle, const sim::Blip&) {
    if (std::strcmp(by, "AddBlipForEntity") == 0) record(handle, Made::Blip);
  });
  AttributeNew(w.ropes, seenRope_, [&](int32_t handle, const sim::Rope&) {
    if (std::strcmp(by, "AddRope") == 0) record(handle, Made::Rope);
  });
  lastNative_ = nullptr;
}

void HandleCheck::GameAdded() {
  lastNative_ = nullptr;
  Sync();
}

void HandleCheck::Observe(const sim::Call& call) {
  Sync();
  lastNative_ = call.native;
  ++calls_;
  const char* slots = SlotsOf(call.native->name);
  for (size_t i = 0; slots[i] != '\0' && i < static_cast<size_t>(call.count); ++i) {
    if (slots[i] != '.') Check(call, i, slots[i]);
  }
}

void HandleCheck::Check(const sim::Call& call, size_t slot, char kind) {
  const bool pointer = kind >= 'a' && kind <= 'z';
  const int32_t handle = pointer ? *call.Pointer<int32_t>(slot) : call.Int(slot);
  const char upper = static_cast<char>(pointer ? kind - 'a' + 'A' : kind);
  const sim::World& w = sim::GetWorld();
  bool issued = false;
  bool exists = false;
  if (upper == 'B') {
    auto it = w.blips.find(handle);
    issued = it != w.blips.end();
    exists = issued && it->second.exists;
  } else if (upper == 'R') {
    auto it = w.ropes.find(handle);
    issued = it != w.ropes.end();
    exists = issued && it->second.exists;
  } else {
    const sim::Entity* e = sim::FindEntity(handle);
    const sim::EntityKind want = upper == 'P'   ? sim::EntityKind::Ped
                                 : upper == 'V' ? sim::EntityKind::Vehicle
                                                : sim::EntityKind::Object;
    issued = e != nullptr && (upper == 'E' || e->kind == want);
    exists = issued && e->exists;
  }
  if (exists) return;
  if (violations_.size() >= 20) return;
  violations_.push_back("frame " + std::to_string(w.frame) + ": " + call.Name() + " slot " +
                        std::to_string(slot) + " given " + std::to_string(handle) + ", " +
                        (issued ? "which the game has removed" : "which the game never issued"));
}

}  // namespace sagebrook::chaos
