#include "scenario.h"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace simcli {

Frontier TheFrontier;

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kRoadNodeSpacing = 8.0f;

struct Traveller {
  int32_t ped = 0;
  const Path* path = nullptr;
  float offset = 0.0f;
  float speed = 0.0f;  // m/s; negative walks the path backwards
};
std::vector<Traveller> Travellers;

constexpr float kLookDistance = 8.0f;   // how close he rides to what he looks at
constexpr float kShotDistance = 25.0f;  // how near a noose must be to shoot it
constexpr uint32_t kLingerMs = 20000;

// The player: along the round, or off it to look at something.
struct Rider {
  float rideDistance = 0.0f;  // how far round the ride he has come
  uint32_t lastMs = 0;
  bool away = false;
  bool returning = false;
  Point target;
  uint32_t lingerUntil = 0;  // 0 until he is there
};
Rider ThePlayer;

// The layout is the same for every seed, so pictures of different sessions
// compare; this generator only scatters trees and townsfolk.
uint32_t LayoutState = 12345;
float LayoutRandom() {
  LayoutState = LayoutState * 1664525u + 1013904223u;
  return static_cast<float>(LayoutState >> 8) / 16777216.0f;
}

// Heading as the game measures it: degrees from north, counter-clockwise.
float HeadingOf(float dx, float dy) {
  float h = std::atan2(-dx, dy) * 180.0f / kPi;
  return h < 0.0f ? h + 360.0f : h;
}

void AddRoadNodes(const Path& road) {
  const size_t n = road.points.size();
  const size_t segments = road.closed ? n : n - 1;
  for (size_t i = 0; i < segments; ++i) {
    const Point a = road.points[i];
    const Point b = road.points[(i + 1) % n];
    const float length = std::hypot(b.x - a.x, b.y - a.y);
    const float heading = HeadingOf(b.x - a.x, b.y - a.y);
    for (float d = 0.0f; d < length; d += kRoadNodeSpacing) {
      const float x = a.x + (b.x - a.x) * d / length;
      const float y = a.y + (b.y - a.y) * d / length;
      sim::GetWorld().roads.push_back({{x, y, GroundHeight(x, y)}, heading});
    }
  }
}

void AddOverhead(float x, float y, float radius, float aboveGround, bool beam) {
  sim::GetWorld().overheads.push_back({x, y, radius, GroundHeight(x, y) + aboveGround});
  TheFrontier.overheadIsBeam.push_back(beam);
}

void AddGrove(Point centre, float radius, int trees) {
  for (int i = 0; i < trees; ++i) {
    const float angle = LayoutRandom() * 2.0f * kPi;
    const float r = radius * std::sqrt(LayoutRandom());
    AddOverhead(centre.x + r * std::cos(angle), centre.y + r * std::sin(angle),
                3.0f + 2.5f * LayoutRandom(), 3.2f + 3.3f * LayoutRandom(), false);
  }
}

// Houses along the street and the loop road, each with a porch beam, and the
// town's gallows beam on the square.
void AddTown(Point centre) {
  TheFrontier.townCentre = centre;
  for (int side = -1; side <= 1; side += 2) {
    for (int i = -3; i <= 3; ++i) {
      if (i == 0) continue;
      const Building b{
          {centre.x + static_cast<float>(side) * 22.0f, centre.y + static_cast<float>(i) * 26.0f},
          14.0f,
          18.0f};
      TheFrontier.buildings.push_back(b);
      AddOverhead(b.centre.x - static_cast<float>(side) * 9.0f, b.centre.y, 2.5f, 3.2f, true);
    }
  }
  AddOverhead(centre.x + 8.0f, centre.y + 4.0f, 1.5f, 3.6f, true);
}

