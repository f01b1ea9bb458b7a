#pragma once
// The simulated game and script hook. Natives are answered by hash from a
// handler table; the world holds what the plugin touches. Tests drive frames,
// keys and world changes through the functions below.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "catalogue.h"

namespace sim {

struct Vec3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// One native call as the plugin made it.
struct Call {
  const CatalogueEntry* native = nullptr;
  std::array<uint64_t, 20> args{};
  int count = 0;
  std::string text;  // a string argument, where the handler records one

  int32_t Int(size_t i) const { return static_cast<int32_t>(static_cast<uint32_t>(args[i])); }
  uint32_t U32(size_t i) const { return static_cast<uint32_t>(args[i]); }
  float Float(size_t i) const;
  const char* String(size_t i) const { return reinterpret_cast<const char*>(args[i]); }
  template <class T>
  T* Pointer(size_t i) const {
    return reinterpret_cast<T*>(args[i]);
  }
  std::string Name() const { return native ? native->name : "?"; }
};

// Fills the 24-byte result slot from the call.
using Handler = std::function<void(Call& call, uint64_t* result)>;

enum class EntityKind { Ped, Vehicle, Object };

// A drive order as the plugin gave it.
struct DriveTask {
  int32_t vehicle = 0;
  Vec3 destination;
  float speed = 0.0f;
  int32_t style = 0;
  uint32_t vehicleModel = 0;
};

struct Entity {
  EntityKind kind = EntityKind::Ped;
  bool exists = true;
  bool dead = false;
  bool human = true;
  Vec3 position;
  bool released = false;  // handed back to the game
  // Made greetable after it was handed back: a stranger the game now keeps.
  bool greetableWhenReleased = false;
  bool deleted = false;
  // Set by the creating and configuring natives.
  uint32_t model = 0;
  float heading = 0.0f;
  uint32_t group = 0;
  int32_t health = 100;
  uint32_t currentWeapon = 0;
  std::map<uint32_t, int32_t> weapons;    // weapon hash -> ammunition
  std::map<std::string, float> settings;  // e.g. "accuracy", "combatAttribute46", "keepTask"
  std::vector<int32_t> combatTargets;
  // A greetable stranger's set-up.
  uint32_t personality = 0;
  std::string greetSpeech;
  std::string insultSpeech;
  std::string promptName;
  // The hanging: a prop attached to a ped's bone, a ped's mood and ragdoll.
  int32_t attachedTo = 0;
  int32_t attachedBone = 0;
  Vec3 attachOffset;
  Vec3 attachRotation;
  uint32_t mood = 0;
  int32_t ragdollMs = 0;  // the minimum time of the last ragdoll asked for
  // Vehicles, their teams and riders.
  float speed = 0.0f;    // m/s: SetVehicleForwardSpeed or a test sets it
  float slowing = 0.0f;  // m/s lost each second until it stands
  uint32_t createdAt = 0;
  std::map<int32_t, int32_t> seats;   // a vehicle's seat -> ped; -1 is the driver's
  std::vector<int32_t> draftAnimals;  // harnessed so far
  int32_t vehicle = 0;                // the vehicle a ped sits in
  bool claimed = false;               // claimed for the script
  bool fleeing = false;
  std::vector<DriveTask> driveTasks;
};

struct Blip {
  int32_t entity = 0;
  uint32_t style = 0;
  float scale = 0.0f;
  bool exists = true;
};

struct Rope {
  bool exists = true;
  bool deleted = false;
  bool broken = false;  // set by a test: the rope snapped
  // AddRope's arguments: all slots, and the ones tests read most.
  std::array<uint64_t, 18> args{};
  Vec3 position;
  float length = 0.0f;
  float maxLength = 0.0f;
  // AttachEntitiesToRope: entityA hangs at boneA, entityB holds the other end.
  int32_t entityA = 0;
  int32_t entityB = 0;
  Vec3 offsetA;
  Vec3 offsetB;
  std::string boneA;
  std::vector<int32_t> detached;  // entities taken off the rope, in order
  std::string style;
  float styleLength = 0.0f;
  bool preparedA = false;
  bool preparedB = false;
};

// Something overhead (a branch, a beam) that a vertical ray hits: a disc of
// the radius around (x, y) at the absolute height.
struct Overhead {
  float x, y, radius, height;
};

struct Ray {
  Vec3 from;
  Vec3 to;
};

// One of the three calls the plugin makes on the player around a hanging.
struct PlayerCall {
  char which;  // 'A', 'B' or 'C'
  int32_t player;
  uint64_t frame;
};

// A model as the game's data knows it.
struct Model {
  bool inImage = true;
  bool valid = true;
  int framesToStream = 0;  // frames between the request and its arrival; negative: never
  bool human = true;       // false for animals
  bool requested = false;
  uint64_t arrivesAtFrame = 0;
  bool loaded = false;
  int releases = 0;
  bool refused = false;  // known and loadable, but CreateObject answers 0
  // A vehicle's team: how many animals it takes, harnessed this long after
  // the vehicle's creation; negative: never.
  int32_t draftAnimals = 0;
  int32_t harnessAfterMs = 0;
};

struct RoadNode {
  Vec3 position;
  float heading = 0.0f;
};

struct DrawnText {
  std::string text;
  float x = 0, y = 0, scale = 0;
  int r = 0, g = 0, b = 0, a = 0;
  bool centred = false;
  bool shadow = false;
};

struct DrawnRect {
  float x = 0, y = 0, width = 0, height = 0;
  int r = 0, g = 0, b = 0, a = 0;
};

// What one frame showed the player, and the controls it disabled.
struct DrawList {
  std::vector<DrawnRect> rects;
  std::vector<DrawnText> texts;
  std::vector<uint32_t> disabledControls;
  void Clear() {
    rects.clear();
    texts.clear();
    disabledControls.clear();
  }
};

struct World {
  // Time: a millisecond tick that wraps like the Windows one.
  uint32_t tick = 1000;
  uint32_t frameMs = 16;
  // Frames per second; when set, frames last 1000 / frameRate ms, the
  // remainder carried, instead of frameMs.
  uint32_t frameRate = 0;
  uint32_t frameCarry = 0;
  uint64_t frame = 0;

