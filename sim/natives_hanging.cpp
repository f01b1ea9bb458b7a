// The simulated game's answers for the public hanging: the vertical ray at
// overhead branches and beams, props, ropes, a ped's height, health, death,
// ragdoll and mood, and the calls on the player.
#include <algorithm>
#include <cmath>

#include "handlers.h"

namespace sim {

namespace {

// The plugin must test a rope handle before using it: the rope, or nullptr
// after failing the test.
Rope* ExistingRope(int32_t handle, const Call& c) {
  auto it = GetWorld().ropes.find(handle);
  if (it == GetWorld().ropes.end() || !it->second.exists) {
    Fail(c.Name() + " applied to rope " + std::to_string(handle) + ", which does not exist");
    return nullptr;
  }
  return &it->second;
}

Vec3 VectorAt(const Call& c, size_t first) {
  return {c.Float(first), c.Float(first + 1), c.Float(first + 2)};
}

// The lowest overhead the ray passes under (or through) within its span.
const Overhead* FirstOverhead(const Ray& ray) {
  const float low = std::min(ray.from.z, ray.to.z), high = std::max(ray.from.z, ray.to.z);
  const Overhead* best = nullptr;
  for (const Overhead& o : GetWorld().overheads) {
    const float across = std::hypot(o.x - ray.from.x, o.y - ray.from.y);
    if (across >= o.radius || o.height < low || o.height > high) continue;
    if (!best || o.height < best->height) best = &o;
  }
  return best;
}

void PlayerCalled(char which, const Call& c) {
  World& w = GetWorld();
  w.playerCalls.push_back({which, c.Int(0), w.frame});
}

}  // namespace

void InstallHangingHandlers() {
  SetHandler("StartRaycast", [](Call& c, uint64_t* r) {
    World& w = GetWorld();
    const int32_t ray = w.nextHandle++;
    w.rays[ray] = {VectorAt(c, 0), VectorAt(c, 3)};
    SetInt(r, ray);
  });
  SetHandler("GetRaycastResult", [](Call& c, uint64_t*) {
    auto it = GetWorld().rays.find(c.Int(0));
    if (it == GetWorld().rays.end()) return Fail("GetRaycastResult of an unknown ray");
    const Overhead* o = FirstOverhead(it->second);
    *c.Pointer<int32_t>(1) = o != nullptr;
    if (!o) return;
    WriteVector(c, 2, {it->second.from.x, it->second.from.y, o->height});
    WriteVector(c, 3, {0.0f, 0.0f, -1.0f});
  });

  SetHandler("CreateObject", [](Call& c, uint64_t* r) {
    auto it = GetWorld().models.find(c.U32(0));
    if (it == GetWorld().models.end() || !it->second.loaded || it->second.refused) return;
    const int32_t object = AddEntity(EntityKind::Object, VectorAt(c, 1), false);
    FindEntity(object)->model = c.U32(0);
    SetInt(r, object);
  });
  SetHandler("FreezeEntityPosition", Setting("frozen", 1));
  SetHandler("SetEntityCoords", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) e->position = VectorAt(c, 1);
  });
  SetHandler("GetPedBoneIndex", [](Call& c, uint64_t* r) {
    if (Existing(c.Int(0), c)) SetInt(r, BoneIndex(c.Int(1)));
  });
  SetHandler("AttachEntityToEntity", [](Call& c, uint64_t*) {
    Entity* e = Existing(c.Int(0), c);
    if (!e || !Existing(c.Int(1), c)) return;
    e->attachedTo = c.Int(1);
    e->attachedBone = c.Int(2);
    e->attachOffset = VectorAt(c, 3);
    e->attachRotation = VectorAt(c, 6);
  });

  SetHandler("AddRope", [](Call& c, uint64_t* r) {
    World& w = GetWorld();
    const int32_t handle = w.nextHandle++;
    Rope& rope = w.ropes[handle];
    std::copy_n(c.args.begin(), rope.args.size(), rope.args.begin());
    rope.position = VectorAt(c, 0);
    rope.length = c.Float(6);
    rope.maxLength = c.Float(8);
    SetInt(r, handle);
  });
  // A ped tied to the rope hangs clear of the ground.
  SetHandler("AttachEntitiesToRope", [](Call& c, uint64_t*) {
    Rope* rope = ExistingRope(c.Int(0), c);
    Entity* a = Existing(c.Int(1), c);
    if (!rope || !a || !Existing(c.Int(2), c)) return;
    rope->entityA = c.Int(1);
    rope->entityB = c.Int(2);
    rope->offsetA = VectorAt(c, 3);
    rope->offsetB = VectorAt(c, 6);
    c.text = c.String(9);
    rope->boneA = c.text;
    if (c.args[10] != 0) Fail("AttachEntitiesToRope with a second bone name");
    if (a->kind == EntityKind::Ped) {
      a->position.z = GroundAt(a->position.x, a->position.y) + GetWorld().hangClearance;
    }
  });
  // Taken off the rope, a ped drops to the ground.
  SetHandler("DetachRopeFromEntity", [](Call& c, uint64_t*) {
    Rope* rope = ExistingRope(c.Int(0), c);
    Entity* e = Existing(c.Int(1), c);
    if (!rope || !e) return;
    rope->detached.push_back(c.Int(1));
    if (rope->entityA == c.Int(1)) {
      rope->entityA = 0;
      e->position.z = GroundAt(e->position.x, e->position.y);
    }
  });
  SetHandler("IsRopeBroken", [](Call& c, uint64_t* r) {
    if (Rope* rope = ExistingRope(c.Int(0), c)) SetInt(r, rope->broken);
  });
  SetHandler("PrepareRopeA", [](Call& c, uint64_t*) {
    if (Rope* rope = ExistingRope(c.Int(0), c)) rope->preparedA = true;
  });
  SetHandler("PrepareRopeB", [](Call& c, uint64_t*) {
    if (Rope* rope = ExistingRope(c.Int(0), c)) rope->preparedB = true;
  });
  SetHandler("ApplyRopeStyle", [](Call& c, uint64_t*) {
    c.text = c.String(2);
    if (Rope* rope = ExistingRope(c.Int(0), c)) {
      rope->style = c.text;
      rope->styleLength = c.Float(3);
    }
  });

  SetHandler("GetEntityHeightAboveGround", [](Call& c, uint64_t* r) {
    if (Entity* e = Existing(c.Int(0), c)) {
      SetFloat(r, e->position.z - GroundAt(e->position.x, e->position.y));
    }
  });
  SetHandler("GetEntityHealth", [](Call& c, uint64_t* r) {
    if (Entity* e = Existing(c.Int(0), c)) SetInt(r, e->health);
  });
  // No health left is death.
  SetHandler("SetEntityHealth", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) {
      e->health = c.Int(1);
      if (e->health <= 0) e->dead = true;
    }
  });
  SetHandler("SetPedToRagdoll", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) e->ragdollMs = c.Int(1);
  });
  SetHandler("SetPedMood", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) e->mood = c.U32(1);
  });
  SetHandler("ClearPedTasks", [](Call& c, uint64_t*) {
    if (Entity* e = Existing(c.Int(0), c)) ++e->settings["tasksCleared"];
  });
  SetHandler("SetPedIgnoresEvents", Setting("ignoresEvents", 1));
  SetHandler("PrepareHangingVictimA", Setting("hangingVictimA", 1));
  SetHandler("PrepareHangingVictimB", Setting("hangingVictimB", 1));
  SetHandler("PrepareHangingVictimC", Setting("hangingVictimC", 1));
  SetHandler("TaskCaptiveWait", Setting("captiveWaitMs", 1));
  SetHandler("TaskStandStill", Setting("standStillMs", 1));
  SetHandler("SetPedCombatStyle", Setting("combatStyle", 1));
  SetHandler("TaskTurnToFaceEntity", [](Call& c, uint64_t*) {
    Entity* e = Existing(c.Int(0), c);
    if (e && Existing(c.Int(1), c)) e->settings["facing"] = static_cast<float>(c.Int(1));
  });

  SetHandler("HangingPlayerCallA", [](Call& c, uint64_t*) { PlayerCalled('A', c); });
  SetHandler("HangingPlayerCallB", [](Call& c, uint64_t*) { PlayerCalled('B', c); });
  SetHandler("HangingPlayerCallC", [](Call& c, uint64_t*) { PlayerCalled('C', c); });
}

}  // namespace sim