void AddModels() {
  struct Group {
    std::initializer_list<const char*> names;
    bool human;
  };
  const Group groups[] = {
      {{"A_M_M_RhdTownfolk_01", "A_M_M_ValTownfolk_01", "A_M_M_StrTownfolk_01"}, true},
      {{"A_C_Wolf", "A_C_Cougar_01", "A_C_Bear_01"}, false},
      {{"G_M_M_BountyHunters_01", "A_M_M_UniGunslinger_01"}, true},
      {{"A_C_DogBluetickCoonhound_01", "A_C_DogHound_01", "A_C_DogAmericanFoxhound_01"}, false},
      {{"wagon05x", "wagon04x", "wagon03x", "wagon02x", "wagonTraveller01x", "chuckwagon002x",
        "stagecoach001x", "cart01"},
       false},
      {{"G_M_M_UniCriminals_01", "G_M_M_UniCriminals_02"}, true},
      {{"p_shotglass01x", "p_noose02x"}, false},
  };
  for (const Group& g : groups) {
    for (const char* name : g.names) {
      sim::AddModel(name, 3, g.human);
      TheFrontier.modelNames[sim::HashName(name)] = name;
    }
  }
  // Teams come quickly, except for the two old carts whose horses never
  // take to the harness: those stall, and the watchdog has work.
  for (const char* name : {"wagon05x", "wagon04x", "wagon03x", "wagon02x", "wagonTraveller01x",
                           "chuckwagon002x", "stagecoach001x", "cart01"}) {
    sim::Model& m = sim::GetWorld().models[sim::HashName(name)];
    m.draftAnimals = 2;
    m.harnessAfterMs =
        std::string_view(name) == "cart01" || std::string_view(name) == "wagon02x" ? -1 : 400;
  }
}

int32_t AddPerson(Point at, const char* model) {
  const int32_t ped =
      sim::AddEntity(sim::EntityKind::Ped, {at.x, at.y, GroundHeight(at.x, at.y)}, true);
  sim::FindEntity(ped)->model = sim::HashName(model);
  TheFrontier.ownPeds.insert(ped);
  return ped;
}

void PlaceOnPath(int32_t ped, const Path& path, float distance) {
  float heading = 0.0f;
  const Point p = path.At(distance, heading);
  sim::Entity* e = sim::FindEntity(ped);
  e->position = {p.x, p.y, GroundHeight(p.x, p.y)};
  e->heading = heading;
}

}  // namespace

float Path::Length() const {
  float total = 0.0f;
  const size_t n = points.size();
  for (size_t i = 0; i + 1 < n + (closed ? 1 : 0); ++i) {
    total += std::hypot(points[(i + 1) % n].x - points[i].x, points[(i + 1) % n].y - points[i].y);
  }
  return total;
}

Point Path::At(float distance, float& heading) const {
  const float length = Length();
  const size_t n = points.size();
  bool backwards = false;
  if (closed) {
    distance = std::fmod(std::fmod(distance, length) + length, length);
  } else {
    // Open paths are walked there and back.
    distance = std::fmod(std::fmod(distance, 2.0f * length) + 2.0f * length, 2.0f * length);
    if (distance > length) {
      distance = 2.0f * length - distance;
      backwards = true;
    }
  }
  for (size_t i = 0; i + 1 < n + (closed ? 1 : 0); ++i) {
    const Point a = points[i];
    const Point b = points[(i + 1) % n];
    const float segment = std::hypot(b.x - a.x, b.y - a.y);
    if (distance <= segment || i + 2 == n + (closed ? 1 : 0)) {
      const float t = segment > 0.0f ? std::fmin(distance / segment, 1.0f) : 0.0f;
      heading = backwards ? HeadingOf(a.x - b.x, a.y - b.y) : HeadingOf(b.x - a.x, b.y - a.y);
      return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
    }
    distance -= segment;
  }
  heading = 0.0f;
  return points.front();
}

float GroundHeight(float x, float y) {
  // Gently rolling: never more than a few metres over a spawn distance.
  return 20.0f + 2.5f * std::sin(x / 190.0f) + 1.5f * std::cos(y / 150.0f);
}