  // Player
  int32_t playerIndex = 0;
  int32_t playerPed = 0;
  bool playerInControl = true;

  std::map<int32_t, Entity> entities;
  // Answers worldGetAllPeds in the world's place when set, e.g. as a faulty hook.
  std::function<int32_t(int32_t* handles, int32_t capacity)> allPeds;
  std::map<int32_t, Blip> blips;
  std::map<int32_t, Rope> ropes;
  int32_t nextHandle = 100;

  // Game clock and controls
  int32_t clockHour = 12;

  // World toolkit: models, ground, roads, relationship groups
  std::map<uint32_t, Model> models;  // a hash not listed here is not in the game's data
  std::function<bool(float x, float y, float& groundZ)> ground;  // none: no ground anywhere
  std::vector<RoadNode> roads;
  std::map<std::string, uint32_t> relationshipGroups;
  std::map<std::pair<uint32_t, uint32_t>, int32_t> relations;  // (a, b) -> how a regards b

  // The hanging: what is overhead, the rays cast at it, how high a ped tied
  // to a rope hangs above the ground, and the calls on the player.
  std::vector<Overhead> overheads;
  std::map<int32_t, Ray> rays;
  float hangClearance = 0.75f;
  std::vector<PlayerCall> playerCalls;

  // Screen
  int32_t screenWidth = 1920;
  int32_t screenHeight = 1080;
  DrawList drawing;    // what the current frame has drawn so far
  DrawList lastFrame;  // what the last completed frame drew

  // Platform
  uint16_t gamepadButtons = 0;
  uint16_t hour = 12, minute = 0, second = 0, millisecond = 0;  // local wall clock
  std::string executablePath;

  // Native calls, in order; off by default where a test counts allocations.
  bool tracing = true;
  std::vector<Call> trace;
  uint64_t nativeCalls = 0;  // counted whether tracing or not
};

World& GetWorld();

// A fresh world and hook: no registrations, no script, default handlers.
void Reset();

// Failures of the plugin's contract with the hook (unknown native, wrong slot
// count) go here; the default prints and aborts.
void SetFailureHandler(void (*handler)(const std::string& message));
void Fail(const std::string& message);

// Handlers: every catalogued native answers 0 unless a handler is set.
void SetHandler(const char* nativeName, Handler handler);
// The handler a native has now (empty when none), so a test can wrap it.
Handler GetHandler(const char* nativeName);

// Sees every native call, as the plugin made it, before the game answers it.
void SetCallObserver(std::function<void(const Call& call)> observer);

// The hook's view of the plugin.
struct Registrations {
  void* module = nullptr;
  void (*script)() = nullptr;
  void (*keyboard)(uint32_t, uint16_t, uint8_t, int32_t, int32_t, int32_t, int32_t) = nullptr;
  std::vector<std::string> log;  // "scriptRegister", "keyboardHandlerUnregister", ...
};
Registrations& GetRegistrations();

// Sends a completed key press (the release of a key that was down).
void ReleaseKey(uint32_t virtualKey);
void SendKeyMessage(uint32_t key, uint16_t repeats, uint8_t scan, int32_t extended, int32_t alt,
                    int32_t wasDown, int32_t isUp);

// Frames. scriptWait runs the game for one frame (or the milliseconds asked,
// if longer): the tick advances, scheduled changes happen, the draw list is
// closed. What scriptWait does after that is the runner's: the default
// returns; RunScriptMain stops the script after a frame budget.
void AdvanceFrame(uint32_t milliseconds);
void SetAfterWait(std::function<void()> afterWait);
// Runs the registered script from its entry for the given number of frames.
void RunScriptMain(int frames);
// Runs change just before frame number `frame` ends (the game's doing).
void ScheduleAtFrame(uint64_t frame, std::function<void()> change);

// Entities
int32_t AddEntity(EntityKind kind, Vec3 position, bool human = true);
Entity* FindEntity(int32_t handle);
void RemoveEntity(int32_t handle);

int32_t AddBlip(int32_t entity, uint32_t style);
// A model the game knows, arriving framesToStream frames after its request.
void AddModel(const char* name, int framesToStream = 0, bool human = true);
float Distance(Vec3 a, Vec3 b);
// The ground under (x, y), 0.0 where there is none.
float GroundAt(float x, float y);
// The index the game gives a ped's bone id.
inline int32_t BoneIndex(int32_t boneId) {
  return boneId % 1000 + 1;
}

// Trace helpers
size_t CountCalls(const std::string& nativeName);
std::vector<std::string> TraceNames();
void ClearTrace();

// True while the simulated game itself is running (answering a native or
// running a frame), so tests can tell its allocations from the plugin's.
bool InSimulator();

// The game's name hash: Jenkins one-at-a-time over the lower-cased name.
uint32_t HashName(const char* name);

}  // namespace sim
