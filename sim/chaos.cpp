#include "chaos.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <set>

#include "sim.h"

namespace sim {

namespace {

constexpr const char* kCreators[] = {"CreatePed", "CreateVehicle", "CreateObject", "AddRope",
                                     "AddBlipForEntity"};
constexpr float kTakenBackDistance = 300.0f;

struct ChaosState {
  bool on = false;
  std::mt19937 random;
  std::function<std::string(uint32_t)> modelName;
  std::map<std::string, uint64_t> failingUntil;  // frame until which a creator answers 0
  std::set<int32_t> own;
  int32_t firstHandle = 0;
  uint32_t lastTick = 0;
  uint32_t frameMs = 16;
  uint64_t playerBackAt = 0;  // 0: the player is as he should be
  int32_t hiddenPlayer = 0;   // while loading
  uint64_t controlBackAt = 0;
  uint64_t groundBackAt = 0;
  std::function<bool(float, float, float&)> ground;  // kept while none answers
  int32_t hourShift = 0;
  int32_t worldHour = 0;
  int32_t shownHour = -1;
  std::vector<ChaosFault> faults;
};
ChaosState State;

uint32_t Below(uint32_t n) {
  return static_cast<uint32_t>(State.random() % n);
}
// True on average ratePerMinute times a minute of game time.
bool Chance(double ratePerMinute) {
  return std::uniform_real_distribution<double>(0, 1)(State.random) <
         ratePerMinute * State.frameMs / 60000.0;
}
void Fault(std::string kind, std::string detail = "") {
  State.faults.push_back({std::move(kind), std::move(detail)});
}
std::string ModelName(uint32_t hash) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", hash);
  return State.modelName ? State.modelName(hash) : hex;
}
std::string Describe(const Entity& e, int32_t handle) {
  const char* kinds[] = {"ped", "vehicle", "object"};
  return std::string(kinds[static_cast<int>(e.kind)]) + " " + std::to_string(handle) + " " +
         ModelName(e.model);
}

void NewPlayerPed(Vec3 at) {
  World& w = GetWorld();
  w.playerPed = AddEntity(EntityKind::Ped, at);
  FindEntity(w.playerPed)->group = HashName("PLAYER");
  State.own.insert(w.playerPed);
}

void PlayerFaults(bool eventWaits) {
  World& w = GetWorld();
  ChaosState& s = State;
  if (s.playerBackAt != 0 && w.frame >= s.playerBackAt) {
    s.playerBackAt = 0;
    if (s.hiddenPlayer != 0) {
      w.playerPed = s.hiddenPlayer;
      s.hiddenPlayer = 0;
    } else {  // a new ped after death or removal
      Entity* old = FindEntity(w.playerPed);
      if (old) old->exists = false;
      NewPlayerPed(old ? old->position : Vec3{});
    }
  }
  Entity* player = FindEntity(w.playerPed);
  if (s.playerBackAt != 0 || !player) return;
  const bool removedWhileWaiting = eventWaits && Chance(30);
  if (!removedWhileWaiting && !Chance(0.4)) return;
  s.playerBackAt = w.frame + 30 + Below(600);
  switch (removedWhileWaiting ? 2 : Below(3)) {
    case 0:
      Fault("player: loading, no ped");
      s.hiddenPlayer = w.playerPed;
      w.playerPed = 0;
      break;
    case 1:
      Fault("player: ped dies");
      player->dead = true;
      break;
    default:
      Fault(removedWhileWaiting ? "player: ped removed while an event waits"
                                : "player: ped removed");
      player->exists = false;
  }
}

void ModelFault() {
  World& w = GetWorld();
  auto it =
      std::next(w.models.begin(), static_cast<long>(Below(static_cast<uint32_t>(w.models.size()))));
  Model& m = it->second;
  m.requested = m.loaded = false;
  m.inImage = m.valid = true;
  m.framesToStream = static_cast<int>(Below(8));
  const std::string name = ModelName(it->first);
  switch (Below(4)) {
    case 0:
      Fault("model missing", name);
      (Below(2) ? m.inImage : m.valid) = false;
      break;
    case 1:
      Fault("model slow (150 to 400 frames)", name);
      m.framesToStream = 150 + static_cast<int>(Below(250));
      break;
    case 2:
      Fault("model never arrives", name);
      m.framesToStream = -1;
      break;
    default:;  // back to normal
  }
}

// What was made lately vanishes or dies, or its blip goes; ropes snap or go.
void ThingsVanish() {
  World& w = GetWorld();
  if (Chance(8) && w.nextHandle > State.firstHandle) {
    const int32_t h =
        std::max(State.firstHandle, w.nextHandle - 1 - static_cast<int32_t>(Below(64)));
    Entity* e = FindEntity(h);
    auto blip = w.blips.find(h);
    if (e && e->exists && h != w.playerPed) {
      const bool dies = Below(2) == 0;
      Fault(dies ? "entity dies" : "entity vanishes", Describe(*e, h));
      (dies ? e->dead : e->exists) = dies;
    } else if (blip != w.blips.end() && blip->second.exists) {
      Fault("blip vanishes", "on " + std::to_string(blip->second.entity));
      blip->second.exists = false;
    }
  }
  if (!w.ropes.empty() && Chance(1)) {
    auto it =
        std::next(w.ropes.begin(), static_cast<long>(Below(static_cast<uint32_t>(w.ropes.size()))));
    if (it->second.exists && !it->second.broken) {
      const bool breaks = Below(2) == 0;
      Fault(breaks ? "rope breaks" : "rope vanishes", "rope " + std::to_string(it->first));
      (breaks ? it->second.broken : it->second.exists) = breaks;
    }
  }
}

// Passers-by come near the player; what was handed back, and passers-by, are
// taken away once far from him.
void Population(const Entity* player) {
  World& w = GetWorld();
  if (!player) return;
  if (Chance(6)) {
    const float a = std::uniform_real_distribution<float>(0, 6.2831853f)(State.random);
    const float d = 10.0f + static_cast<float>(Below(80));
    const float x = player->position.x + d * std::cos(a), y = player->position.y + d * std::sin(a);
    State.own.insert(AddEntity(EntityKind::Ped, {x, y, GroundAt(x, y)}, Below(5) != 0));
  }
  if (w.frame % 120 != 0) return;
  for (auto& [handle, e] : w.entities) {
    if (!e.exists || handle == w.playerPed || handle == State.hiddenPlayer) continue;
    if (!e.released && State.own.count(handle) == 0) continue;
    if (Distance(e.position, player->position) > kTakenBackDistance) e.exists = false;
  }
}

}  // namespace

