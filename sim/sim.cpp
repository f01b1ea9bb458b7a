#include "sim.h"

#include <bit>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "game/hook.h"
#include "handlers.h"

namespace sim {

namespace {

World TheWorld;
Registrations TheRegistrations;

struct NativeTable {
  std::unordered_map<uint64_t, size_t> indexByHash;
  std::vector<Handler> handlers;
};

NativeTable& Table() {
  static NativeTable table = [] {
    NativeTable t;
    auto catalogue = Catalogue();
    t.handlers.resize(catalogue.size());
    for (size_t i = 0; i < catalogue.size(); ++i) t.indexByHash[catalogue[i].hash] = i;
    return t;
  }();
  return table;
}

void DefaultFailure(const std::string& message) {
  std::fprintf(stderr, "simulated game: %s\n", message.c_str());
  std::abort();
}

void (*FailureHandler)(const std::string&) = DefaultFailure;

// The call being assembled between nativeInit and nativeCall.
Call Pending;
bool CallOpen = false;
alignas(8) uint64_t Result[3];

std::multimap<uint64_t, std::function<void()>> Scheduled;
std::function<void()> AfterWait;
std::function<void(const Call&)> CallObserver;
int FrameBudget = -1;
struct ScriptStopped {};

thread_local int SimulatorDepth = 0;
struct InsideSimulator {
  InsideSimulator() { ++SimulatorDepth; }
  ~InsideSimulator() { --SimulatorDepth; }
  InsideSimulator(const InsideSimulator&) = delete;
  InsideSimulator& operator=(const InsideSimulator&) = delete;
};

}  // namespace

bool InSimulator() {
  return SimulatorDepth > 0;
}

float Call::Float(size_t i) const {
  return std::bit_cast<float>(static_cast<uint32_t>(args[i]));
}

World& GetWorld() {
  return TheWorld;
}
Registrations& GetRegistrations() {
  return TheRegistrations;
}

void SetFailureHandler(void (*handler)(const std::string&)) {
  FailureHandler = handler ? handler : DefaultFailure;
}
void Fail(const std::string& message) {
  FailureHandler(message);
}

namespace {
Handler* HandlerSlot(const char* nativeName) {
  auto catalogue = Catalogue();
  for (size_t i = 0; i < catalogue.size(); ++i) {
    if (std::strcmp(catalogue[i].name, nativeName) == 0) return &Table().handlers[i];
  }
  Fail(std::string("no native named ") + nativeName);
  return nullptr;
}
}  // namespace

void SetHandler(const char* nativeName, Handler handler) {
  if (Handler* slot = HandlerSlot(nativeName)) *slot = std::move(handler);
}

Handler GetHandler(const char* nativeName) {
  Handler* slot = HandlerSlot(nativeName);
  return slot ? *slot : Handler{};
}

void SetCallObserver(std::function<void(const Call&)> observer) {
  CallObserver = std::move(observer);
}

void Reset() {
  TheWorld = World{};
  TheRegistrations = Registrations{};
  for (Handler& h : Table().handlers) h = nullptr;
  CallOpen = false;
  Scheduled.clear();
  AfterWait = nullptr;
  CallObserver = nullptr;
  FrameBudget = -1;
  InstallBaseHandlers();
  InstallTrackingHandlers();
  InstallWorldHandlers();
  InstallDrunksHandlers();
  InstallHangingHandlers();
  InstallVehicleHandlers();
}

void SendKeyMessage(uint32_t key, uint16_t repeats, uint8_t scan, int32_t extended, int32_t alt,
                    int32_t wasDown, int32_t isUp) {
  if (TheRegistrations.keyboard) {
    TheRegistrations.keyboard(key, repeats, scan, extended, alt, wasDown, isUp);
  }
}

void ReleaseKey(uint32_t virtualKey) {
  SendKeyMessage(virtualKey, 1, 0, 0, 0, 1, 1);
}

void AdvanceFrame(uint32_t milliseconds) {
  InsideSimulator inside;
  World& w = TheWorld;
  for (auto it = Scheduled.begin(); it != Scheduled.end() && it->first <= w.frame;) {
    auto change = std::move(it->second);
    it = Scheduled.erase(it);
    change();
  }
  std::swap(w.lastFrame, w.drawing);
  ForgetFrameStrings();
  w.drawing.Clear();
  uint32_t frameLength = w.frameMs;
  if (w.frameRate != 0) {
    w.frameCarry += 1000;
    frameLength = w.frameCarry / w.frameRate;
    w.frameCarry %= w.frameRate;
  }
  const uint32_t elapsed = milliseconds > frameLength ? milliseconds : frameLength;
  w.tick += elapsed;
  ++w.frame;
  AdvanceVehicles(elapsed);
}

void SetAfterWait(std::function<void()> afterWait) {
  AfterWait = std::move(afterWait);
}

void ScheduleAtFrame(uint64_t frame, std::function<void()> change) {
  Scheduled.emplace(frame, std::move(change));
}

void RunScriptMain(int frames) {
  if (!TheRegistrations.script) {
    Fail("no script registered");
    return;
  }
  FrameBudget = frames;
  try {
    TheRegistrations.script();
  } catch (const ScriptStopped&) {
  }
  FrameBudget = -1;
}

int32_t AddEntity(EntityKind kind, Vec3 position, bool human) {
  int32_t handle = TheWorld.nextHandle++;
  Entity e;
  e.kind = kind;
  e.position = position;
  e.human = human;
  TheWorld.entities[handle] = e;
  return handle;
}

Entity* FindEntity(int32_t handle) {
  auto it = TheWorld.entities.find(handle);
  return it == TheWorld.entities.end() ? nullptr : &it->second;
}

void RemoveEntity(int32_t handle) {
  if (Entity* e = FindEntity(handle)) e->exists = false;
}

int32_t AddBlip(int32_t entity, uint32_t style) {
  int32_t handle = TheWorld.nextHandle++;
  TheWorld.blips[handle] = Blip{entity, style, 0.0f, true};
  return handle;
}

void AddModel(const char* name, int framesToStream, bool human) {
  Model m;
  m.framesToStream = framesToStream;
  m.human = human;
  TheWorld.models[HashName(name)] = m;
}

float Distance(Vec3 a, Vec3 b) {
  float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

float GroundAt(float x, float y) {
  float z = 0.0f;
  return TheWorld.ground && TheWorld.ground(x, y, z) ? z : 0.0f;
}

size_t CountCalls(const std::string& nativeName) {
  size_t n = 0;
  for (const Call& c : TheWorld.trace) n += c.Name() == nativeName;
  return n;
}

std::vector<std::string> TraceNames() {
  std::vector<std::string> names;
  for (const Call& c : TheWorld.trace) names.push_back(c.Name());
  return names;
}

void ClearTrace() {
  TheWorld.trace.clear();
}

uint32_t HashName(const char* name) {
  uint32_t h = 0;
  for (const char* p = name; *p; ++p) {
    h += static_cast<uint32_t>(std::tolower(static_cast<unsigned char>(*p)));
    h += h << 10;
    h ^= h >> 6;
  }
  h += h << 3;
  h ^= h >> 11;
  h += h << 15;
  return h;
}

}  // namespace sim

// The hook's nine functions, as the plugin's core declares them.
namespace sagebrook::hook {

void scriptRegister(void* module, ScriptFunction script) {
  sim::TheRegistrations.module = module;
  sim::TheRegistrations.script = script;
  sim::TheRegistrations.log.push_back("scriptRegister");
}

void scriptUnregister(void* module) {
  if (module != sim::TheRegistrations.module) sim::Fail("scriptUnregister with another module");
  sim::TheRegistrations.script = nullptr;
  sim::TheRegistrations.log.push_back("scriptUnregister");
}

void keyboardHandlerRegister(KeyboardHandlerFunction handler) {
  sim::TheRegistrations.keyboard = handler;
  sim::TheRegistrations.log.push_back("keyboardHandlerRegister");
}

void keyboardHandlerUnregister(KeyboardHandlerFunction handler) {
  if (handler != sim::TheRegistrations.keyboard) sim::Fail("unregistering an unknown handler");
  sim::TheRegistrations.keyboard = nullptr;
  sim::TheRegistrations.log.push_back("keyboardHandlerUnregister");
}

void scriptWait(uint32_t milliseconds) {
  sim::AdvanceFrame(milliseconds);
  if (sim::AfterWait) sim::AfterWait();
  if (sim::FrameBudget >= 0 && --sim::FrameBudget <= 0) throw sim::ScriptStopped{};
}

void nativeInit(uint64_t hash) {
  sim::InsideSimulator inside;
  if (sim::CallOpen) sim::Fail("nativeInit while another call is open");
  auto& table = sim::Table();
  auto it = table.indexByHash.find(hash);
  if (it == table.indexByHash.end()) {
    char text[64];
    std::snprintf(text, sizeof text, "unknown native 0x%016llX",
                  static_cast<unsigned long long>(hash));
    sim::Fail(text);
    return;
  }
  sim::Pending.native = &sim::Catalogue()[it->second];
  sim::Pending.count = 0;
  sim::Pending.text.clear();
  sim::CallOpen = true;
}

void nativePush64(uint64_t value) {
  if (!sim::CallOpen) return sim::Fail("nativePush64 outside a call");
  if (sim::Pending.count >= static_cast<int>(sim::Pending.args.size())) {
    return sim::Fail("too many argument slots");
  }
  sim::Pending.args[static_cast<size_t>(sim::Pending.count++)] = value;
}

uint64_t* nativeCall() {
  sim::InsideSimulator inside;
  std::memset(sim::Result, 0, sizeof sim::Result);
  if (!sim::CallOpen) {
    sim::Fail("nativeCall without nativeInit");
    return sim::Result;
  }
  sim::CallOpen = false;
  const sim::CatalogueEntry* native = sim::Pending.native;
  if (sim::Pending.count != native->slots) {
    sim::Fail(std::string(native->name) + " called with " + std::to_string(sim::Pending.count) +
              " slots, takes " + std::to_string(native->slots));
    return sim::Result;
  }
  if (sim::CallObserver) sim::CallObserver(sim::Pending);
  auto& table = sim::Table();
  const sim::Handler& handler = table.handlers[table.indexByHash[native->hash]];
  if (handler) handler(sim::Pending, sim::Result);
  ++sim::TheWorld.nativeCalls;
  if (sim::TheWorld.tracing) sim::TheWorld.trace.push_back(sim::Pending);
  return sim::Result;
}

int32_t worldGetAllPeds(int32_t* handles, int32_t capacity) {
  sim::InsideSimulator inside;
  if (sim::TheWorld.allPeds) return sim::TheWorld.allPeds(handles, capacity);
  int32_t n = 0;
  for (const auto& [handle, e] : sim::TheWorld.entities) {
    if (n >= capacity) break;
    if (e.exists && e.kind == sim::EntityKind::Ped) handles[n++] = handle;
  }
  return n;
}

}  // namespace sagebrook::hook
