#include "ui/settings.h"

namespace sagebrook {

SettingsRecord Settings;
std::vector<MenuItem> MenuItems;
MenuStateRecord MenuState;

void BuildMenu() {
  SettingsRecord& s = Settings;
  MenuItems.clear();
  MenuItems.push_back(
      {"Trigger Event Now", nullptr, "Fire one random enabled event right now.  [Enter]", {}});
  MenuItems.push_back({"Ambient Events",
                       &s.ambientEvents,
                       "Automatically fire events as you travel.",
                       {"OFF", "ON"}});
  MenuItems.push_back(
      {"Frequency", &s.frequency, "How often ambient events occur.", {"Rare", "Normal", "Often"}});
  MenuItems.push_back({"Spawn Distance",
                       &s.spawnDistance,
                       "How far from you events appear, in a random direction.",
                       {"Close", "Medium", "Far", "Random"}});
  MenuItems.push_back({"Event Blips",
                       &s.eventBlips,
                       "Show a pulsing minimap blip on each event (like vanilla encounters).",
                       {"OFF", "ON"}});
  MenuItems.push_back({"Predator Attack",
                       &s.predatorAttack,
                       "A wild predator hunts a nearby traveler or you.",
                       {"OFF", "ON"}});
  MenuItems.push_back({"Runaway Wagon",
                       &s.runawayWagon,
                       "A spooked horse-drawn wagon careens past.",
                       {"OFF", "ON"}});
  MenuItems.push_back({"Public Hanging",
                       &s.publicHanging,
                       "Outlaws string a captive up on a tree by the neck (rope + noose).",
                       {"OFF", "ON"}});
  MenuItems.push_back({"Drunken Folk",
                       &s.drunkenFolk,
                       "Drunks wander and stagger about - only at night (19:00-06:00).",
                       {"OFF", "ON"}});
  MenuItems.push_back(
      {"Bounty Hunters",
       &s.bountyHunters,
       "Relentless armed hunters + 1-3 attack dogs track you down (sharp aim, never flee).",
       {"OFF", "ON"}});
  MenuItems.push_back(
      {"Logging",
       &s.logging,
       "Write Sagebrook.log to the game folder (for debugging). Turn OFF for normal play.",
       {"OFF", "ON"}});
  MenuItems.push_back(
      {"Clear Spawned", nullptr, "Remove everything this mod has spawned.  [Enter]", {}});
}

}  // namespace sagebrook