void BeginChaos(uint32_t seed, uint32_t wrapAfterMs,
                std::function<std::string(uint32_t)> modelName) {
  State = ChaosState{};
  ChaosState& s = State;
  World& w = GetWorld();
  s.on = true;
  s.random.seed(seed);
  s.modelName = std::move(modelName);
  // Near the wrap, give or take a little, so seeds differ in the plugin's tick too.
  w.tick = 0u - wrapAfterMs + seed % 4096;
  s.lastTick = w.tick;
  s.firstHandle = w.nextHandle;
  for (const char* name : kCreators) {
    Handler inner = GetHandler(name);
    SetHandler(name, [name, inner](Call& c, uint64_t* r) {
      if (State.failingUntil[name] > GetWorld().frame) return;  // the slot stays 0
      if (inner) inner(c, r);
    });
  }
  Fault("tick count wraps", "in " + std::to_string(wrapAfterMs / 1000) + " s");
}

std::vector<ChaosFault> ChaosAfterFrame(bool eventWaits) {
  ChaosState& s = State;
  World& w = GetWorld();
  std::vector<ChaosFault> faults;
  if (!s.on) return faults;
  s.frameMs = w.tick - s.lastTick;
  PlayerFaults(eventWaits);
  if (s.controlBackAt != 0 && w.frame >= s.controlBackAt) {
    s.controlBackAt = 0;
    w.playerInControl = true;
  } else if (s.controlBackAt == 0 && Chance(0.5)) {
    Fault("control lost");
    s.controlBackAt = w.frame + 60 + Below(1500);
    w.playerInControl = false;
  }
  // The clock jumps and stays shifted, whether or not the world sets it again.
  if (w.clockHour != s.shownHour) s.worldHour = w.clockHour;
  if (Chance(1)) {
    s.hourShift = static_cast<int32_t>(Below(24));
    Fault("game clock jumps", "by " + std::to_string(s.hourShift) + " h");
  }
  w.clockHour = s.shownHour = (s.worldHour + s.hourShift) % 24;
  if (!w.models.empty() && Chance(2)) ModelFault();
  for (const char* name : kCreators) {
    if (s.failingUntil[name] <= w.frame && Chance(1)) {
      const uint32_t frames = 1 + Below(400);
      Fault(std::string(name) + " answers 0", "for " + std::to_string(frames) + " frames");
      s.failingUntil[name] = w.frame + frames;
    }
  }
  if (s.groundBackAt != 0 && w.frame >= s.groundBackAt) {
    s.groundBackAt = 0;
    w.ground = std::move(s.ground);
  } else if (s.groundBackAt == 0 && Chance(0.5)) {
    Fault("no ground anywhere");
    s.groundBackAt = w.frame + 60 + Below(600);
    s.ground = std::move(w.ground);
    w.ground = nullptr;
  }
  ThingsVanish();
  Population(FindEntity(s.hiddenPlayer ? s.hiddenPlayer : w.playerPed));
  if (Chance(0.5)) {
    const uint32_t ms = 1000 + Below(19000);
    Fault("frame hitch", std::to_string(ms) + " ms");
    w.tick += ms;
  }
  s.lastTick = w.tick;
  faults.swap(s.faults);
  return faults;
}

void EndChaos() {
  ChaosState& s = State;
  World& w = GetWorld();
  s.on = false;
  s.failingUntil.clear();
  if (s.groundBackAt != 0) w.ground = std::move(s.ground);
  s.groundBackAt = 0;
  if (s.hiddenPlayer != 0) w.playerPed = s.hiddenPlayer;
  s.hiddenPlayer = 0;
  s.playerBackAt = 0;
  if (Entity* p = FindEntity(w.playerPed); !p || !p->exists || p->dead) {
    NewPlayerPed(p ? p->position : Vec3{});
  }
  w.playerInControl = true;
}

bool MadeByChaos(int32_t handle) {
  return State.own.count(handle) != 0;
}

}  // namespace sim
