#include "chaos/soak.h"

#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "chaos/handle_check.h"
#include "diag/log.h"
#include "events/dispatcher.h"
#include "events/hanging.h"
#include "events/wagon.h"
#include "fixture.h"
#include "menu/menu.h"
#include "world/spawning.h"

namespace sagebrook::chaos {

std::vector<EventBound> EventBounds() {
  // A hanging is idle again within its lead-in and its limit; a wagon watch
  // within its two checks.
  return {
      {"hanging", [] { return ExecutionState.active ? int64_t{ExecutionState.victim} : 0; },
       kLeadInMs + kHangingLimitMs},
      {"wagon watch", [] { return int64_t{WagonWatch.vehicle}; }, 2 * kWagonCheckMs},
  };
}

namespace {

// Counts the starts of whatever events the table holds while it lives.
struct CountEventStarts {
  static inline EventStart Inner[5] = {};
  static inline uint32_t started = 0;
  template <int32_t kIndex>
  static void Counted(int32_t playerPed) {
    ++started;
    Inner[kIndex](playerPed);
  }
  CountEventStarts() {
    started = 0;
    const EventStart counted[] = {Counted<0>, Counted<1>, Counted<2>, Counted<3>, Counted<4>};
    for (int32_t i = 0; i < 5; ++i) {
      Inner[i] = EventStarts[i];
      if (Inner[i] != nullptr) EventStarts[i] = counted[i];
    }
  }
  ~CountEventStarts() {
    for (int32_t i = 0; i < 5; ++i) {
      if (Inner[i] != nullptr) EventStarts[i] = Inner[i];
    }
  }
  CountEventStarts(const CountEventStarts&) = delete;
  CountEventStarts& operator=(const CountEventStarts&) = delete;
};

constexpr size_t kListBound = 256;
constexpr uint64_t kNativesPerWaitBound = 20000;
constexpr uint32_t kBoundSlackMs = 500;
constexpr const char* kCreators[] = {"CreatePed", "CreateVehicle", "CreateObject", "AddRope",
                                     "AddBlipForEntity"};
constexpr const char* kAnimals[] = {"A_C_Wolf",
                                    "A_C_Cougar_01",
                                    "A_C_Bear_01",
                                    "A_C_DogAmericanFoxhound_01",
                                    "A_C_DogBluetickCoonhound_01",
                                    "A_C_DogHound_01"};

std::vector<std::string>* SimFailures = nullptr;
void RecordSimFailure(const std::string& message) {
  if (SimFailures && SimFailures->size() < 20) SimFailures->push_back("game: " + message);
}
void ReportSimFailure(const std::string& message) {
  ADD_FAILURE() << "simulated game: " << message;
}

struct Goal {
  int32_t row = -1;  // -1: none
  uint32_t key = 0;  // the key that acts on the row once it is selected
  bool close = false;
};

class Soak {
 public:
  explicit Soak(const SoakOptions& options) : o_(options), random_(options.seed) {
    report_.seed = options.seed;
  }
  SoakReport Run();

 private:
  sim::World& w() { return sim::GetWorld(); }
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(random_() % n); }
  float Uniform(float a, float b) { return std::uniform_real_distribution<float>(a, b)(random_); }
  // True on average ratePerMinute times a minute of game time.
  bool Chance(double ratePerMinute) {
    return std::uniform_real_distribution<double>(0, 1)(random_) <
           ratePerMinute * lastFrameMs_ / 60000.0;
  }
  void Fault(const std::string& kind) { ++report_.faults[kind]; }
  void Failure(const std::string& what) {
    if (report_.failures.size() < 20) {
      report_.failures.push_back("frame " + std::to_string(w().frame) + ": " + what);
    }
  }

  void BuildCountry();
  void WrapNatives();
  void EnsureModel(uint32_t hash);
  void MoveWorld();
  void InjectFaults();
  void PlayerFaults();
  void DriveMenu();
  void VanishFromTheRegistry();
  void AfterGameFrame();
  void CheckFrame();
  void Finish();
  int32_t NewPlayerPed(sim::Vec3 at);
  float GroundAt(float x, float y) {
    return 10.0f + 3.0f * std::sin(x / 50.0f) + std::cos(y / 70.0f);
  }