void BuildFrontier(int32_t startHour) {
  TheFrontier = Frontier{};
  Travellers.clear();
  ThePlayer = Rider{};
  LayoutState = 12345;
  sim::World& w = sim::GetWorld();
  TheFrontier.startTick = w.tick;
  TheFrontier.startHour = startHour;
  w.ground = [](float x, float y, float& z) {
    z = GroundHeight(x, y);
    return true;
  };

  const Point a{-700, -350}, b{-250, -480}, c{350, -430}, d{760, -120}, e{720, 330}, f{180, 520},
      g{-420, 470}, h{-780, 120};
  TheFrontier.roads.push_back({"Loop road", {a, b, c, d, e, f, g, h}, true});
  TheFrontier.roads.push_back({"Main Street", {{-250, -640}, {-250, -320}}, false});
  TheFrontier.trail = {"Prairie trail", {e, h}, false};
  TheFrontier.ride = {"The ride", {b, c, d, e, h, a}, true};
  for (const Path& road : TheFrontier.roads) AddRoadNodes(road);

  AddTown(b);
  AddGrove({560, -330}, 90.0f, 80);
  AddGrove({840, 140}, 80.0f, 60);
  AddGrove({-240, 250}, 70.0f, 50);
  AddGrove({-880, -160}, 90.0f, 70);
  AddGrove({-80, 610}, 80.0f, 50);
  // Cottonwoods scattered along the roads and the trail, off to either side.
  for (const Path* path : {&TheFrontier.roads[0], &TheFrontier.trail}) {
    for (float along = 0.0f; along < path->Length(); along += 12.0f) {
      float heading = 0.0f;
      const Point p = path->At(along, heading);
      const float side = LayoutRandom() < 0.5f ? -1.0f : 1.0f;
      const float away = side * (40.0f + 90.0f * LayoutRandom());
      const float radians = heading * kPi / 180.0f;
      AddOverhead(p.x + std::cos(radians) * away, p.y + std::sin(radians) * away,
                  5.0f + 4.0f * LayoutRandom(), 3.5f + 3.0f * LayoutRandom(), false);
    }
  }
  for (int i = 0; i < 40; ++i) {
    AddOverhead(-1000.0f + 2000.0f * LayoutRandom(), -700.0f + 1450.0f * LayoutRandom(),
                3.5f + 2.0f * LayoutRandom(), 3.5f + 2.5f * LayoutRandom(), false);
  }
  AddModels();

  w.playerPed = AddPerson(b, "A_M_M_ValTownfolk_01");
  sim::FindEntity(w.playerPed)->group = sim::HashName("PLAYER");
  w.playerInControl = true;

  // Townsfolk: some walking or riding the loop both ways, two on Main Street.
  const Path& loop = TheFrontier.roads[0];
  const char* const folk[] = {"A_M_M_RhdTownfolk_01", "A_M_M_ValTownfolk_01",
                              "A_M_M_StrTownfolk_01"};
  for (int i = 0; i < 10; ++i) {
    const float speed = (i % 3 == 0 ? 4.0f : 1.4f + LayoutRandom()) * (i % 2 == 0 ? 1.0f : -1.0f);
    const float offset = loop.Length() * static_cast<float>(i) / 10.0f + 40.0f * LayoutRandom();
    Travellers.push_back({AddPerson(b, folk[i % 3]), &loop, offset, speed});
  }
  for (int i = 0; i < 2; ++i) {
    Travellers.push_back(
        {AddPerson(b, folk[i]), &TheFrontier.roads[1], 120.0f * static_cast<float>(i), 1.2f});
  }
  StepFrontier(0);
}

