#pragma once
// The built-in frontier: a loop road with a town, groves and open country,
// townsfolk travelling the roads, a game clock, and the player riding along.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sim.h"

namespace simcli {

struct Point {
  float x = 0.0f;
  float y = 0.0f;
};

struct Path {
  std::string name;
  std::vector<Point> points;
  bool closed = false;
  float Length() const;
  // The point at a distance along the path (wrapping or bouncing) and the
  // game heading of travel there.
  Point At(float distance, float& heading) const;
};

struct Building {
  Point centre;
  float width = 0.0f;
  float depth = 0.0f;
};

struct Frontier {
  std::vector<Path> roads;
  Path trail;  // the player's short-cut over open country
  Path ride;   // the player's whole round
  std::vector<Building> buildings;
  std::vector<bool> overheadIsBeam;  // parallel to World::overheads
  Point townCentre;
  std::map<uint32_t, std::string> modelNames;
  std::set<int32_t> ownPeds;  // the player and the travellers
  uint32_t startTick = 0;
  int32_t startHour = 0;
};

extern Frontier TheFrontier;

inline constexpr float kRideSpeed = 7.5f;     // m/s, a steady canter
inline constexpr float kGallopSpeed = 12.0f;  // m/s, off the road to see

float GroundHeight(float x, float y);

// Fills the simulated world: ground, roads, overheads, models, the player and
// the travellers; the game clock stands at startHour.
void BuildFrontier(int32_t startHour);

// Moves everyone and the clocks to elapsedMs of play. Returns what the
// player did in this step worth a line of the timeline, or nullptr.
const char* StepFrontier(uint32_t elapsedMs);

// The player leaves the road to see what happened at the point, lingers a
// while and rides back; a call while already away is ignored. On the way he
// shoots through any noose he comes near.
bool RideOverTo(sim::Vec3 point);

// Game clock in minutes since midnight of the first day.
int32_t GameMinutes(uint32_t elapsedMs);

std::string ModelName(uint32_t hash);

}  // namespace simcli