  SoakOptions o_;
  std::mt19937 random_;
  SoakReport report_;
  HandleCheck check_;
  std::vector<std::string> simFailures_;
  std::set<uint32_t> animals_;
  std::map<std::string, uint64_t> failingUntil_;  // creating natives answering 0
  bool insideFrame_ = false;
  bool finishing_ = false;  // the game behaves for the final Clear Spawned
  uint32_t lastTick_ = 0;
  uint32_t lastFrameMs_ = 16;
  uint64_t elapsedMs_ = 0;
  uint64_t nativesAtWait_ = 0;
  sim::Vec3 heading_{1, 0, 0};
  float speed_ = 0;
  sim::Vec3 roadsAround_{1e9f, 0, 0};
  uint64_t playerBackAt_ = 0;  // frame the player's stretch ends; 0 none
  int32_t hiddenPlayer_ = 0;
  uint64_t controlBackAt_ = 0;
  Goal goal_;
  int crowdTriggers_ = 0;
  bool crowdEndsInClear_ = false;
  struct Busy {
    int64_t with = 0;
    uint32_t since = 0;
  };
  std::vector<Busy> busy_;
};

int32_t Soak::NewPlayerPed(sim::Vec3 at) {
  const int32_t ped = sim::AddEntity(sim::EntityKind::Ped, at);
  sim::FindEntity(ped)->group = sim::HashName("PLAYER");
  return ped;
}

void Soak::BuildCountry() {
  w().ground = [this](float x, float y, float& z) {
    // Now and then a patch without ground, as over water.
    if (std::fmod(std::fabs(x + y), 900.0f) < 40.0f) return false;
    z = GroundAt(x, y);
    return true;
  };
  for (const char* animal : kAnimals) animals_.insert(sim::HashName(animal));
  w().playerPed = NewPlayerPed({0, 0, GroundAt(0, 0)});
}

void Soak::EnsureModel(uint32_t hash) {
  if (w().models.count(hash)) return;
  sim::Model m;
  m.framesToStream = static_cast<int>(Below(8));
  m.human = animals_.count(hash) == 0;
  w().models[hash] = m;
}

void Soak::WrapNatives() {
  // The game knows every model it is asked about, until a fault says otherwise.
  sim::Handler inImage = sim::GetHandler("IsModelInImage");
  sim::SetHandler("IsModelInImage", [this, inImage](sim::Call& c, uint64_t* r) {
    EnsureModel(c.U32(0));
    inImage(c, r);
  });
  for (const char* name : kCreators) {
    sim::Handler inner = sim::GetHandler(name);
    sim::SetHandler(name, [this, name, inner](sim::Call& c, uint64_t* r) {
      if (failingUntil_[name] > w().frame) return;  // the slot stays 0: nothing made
      if (inner) inner(c, r);
    });
  }
}

// The player travels; roads follow him; bystanders come and go; the game
// takes back what was released once it is far away.
void Soak::MoveWorld() {
  sim::Entity* player = sim::FindEntity(hiddenPlayer_ ? hiddenPlayer_ : w().playerPed);
  if (crowdTriggers_ > 0) speed_ = 0;
  if (Chance(3)) {
    const float a = Uniform(0, 6.2831853f);
    heading_ = {std::cos(a), std::sin(a), 0};
    const float speeds[] = {0.0f, 1.5f, 6.0f, 12.0f};
    speed_ = speeds[Below(4)];
  }
  if (!player) return;
  sim::Vec3& p = player->position;
  const float dt = static_cast<float>(lastFrameMs_) / 1000.0f;
  p.x += heading_.x * speed_ * dt;
  p.y += heading_.y * speed_ * dt;
  p.z = GroundAt(p.x, p.y);
  if (sim::Distance(p, roadsAround_) > 400.0f) {
    roadsAround_ = p;
    w().roads.clear();
    for (int i = -60; i <= 60; ++i) {
      const float d = static_cast<float>(i) * 10.0f;
      w().roads.push_back({{p.x + d, p.y + 35.0f, GroundAt(p.x + d, p.y + 35)}, 90.0f});
      w().roads.push_back({{p.x - 80.0f, p.y + d, GroundAt(p.x - 80, p.y + d)}, 0.0f});
    }
    // Trees and beams, some too low to hang from.
    w().overheads.clear();
    for (int i = 0; i < 300; ++i) {
      const float x = p.x + Uniform(-250, 250), y = p.y + Uniform(-250, 250);
      w().overheads.push_back({x, y, Uniform(2, 8), GroundAt(x, y) + Uniform(1.5f, 7)});
    }
  }
  if (Chance(6)) {
    const float a = Uniform(0, 6.2831853f), d = Uniform(10, 90);
    const float x = p.x + d * std::cos(a), y = p.y + d * std::sin(a);
    sim::AddEntity(sim::EntityKind::Ped, {x, y, GroundAt(x, y)}, Below(5) != 0);
  }
  if (w().frame % 120 != 0) return;
  for (auto& [handle, e] : w().entities) {
    if (!e.exists || handle == w().playerPed || handle == hiddenPlayer_) continue;
    if (check_.created().count(handle) && !e.released) continue;  // the plugin's own
    if (sim::Distance(e.position, p) > 300.0f) e.exists = false;
  }
}

void Soak::PlayerFaults() {
  if (playerBackAt_ != 0 && w().frame >= playerBackAt_) {
    playerBackAt_ = 0;
    if (hiddenPlayer_ != 0) {  // back from loading
      w().playerPed = hiddenPlayer_;
      hiddenPlayer_ = 0;
    } else {  // a new ped after death or removal
      sim::Entity* old = sim::FindEntity(w().playerPed);
      const sim::Vec3 at = old ? old->position : sim::Vec3{};
      if (old) old->exists = false;
      w().playerPed = NewPlayerPed(at);
    }
  }
  if (playerBackAt_ != 0) return;
  if (insideFrame_ && Chance(30)) {
    Fault("player: ped removed while an event waits");
    playerBackAt_ = w().frame + 30 + Below(600);
    sim::FindEntity(w().playerPed)->exists = false;
  } else if (!insideFrame_ && Chance(0.4)) {
    playerBackAt_ = w().frame + 30 + Below(600);
    switch (Below(3)) {
      case 0:
        Fault("player: loading, no ped");
        hiddenPlayer_ = w().playerPed;
        w().playerPed = 0;
        break;
      case 1:
        Fault("player: ped dies");
        sim::FindEntity(w().playerPed)->dead = true;
        break;
      default:
        Fault("player: ped removed");
        sim::FindEntity(w().playerPed)->exists = false;
    }
  }
}

void Soak::InjectFaults() {
  PlayerFaults();
  if (controlBackAt_ != 0 && w().frame >= controlBackAt_) {
    controlBackAt_ = 0;
    w().playerInControl = true;
  }
  if (controlBackAt_ == 0 && Chance(0.5)) {
    Fault("control lost");
    controlBackAt_ = w().frame + 60 + Below(1500);
    w().playerInControl = false;
  }
  if (Chance(1)) {
    Fault("game clock jumps");
    w().clockHour = static_cast<int32_t>(Below(24));
  }
  if (!w().models.empty() && Chance(2)) {
    auto it = std::next(w().models.begin(),
                        static_cast<long>(Below(static_cast<uint32_t>(w().models.size()))));
    sim::Model& m = it->second;
    m.requested = false;
    m.loaded = false;
    m.inImage = m.valid = true;
    switch (Below(6)) {
      case 0:
        Fault("model: missing");
        (Below(2) ? m.inImage : m.valid) = false;
        break;
      case 1:
        Fault("model: slow (150 to 400 frames)");
        m.framesToStream = 150 + static_cast<int>(Below(250));
        break;
      case 2:
        Fault("model: never arrives");
        m.framesToStream = -1;
        break;
      default:
        m.framesToStream = static_cast<int>(Below(8));
    }
  }
  for (const char* name : kCreators) {
    if (failingUntil_[name] <= w().frame && Chance(1)) {
      Fault(std::string(name) + " answers 0");
      failingUntil_[name] = w().frame + 1 + Below(400);
    }
  }
  // What the plugin made vanishes or dies, or its blip goes.
  const auto& made = check_.created();
  if (!made.empty() && Chance(4)) {
    auto it = std::next(made.begin(), static_cast<long>(Below(static_cast<uint32_t>(made.size()))));
    if (sim::Entity* e = sim::FindEntity(it->first); e && e->exists) {
      if (Below(2)) {
        Fault("entity vanishes");
        e->exists = false;
      } else {
        Fault("entity dies");
        e->dead = true;
      }
    } else if (auto b = w().blips.find(it->first); b != w().blips.end() && b->second.exists) {
      Fault("blip vanishes");
      b->second.exists = false;
    }
  }
  if (!w().ropes.empty() && Chance(1)) {
    auto it = std::next(w().ropes.begin(),
                        static_cast<long>(Below(static_cast<uint32_t>(w().ropes.size()))));
    if (it->second.exists && !it->second.broken) {
      // A rope snaps, or the game takes it away.
      if (Below(2) == 0) {
        Fault("rope breaks");
        it->second.broken = true;
      } else {
        Fault("rope vanishes");
        it->second.exists = false;
      }
    }
  }
  if (Chance(2) && !w().entities.empty()) {
    const int32_t handle = w().entities.rbegin()->first - static_cast<int32_t>(Below(40));
    sim::Entity* e = sim::FindEntity(handle);
    if (e && e->exists && handle != w().playerPed && !made.count(handle)) {
      Fault("bystander vanishes or dies");
      if (Below(2)) {
        e->exists = false;
      } else {
        e->dead = true;
      }
    }
  }
}

// Just before "Clear Spawned", the game removes one entry of each list it
// deletes from, so that the clear meets handles that no longer exist.
void Soak::VanishFromTheRegistry() {
  Fault("registry entries vanish just before Clear Spawned");
  for (const std::vector<int32_t>* list : {&SpawnedPeds, &SpawnedVehicles, &RigObjects}) {
    if (list->empty()) continue;
    if (sim::Entity* e = sim::FindEntity((*list)[Below(static_cast<uint32_t>(list->size()))])) {
      e->exists = false;
    }
  }
  if (!RigRopes.empty()) {
    auto rope = w().ropes.find(RigRopes[Below(static_cast<uint32_t>(RigRopes.size()))]);
    if (rope != w().ropes.end()) rope->second.exists = false;
  }
  if (!EventBlips.empty()) {
    auto blip = w().blips.find(EventBlips[Below(static_cast<uint32_t>(EventBlips.size()))].blip);
    if (blip != w().blips.end()) blip->second.exists = false;
  }
}

void Soak::DriveMenu() {
  const KeyBindingsRecord& k = KeyBindings;
  w().gamepadButtons = 0;
  if (goal_.row < 0) {
    // A crowd: the player stands while events are fired one after another
    // until the registry has been full for a while.
    if (crowdTriggers_ == 0 && Chance(0.05)) {
      Fault("crowd: events fired until the registry is full");
      crowdTriggers_ = 600;
      crowdEndsInClear_ = Below(2) == 0;
    }
    if (crowdTriggers_ > 0) {
      crowdTriggers_ =
          SpawnedPeds.size() >= kSpawnedPedLimit && crowdTriggers_ > 10 ? 10 : crowdTriggers_ - 1;
      goal_ = {kTriggerEventRow, k.selectKey, false};
      // Some crowds end in "Clear Spawned", with everything still close.
      if (crowdTriggers_ == 0 && crowdEndsInClear_) goal_ = {kClearSpawnedRow, k.selectKey, true};
    } else if (Chance(6)) {
      goal_ = {kTriggerEventRow, k.selectKey, Below(3) != 0};
    } else if (Chance(0.12)) {
      goal_ = {kClearSpawnedRow, k.selectKey, true};
    } else if (Chance(1)) {
      // Settings change at random; those left off are switched back on more often.
      int32_t row = 1 + static_cast<int32_t>(Below(10));
      for (int32_t r = 1; r <= 9; ++r) {
        if (*MenuItems[static_cast<size_t>(r)].value == 0 && Below(2)) row = r;
      }
      const uint32_t keys[] = {k.leftKey, k.rightKey, k.selectKey};
      goal_ = {row, keys[Below(3)], Below(2) == 0};
    } else if (Chance(2)) {
      // A stray key while the menu is closed stays pending until it opens.
      const uint32_t keys[] = {k.upKey, k.downKey, k.leftKey, k.rightKey, k.selectKey, k.backKey};
      sim::ReleaseKey(keys[Below(6)]);
    }
    return;
  }
  const bool pad = Below(3) == 0;
  if (!MenuState.menuOpen) {
    if (pad && (MenuState.previousButtons & (kPadRB | kPadX)) == 0) {
      w().gamepadButtons = kPadRB | kPadX;
    } else {
      sim::ReleaseKey(k.menuKey);
    }
  } else if (MenuState.selectedIndex != goal_.row) {
    const int32_t n = static_cast<int32_t>(MenuItems.size());
    const bool down = (goal_.row - MenuState.selectedIndex + n) % n <= n / 2;
    if (pad && MenuState.previousButtons == 0) {
      w().gamepadButtons = down ? kPadDown : kPadUp;
    } else {
      sim::ReleaseKey(down ? k.downKey : k.upKey);
    }
  } else if (goal_.key != 0) {
    if (goal_.row == kClearSpawnedRow && !finishing_) VanishFromTheRegistry();
    if (goal_.key == k.selectKey && pad && MenuState.previousButtons == 0) {
      w().gamepadButtons = kPadA;
    } else {
      sim::ReleaseKey(goal_.key);
    }
    goal_.key = 0;
    if (!goal_.close) goal_.row = -1;
  } else {
    sim::ReleaseKey(k.backKey);
    goal_.row = -1;
  }
}

void Soak::CheckFrame() {
  if (SpawnedPeds.size() > kSpawnedPedLimit) {
    Failure("SpawnedPeds holds " + std::to_string(SpawnedPeds.size()));
  }
  auto handles = [&](const char* name, const std::vector<int32_t>& list, auto issued) {
    size_t& longest = report_.longest[name];
    longest = std::max(longest, list.size());
    if (list.size() > kListBound) Failure(std::string(name) + " grows past its bound");
    for (int32_t h : list) {
      if (!issued(h)) Failure(std::string(name) + " holds " + std::to_string(h) + ", never issued");
    }
  };
  auto entity = [](int32_t h) { return sim::FindEntity(h) != nullptr; };
  handles("SpawnedPeds", SpawnedPeds, entity);
  handles("SpawnedVehicles", SpawnedVehicles, entity);
  handles("HunterDogs", HunterDogs, entity);
  handles("RigObjects", RigObjects, entity);
  handles("PendingStrangers", PendingStrangers, entity);
  handles("RigRopes", RigRopes, [&](int32_t h) { return w().ropes.count(h) != 0; });
  std::vector<int32_t> blips;
  for (const BlipRecord& r : EventBlips) blips.push_back(r.blip);
  handles("EventBlips", blips, [&](int32_t h) { return w().blips.count(h) != 0; });

  const uint64_t natives = check_.calls() - nativesAtWait_;
  if (natives > kNativesPerWaitBound) {
    Failure(std::to_string(natives) + " natives without yielding to the game");
  }
  nativesAtWait_ = check_.calls();

  const sim::Entity* player = sim::FindEntity(w().playerPed);
  const bool playerThere = player != nullptr && player->exists;
  busy_.resize(o_.bounds.size());
  for (size_t i = 0; i < o_.bounds.size(); ++i) {
    const int64_t with = o_.bounds[i].busy();
    Busy& b = busy_[i];
    if (with != b.with) b = {with, w().tick};
    // While an event waits inside a frame, or the player has no ped, no frame
    // step runs: the bound's clock stops.
    if (insideFrame_ || !playerThere) b.since += lastFrameMs_;
    // Past its limit already at the previous frame and still busy now.
    const uint32_t before = w().tick - lastFrameMs_;
    if (with != 0 && before - b.since > o_.bounds[i].limitMs + kBoundSlackMs &&
        static_cast<int32_t>(before - b.since) > 0) {
      Failure(std::string(o_.bounds[i].name) + " still busy " + std::to_string(w().tick - b.since) +
              " ms after it began");
      b.since = w().tick;  // once per overrun
    }
  }
}

void Soak::AfterGameFrame() {
  check_.Sync();
  lastFrameMs_ = w().tick - lastTick_;
  lastTick_ = w().tick;
  elapsedMs_ += lastFrameMs_;
  const uint64_t ms = elapsedMs_;
  w().hour = static_cast<uint16_t>(ms / 3600000 % 24);
  w().minute = static_cast<uint16_t>(ms / 60000 % 60);
  w().second = static_cast<uint16_t>(ms / 1000 % 60);
  w().millisecond = static_cast<uint16_t>(ms % 1000);
  ++report_.frames;
  CheckFrame();
  if (!finishing_) {
    MoveWorld();
    InjectFaults();
  }
  check_.GameAdded();
}

void Soak::Finish() {
  // The player comes back and takes control; the last act is "Clear Spawned".
  finishing_ = true;
  if (hiddenPlayer_ != 0) w().playerPed = hiddenPlayer_;
  hiddenPlayer_ = 0;
  if (sim::Entity* p = sim::FindEntity(w().playerPed); !p || !p->exists || p->dead) {
    w().playerPed = NewPlayerPed(p ? p->position : sim::Vec3{});
  }
  check_.GameAdded();
  w().playerInControl = true;
  Settings.ambientEvents = 0;
  goal_ = {kClearSpawnedRow, KeyBindings.selectKey, true};
  for (int i = 0; i < 100 && goal_.row >= 0; ++i) {
    DriveMenu();
    FrameUpdate();
    hook::scriptWait(0);
  }
  if (goal_.row >= 0) Failure("the final Clear Spawned could not be reached through the menu");

  for (const auto& [handle, c] : check_.created()) {
    const std::string kind = MadeName(c.kind);
    ++report_.created[kind];
    std::string ending;
    if (c.kind == Made::Blip) {
      ending = w().blips[handle].exists ? "" : "removed";
    } else if (c.kind == Made::Rope) {
      const sim::Rope& r = w().ropes[handle];
      ending = r.deleted ? "deleted" : !r.exists ? "gone with the game" : "";
    } else {
      const sim::Entity& e = *sim::FindEntity(handle);
      ending = e.deleted                                  ? "deleted"
               : e.released && e.promptName == "Stranger" ? "converted into a stranger"
               : e.released                               ? "released to the game"
               : !e.exists                                ? "removed by the game"
               : c.spawnedPedsThen >= kSpawnedPedLimit    ? "untracked past the registry's 60"
                                                          : "";
    }
    if (ending.empty()) {
      Failure(kind + " " + std::to_string(handle) + " made in frame " + std::to_string(c.frame) +
              " is still in the world, neither deleted nor released");
    } else {
      ++report_.endings[kind + " " + ending];
    }
  }
  std::ifstream file(kLogFileName, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  for (const std::string& line : MalformedLogLines(content.str())) {
    Failure("log line not in a documented format: " + line);
  }
}

SoakReport Soak::Run() {
  const auto previousFolder = std::filesystem::current_path();
  char pattern[] = "/tmp/sagebrook-soak-XXXXXX";
  const std::filesystem::path folder = mkdtemp(pattern);
  std::filesystem::current_path(folder);

  sim::Reset();
  testing::ResetPluginState();
  SimFailures = &simFailures_;
  sim::SetFailureHandler(RecordSimFailure);
  const uint64_t totalMs = uint64_t{o_.minutes} * 60000;
  // The tick count wraps past 2^32 half-way through.
  w().tick = static_cast<uint32_t>(0x100000000ull - totalMs / 2);
  w().tracing = false;
  Fault("tick count wraps");
  lastTick_ = w().tick;
  BuildCountry();
  WrapNatives();
  check_.Install();
  PluginEntry(reinterpret_cast<void*>(0x7FF600000000), 1, nullptr);
  srand(o_.seed);
  Settings.frequency = 2;
  Settings.logging = 1;
  sim::SetAfterWait([this] { AfterGameFrame(); });

  CountEventStarts counting;
  bool crowded = false;
  while (elapsedMs_ < totalMs && report_.failures.size() + simFailures_.size() < 20) {
    if (!crowded && elapsedMs_ > totalMs / 4) {
      crowded = true;
      crowdTriggers_ = 600;
      crowdEndsInClear_ = true;
      Fault("crowd: events fired until the registry is full");
    }
    DriveMenu();
    insideFrame_ = true;
    FrameUpdate();
    insideFrame_ = false;
    w().frameMs = 12 + Below(29);
    uint32_t wait = 0;
    if (Chance(0.5)) {
      Fault("frame hitch (1 to 20 s)");
      wait = 1000 + Below(19000);
    }
    hook::scriptWait(wait);
  }
  Finish();
  report_.events = counting.started;
  report_.natives = check_.calls();
  for (const std::string& v : check_.violations()) report_.failures.push_back(v);
  for (const std::string& f : simFailures_) report_.failures.push_back(f);

  sim::SetAfterWait(nullptr);
  sim::SetCallObserver(nullptr);
  sim::SetFailureHandler(ReportSimFailure);
  SimFailures = nullptr;
  std::filesystem::current_path(previousFolder);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return report_;
}

// A printf format against a text: %d is an optional minus and digits, %lu
// digits, %.Nf a number with N decimals (or nan, inf), %s any text.
bool Matches(const char* f, const char* t) {
  if (*f == '\0') return *t == '\0';
  if (*f != '%') return *f == *t && Matches(f + 1, t + 1);
  if (f[1] == 's') {
    for (;; ++t) {
      if (Matches(f + 2, t)) return true;
      if (*t == '\0') return false;
    }
  }
  const char* end = f + 1;
  while (*end != 'd' && *end != 'u' && *end != 'f') ++end;
  if (*end != 'u' && *t == '-') ++t;
  if (*end == 'f' && (std::strncmp(t, "nan", 3) == 0 || std::strncmp(t, "inf", 3) == 0)) {
    return Matches(end + 1, t + 3);
  }
  const char* digits = t;
  while (std::isdigit(static_cast<unsigned char>(*t))) ++t;
  if (t == digits) return false;
  if (*end == 'f') {
    if (*t++ != '.') return false;
    for (int n = end[-1] - '0'; n > 0; --n) {
      if (!std::isdigit(static_cast<unsigned char>(*t++))) return false;
    }
  }
  return Matches(end + 1, t);
}

}  // namespace

std::vector<std::string> MalformedLogLines(const std::string& content) {
  static const char* const kFormats[] = {
      "==== Sagebrook loaded. F11 / RB+X menu ====",
      "In control - first event in ~%lus",
      "EVENT Predator: model=%s pred=%d target=%d (traveler=%d)",
      "EVENT Wagon: no road node near the player - skipped (wagons need a road to run)",
      "EVENT Wagon: veh=%d driver=%d onRoad=%d draftExpected=%d draftActual=%d driverInSeat=%d",
      "Wagon kickstart: re-issued drive task (was stopped)",
      "Wagon kickstart: still stopped - released to engine, untracked",
      "EVENT Execution: no tree/beam overhead found nearby - skipped",
      "EVENT Execution(hang): victim=%d e0=%d e1=%d anchorZ=%.1f",
      "Execution: hung victim=%d branchH=%.1f length=%.1f",
      "Execution: victim freed - greetable stranger, interact enabled",
      "Execution: victim hanged",
      "EVENT Drunks: spawned %d brawl=%d (hour=%d)",
      "EVENT BountyHunters: spawned %d hunters + %d dogs",
      "DIAG wagon: speed=%.2f driverInSeat=%d draftActual=%d",
      "DIAG dog[%d]: inCombat=%d fleeing=%d dead=%d dist=%.1f",
  };
  std::vector<std::string> bad;
  size_t start = 0;
  while (start < content.size()) {
    const size_t end = content.find("\r\n", start);
    if (end == std::string::npos) {
      bad.push_back(content.substr(start) + " (cut off)");
      break;
    }
    const std::string line = content.substr(start, end - start);
    // "[hh:mm:ss.mmm] " and then one of the messages.
    bool stamped = line.size() >= 15 && line.find_first_of("\r\n") == std::string::npos;
    for (size_t i = 0; stamped && i < 15; ++i) {
      const char c = "[00:00:00.000] "[i];
      stamped = c == '0' ? std::isdigit(static_cast<unsigned char>(line[i])) != 0 : line[i] == c;
    }
    bool known = false;
    for (const char* f : kFormats) known = known || (stamped && Matches(f, line.c_str() + 15));
    if (!known) bad.push_back(line);
    start = end + 2;
  }
  return bad;
}

std::string SoakReport::Figures() const {
  std::ostringstream out;
  out << "seed " << seed << ": " << frames << " frames, " << events << " events started, "
      << natives << " natives\n";
  out << "made by the plugin, and how each ended:\n";
  for (const auto& [kind, n] : created) out << "  " << n << " " << kind << "s\n";
  for (const auto& [ending, n] : endings) out << "    " << n << " " << ending << "\n";
  out << "faults injected:\n";
  for (const auto& [kind, n] : faults) out << "  " << n << " " << kind << "\n";
  out << "largest list sizes:";
  for (const auto& [list, n] : longest) out << " " << list << "=" << n;
  out << "\n";
  for (const std::string& f : failures) out << "FAILED (seed " << seed << "): " << f << "\n";
  return out.str();
}

SoakReport RunSoak(const SoakOptions& options) {
  return Soak(options).Run();
}

}  // namespace sagebrook::chaos