namespace {

// Moves the point toward the target by at most step; true once there.
bool MoveToward(sim::Vec3& at, Point target, float step) {
  const float dx = target.x - at.x;
  const float dy = target.y - at.y;
  const float d = std::hypot(dx, dy);
  if (d <= step) {
    at.x = target.x;
    at.y = target.y;
  } else {
    at.x += dx / d * step;
    at.y += dy / d * step;
  }
  at.z = GroundHeight(at.x, at.y);
  return d <= step;
}

// A noose near the player with a living man on it: he shoots it through.
bool ShootNooseNear(const sim::Vec3& player) {
  for (auto& [handle, rope] : sim::GetWorld().ropes) {
    const sim::Entity* victim = sim::FindEntity(rope.entityA);
    if (!rope.exists || rope.broken || !victim || !victim->exists || victim->dead) continue;
    if (sim::Distance(player, victim->position) < kShotDistance) {
      rope.broken = true;
      return true;
    }
  }
  return false;
}

const char* MovePlayer(sim::Entity& player, uint32_t elapsedMs) {
  Rider& r = ThePlayer;
  const float seconds =
      elapsedMs > r.lastMs ? static_cast<float>(elapsedMs - r.lastMs) / 1000.0f : 0.0f;
  r.lastMs = elapsedMs;
  if (!r.away) {
    r.rideDistance += seconds * kRideSpeed;
    PlaceOnPath(sim::GetWorld().playerPed, TheFrontier.ride, r.rideDistance);
    return nullptr;
  }
  if (r.returning) {
    float heading = 0.0f;
    if (MoveToward(player.position, TheFrontier.ride.At(r.rideDistance, heading),
                   seconds * kGallopSpeed)) {
      r.away = false;
      return "back on the road";
    }
    return nullptr;
  }
  const char* action = ShootNooseNear(player.position) ? "shoots through the noose" : nullptr;
  if (r.lingerUntil == 0) {
    const float left = std::hypot(r.target.x - player.position.x, r.target.y - player.position.y);
    // Half a metre of slack, so rounding cannot keep him a hair short.
    if (left > kLookDistance + 0.5f) {
      MoveToward(player.position, r.target,
                 std::fmin(seconds * kGallopSpeed, left - kLookDistance));
    } else {
      r.lingerUntil = elapsedMs + kLingerMs;
    }
  } else if (elapsedMs >= r.lingerUntil) {
    r.returning = true;
  }
  return action;
}

}  // namespace

bool RideOverTo(sim::Vec3 point) {
  Rider& r = ThePlayer;
  if (r.away) return false;
  r = Rider{r.rideDistance, r.lastMs, true, false, {point.x, point.y}, 0};
  return true;
}

const char* StepFrontier(uint32_t elapsedMs) {
  sim::World& w = sim::GetWorld();
  const int32_t minutes = GameMinutes(elapsedMs);
  w.clockHour = minutes / 60 % 24;
  // The log's wall clock reads the time since the session began.
  w.hour = static_cast<uint16_t>(elapsedMs / 3600000 % 24);
  w.minute = static_cast<uint16_t>(elapsedMs / 60000 % 60);
  w.second = static_cast<uint16_t>(elapsedMs / 1000 % 60);
  w.millisecond = static_cast<uint16_t>(elapsedMs % 1000);

  const float seconds = static_cast<float>(elapsedMs) / 1000.0f;
  const char* action = nullptr;
  if (sim::Entity* player = sim::FindEntity(w.playerPed); player && player->exists) {
    action = MovePlayer(*player, elapsedMs);
  }
  for (const Traveller& t : Travellers) {
    const sim::Entity* e = sim::FindEntity(t.ped);
    if (e && e->exists && !e->dead) PlaceOnPath(t.ped, *t.path, t.offset + seconds * t.speed);
  }
  // A wagon without its team rolls to a stop within a few seconds.
  for (auto& [handle, e] : w.entities) {
    if (e.kind == sim::EntityKind::Vehicle) e.slowing = e.draftAnimals.empty() ? 6.0f : 0.0f;
  }
  return action;
}

int32_t GameMinutes(uint32_t elapsedMs) {
  // One game hour per two minutes of play: a game minute per two seconds.
  return TheFrontier.startHour * 60 + static_cast<int32_t>(elapsedMs / 2000);
}

std::string ModelName(uint32_t hash) {
  auto it = TheFrontier.modelNames.find(hash);
  if (it != TheFrontier.modelNames.end()) return it->second;
  char text[24];
  std::snprintf(text, sizeof text, "model 0x%08X", hash);
  return text;
}

}  // namespace simcli
