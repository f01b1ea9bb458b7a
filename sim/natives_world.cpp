// The simulated game's answers for the world toolkit: models, ground, roads,
// relationship groups and ped creation.
#include <cstring>
#include <limits>

#include "handlers.h"

namespace sim {

Model* FindModel(uint32_t hash) {
  auto it = GetWorld().models.find(hash);
  return it == GetWorld().models.end() ? nullptr : &it->second;
}

// Streaming costs frames: a request at frame F arrives at F + framesToStream.
bool Loaded(Model& m) {
  if (!m.loaded && m.requested && m.framesToStream >= 0 && GetWorld().frame >= m.arrivesAtFrame) {
    m.loaded = true;
  }
  return m.loaded;
}

// Records a value of a ped set-up native on the ped it names in slot 0.
Handler Setting(const char* key, size_t valueSlot) {
  return [key, valueSlot](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) e->settings[key] = static_cast<float>(c.Int(valueSlot));
  };
}

void WriteVector(Call& c, size_t slot, Vec3 v) {
  // x, y and z at the start of their own 8-byte slots.
  auto* out = c.Pointer<unsigned char>(slot);
  std::memcpy(out, &v.x, sizeof v.x);
  std::memcpy(out + 8, &v.y, sizeof v.y);
  std::memcpy(out + 16, &v.z, sizeof v.z);
}

const RoadNode* NearestRoadNode(Vec3 probe) {
  const RoadNode* best = nullptr;
  float bestDistance = std::numeric_limits<float>::max();
  for (const RoadNode& node : GetWorld().roads) {
    float d = Distance(probe, node.position);
    if (d < bestDistance) {
      bestDistance = d;
      best = &node;
    }
  }
  return best;
}

namespace {

Handler Text(std::string Entity::*field) {
  return [field](Call& c, uint64_t*) {
    c.text = c.String(1);
    if (Entity* e = Existing(c.Int(0), c)) e->*field = c.text;
  };
}

}  // namespace

void InstallWorldHandlers() {
  SetHandler("IsModelInImage", [](Call& c, uint64_t* r) {
    const Model* m = FindModel(c.U32(0));
    SetInt(r, m && m->inImage);
  });
  SetHandler("IsModelValid", [](Call& c, uint64_t* r) {
    const Model* m = FindModel(c.U32(0));
    SetInt(r, m && m->valid);
  });
  SetHandler("RequestModel", [](Call& c, uint64_t*) {
    Model* m = FindModel(c.U32(0));
    if (!m || !m->inImage || !m->valid) return Fail("RequestModel of a model the game cannot load");
    if (m->requested) return;
    m->requested = true;
    m->arrivesAtFrame = GetWorld().frame + static_cast<uint64_t>(m->framesToStream);
  });
  SetHandler("HasModelLoaded", [](Call& c, uint64_t* r) {
    Model* m = FindModel(c.U32(0));
    SetInt(r, m && Loaded(*m));
  });
  SetHandler("ReleaseModel", [](Call& c, uint64_t*) {
    if (Model* m = FindModel(c.U32(0))) ++m->releases;
  });

  // Finds the ground below the probe height only.
  SetHandler("GetGroundZ", [](Call& c, uint64_t* r) {
    float z = 0.0f;
    const World& w = GetWorld();
    if (!w.ground || !w.ground(c.Float(0), c.Float(1), z) || z > c.Float(2)) return;
    *c.Pointer<float>(3) = z;
    SetInt(r, 1);
  });
  SetHandler("GetClosestRoadNode", [](Call& c, uint64_t* r) {
    const RoadNode* best = NearestRoadNode({c.Float(0), c.Float(1), c.Float(2)});
    if (!best) return;
    WriteVector(c, 3, best->position);
    SetInt(r, 1);
  });

  SetHandler("AddRelationshipGroup", [](Call& c, uint64_t*) {
    c.text = c.String(0);
    uint32_t hash = HashName(c.String(0));
    GetWorld().relationshipGroups[c.text] = hash;
    *c.Pointer<uint32_t>(1) = hash;
  });
  SetHandler("SetRelationshipBetweenGroups", [](Call& c, uint64_t*) {
    GetWorld().relations[{c.U32(1), c.U32(2)}] = c.Int(0);
  });

  SetHandler("CreatePed", [](Call& c, uint64_t* r) {
    Model* m = FindModel(c.U32(0));
    if (!m || !Loaded(*m)) return;
    int32_t ped = AddEntity(EntityKind::Ped, {c.Float(1), c.Float(2), c.Float(3)}, m->human);
    Entity* e = FindEntity(ped);
    e->model = c.U32(0);
    e->heading = c.Float(4);
    SetInt(r, ped);
  });
  SetHandler("SetPedRandomComponents", Setting("randomComponents", 1));
  SetHandler("SetPedRandomOutfit", Setting("randomOutfit", 1));
  SetHandler("UpdatePedVariation", Setting("variationUpdated", 2));
  SetHandler("SetEntityVisible", Setting("visible", 1));
  SetHandler("SetPedCombatAbility", Setting("combatAbility", 1));
  SetHandler("SetPedKeepTask", Setting("keepTask", 1));
  SetHandler("SetPedFleeAttributes", Setting("fleeAttributes", 1));
  SetHandler("EnablePedGreeting", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) {
      e->settings["greeting"] = static_cast<float>(c.Int(1));
      e->greetableWhenReleased = e->released;
    }
  });
  SetHandler("EnablePedInteraction", Setting("interaction", 1));
  SetHandler("SetPedAccuracy", Setting("accuracy", 1));
  SetHandler("SetPedCombatAttribute", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) {
      e->settings["combatAttribute" + std::to_string(c.Int(1))] = static_cast<float>(c.Int(2));
    }
  });
  SetHandler("SetPedPersonality", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) e->personality = c.U32(1);
  });
  SetHandler("SetPedGreetSpeech", Text(&Entity::greetSpeech));
  SetHandler("SetPedInsultSpeech", Text(&Entity::insultSpeech));
  SetHandler("SetPedPromptName", Text(&Entity::promptName));
  SetHandler("SetPedRelationshipGroup", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) e->group = c.U32(1);
  });
  SetHandler("GetPedRelationshipGroup", [](Call& c, uint64_t* r) {
    if (Entity* e = Existing(c.Int(0), c)) SetInt(r, static_cast<int32_t>(e->group));
  });
  SetHandler("IsPedHuman", [](Call& c, uint64_t* r) {
    if (Entity* e = Existing(c.Int(0), c)) SetInt(r, e->human);
  });
  SetHandler("GiveWeaponToPed", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) {
      e->weapons[c.U32(1)] += c.Int(2);
      if (c.Int(3) != 0) e->currentWeapon = c.U32(1);
    }
  });
  // Every ped has its fists; any other weapon must have been given.
  SetHandler("SetCurrentPedWeapon", [unarmed = HashName("WEAPON_UNARMED")](Call& c, uint64_t*) {
    Entity* e = Existing(c.Int(0), c);
    if (e && (c.U32(1) == unarmed || e->weapons.count(c.U32(1)))) e->currentWeapon = c.U32(1);
  });
  SetHandler("TaskCombatPed", [](Call& c, uint64_t*) {
    Entity* e = Existing(c.Int(0), c);
    if (e && Existing(c.Int(1), c)) e->combatTargets.push_back(c.Int(1));
  });
}

}  // namespace sim
