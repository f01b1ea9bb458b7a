// The menu as the player meets it: rows and their values, keyboard and
// gamepad navigation, the two actions, blocked controls and the panel layout.
#include <sstream>
#include <tuple>
#include <utility>

#include "fixture.h"
#include "menu/menu.h"

namespace sagebrook::testing {
namespace {

constexpr uint32_t kF11 = 122, kUp = 38, kDown = 40, kLeft = 37, kRight = 39, kEnter = 13,
                   kBack = 8;
const std::vector<int> kWhite = {255, 255, 255}, kGold = {255, 220, 40};

class MenuTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    ProbeEvents();
  }
  void Pad(uint16_t buttons) {
    world().gamepadButtons = buttons;
    RunFrame();
  }
  static std::vector<int> Rgb(const sim::DrawnText& t) { return {t.r, t.g, t.b}; }
  // Row i of the last frame: title and version come first.
  std::string Row(int32_t i) { return world().lastFrame.texts.at(2 + static_cast<size_t>(i)).text; }
};

// Each row with the default settings, and its help line.
const std::pair<std::string, std::string> kRows[] = {
    {"Trigger Event Now", "Fire one random enabled event right now.  [Enter]"},
    {"Ambient Events: ON", "Automatically fire events as you travel."},
    {"Frequency: Normal", "How often ambient events occur."},
    {"Spawn Distance: Random", "How far from you events appear, in a random direction."},
    {"Event Blips: ON", "Show a pulsing minimap blip on each event (like vanilla encounters)."},
    {"Predator Attack: ON", "A wild predator hunts a nearby traveler or you."},
    {"Runaway Wagon: ON", "A spooked horse-drawn wagon careens past."},
    {"Public Hanging: ON", "Outlaws string a captive up on a tree by the neck (rope + noose)."},
    {"Drunken Folk: ON", "Drunks wander and stagger about - only at night (19:00-06:00)."},
    {"Bounty Hunters: ON",
     "Relentless armed hunters + 1-3 attack dogs track you down (sharp aim, never flee)."},
    {"Logging: OFF",
     "Write Sagebrook.log to the game folder (for debugging). Turn OFF for normal play."},
    {"Clear Spawned", "Remove everything this mod has spawned.  [Enter]"}};

TEST_F(MenuTest, EveryRowAndItsHelpLineWithTheHighlightMovingDownAndWrapping) {
  Press(kF11);
  for (size_t selected = 0; selected < 12; ++selected) {
    SCOPED_TRACE(selected);
    ASSERT_EQ(world().lastFrame.texts.size(), 15u);
    for (size_t i = 0; i < 12; ++i) {
      EXPECT_EQ(world().lastFrame.texts[2 + i].text,
                i == selected ? "< " + kRows[i].first + " >" : kRows[i].first);
      EXPECT_EQ(Rgb(world().lastFrame.texts[2 + i]), i == selected ? kGold : kWhite);
    }
    EXPECT_EQ(world().lastFrame.texts[14].text, kRows[selected].second);
    Press(kDown);
  }
  EXPECT_EQ(MenuState.selectedIndex, 0) << "down from the last row wraps to the first";
}

TEST_F(MenuTest, ActionRowsActOnSelectAndChoicesCycleBothWays) {
  Press(kF11);
  Press(kEnter);
  ASSERT_EQ(Started.size(), 1u);
  EXPECT_EQ(Started[0].playerPed, world().playerPed);
  Press(kUp);
  for (uint32_t vk : {kLeft, kRight, kEnter}) Press(vk);
  EXPECT_EQ(KeyPressedFlags[kLeft].load(), 0) << "the key is consumed even when it does nothing";
  EXPECT_EQ(Row(11), "< Clear Spawned >");
  EXPECT_EQ(Started.size(), 1u);
  EXPECT_EQ(world().lastFrame.texts.back().text, "Cleared spawned events");
  EXPECT_TRUE(MenuState.menuOpen) << "both actions leave the menu open";

  // Turning Ambient Events on, by any key, brings the next event to 5 s from now.
  Press(kDown);
  Press(kDown);
  for (uint32_t vk : {kRight, kRight, kLeft, kLeft, kEnter, kEnter}) {
    const uint32_t now = world().tick += 777;
    AmbientSchedule.nextAmbientAt = now + 99999;
    Press(vk);
    EXPECT_EQ(AmbientSchedule.nextAmbientAt, now + (Settings.ambientEvents ? 5000 : 99999)) << vk;
  }
  EXPECT_EQ(Row(1), "< Ambient Events: ON >");

  const uint32_t nextAmbient = AmbientSchedule.nextAmbientAt;
  const std::pair<uint32_t, const char*> steps[] = {
      {kDown, "< Frequency: Normal >"},      {kLeft, "< Frequency: Rare >"},
      {kLeft, "< Frequency: Often >"},       {kRight, "< Frequency: Rare >"},
      {kEnter, "< Frequency: Normal >"},     {kDown, "< Spawn Distance: Random >"},
      {kRight, "< Spawn Distance: Close >"}, {kLeft, "< Spawn Distance: Random >"},
      {kEnter, "< Spawn Distance: Close >"}};
  for (const auto& [vk, text] : steps) {
    Press(vk);
    EXPECT_EQ(Row(MenuState.selectedIndex), text);
  }
  EXPECT_EQ(AmbientSchedule.nextAmbientAt, nextAmbient) << "only Ambient Events moves the timer";
}

TEST_F(MenuTest, ControlsAreBlockedOnlyWhileOpenAndKeysWaitForTheMenu) {
  std::istringstream names(
      "FRONTEND_LEFT FRONTEND_RIGHT GAME_MENU_LEFT GAME_MENU_RIGHT OPEN_JOURNAL DOCUMENT_PAGE_PREV "
      "DOCUMENT_PAGE_NEXT OPEN_SATCHEL_MENU OPEN_SATCHEL_HORSE_MENU SWITCH_FIRING_MODE "
      "QUICK_USE_ITEM PREV_WEAPON NEXT_WEAPON SELECT_NEXT_WEAPON SELECT_PREV_WEAPON FRONTEND_UP "
      "FRONTEND_DOWN GAME_MENU_UP GAME_MENU_DOWN OPEN_WHEEL_MENU OPEN_RADIO_WHEEL OPEN_EMOTE_WHEEL "
      "TOGGLE_HOLSTER MAP_SELECT_WAYPOINT OPEN_PROMPTS_JOURNAL");
  std::vector<uint32_t> blocked;
  for (std::string name; names >> name;)
    blocked.push_back(sim::HashName(("INPUT_" + name).c_str()));
  Press(kF11);
  EXPECT_EQ(world().lastFrame.disabledControls, blocked);
  Press(kDown);
  EXPECT_EQ(world().lastFrame.disabledControls, blocked) << "in order, in every open frame";
  Press(kBack);
  EXPECT_FALSE(MenuState.menuOpen);

  PressKey(kDown);
  PressKey(kRight);
  RunFrames(3);
  EXPECT_TRUE(world().lastFrame.texts.empty());
  EXPECT_TRUE(world().lastFrame.disabledControls.empty());
  EXPECT_EQ(KeyPressedFlags[kDown].load(), 1) << "navigation keys wait while the menu is closed";
  Press(kF11);
  EXPECT_EQ(Row(2), "< Frequency: Often >") << "reopens on the last row, then down and right";
}

TEST_F(MenuTest, GamepadActsOncePerPressAndOnlyWhileOpen) {
  // The button word of each frame, then whether the menu is open and which row is selected:
  // RB+X held toggles once, RB joining a held X is a press, a held Down acts once, Up wraps,
  // B closes, and while closed the pad only opens.
  const uint16_t RBX = kPadRB | kPadX;
  const std::tuple<uint16_t, bool, int32_t> steps[] = {
      {RBX, 1, 0},    {RBX, 1, 0},       {RBX, 1, 0},      {kPadRB, 1, 0},   {RBX, 0, 0},
      {kPadX, 0, 0},  {RBX, 1, 0},       {kPadDown, 1, 1}, {kPadDown, 1, 1}, {0, 1, 1},
      {kPadUp, 1, 0}, {0, 1, 0},         {kPadUp, 1, 11},  {kPadB, 0, 11},   {kPadUp, 0, 11},
      {0, 0, 11},     {kPadDown, 0, 11}, {RBX, 1, 11}};
  for (size_t i = 0; i < std::size(steps); ++i) {
    Pad(std::get<0>(steps[i]));
    EXPECT_EQ(MenuState.menuOpen, std::get<1>(steps[i])) << i;
    EXPECT_EQ(MenuState.selectedIndex, std::get<2>(steps[i])) << i;
  }
  Pad(kPadA);
  EXPECT_EQ(world().lastFrame.texts.back().text, "Cleared spawned events");
  Pad(0);
  PressKey(kF11);
  Pad(RBX);
  EXPECT_FALSE(MenuState.menuOpen) << "the menu key and the pair in one frame toggle once";
}

// The panel at 1080 lines: centre x, centre y, width and height of the eight
// rectangles in drawing order and of row 5's highlight; the part of each size
// that is the border's thickness, which does not scale; the colour.
struct PanelRect {
  float x, y, w, h, fixedW, fixedH;
  int rgba[4];
};
constexpr float B = 0.002f;
const PanelRect kPanel[] = {{0.15525f, 0.151875f, 0.2805f, 0.12375f, 0, 0, {0, 0, 0, 255}},
                            {0.15525f, 0.54045f, 0.2805f, 0.6534f, 0, 0, {0, 0, 0, 180}},
                            {0.15525f, 0.937275f, 0.2805f, 0.14025f, 0, 0, {0, 0, 0, 220}},
                            {0.15525f, 0.09f, 0.2825f, B, B, B, {200, 120, 0, 255}},
                            {0.15525f, 1.0074f, 0.2825f, B, B, B, {200, 120, 0, 255}},
                            {0.015f, 0.5487f, B, 0.9174f, B, 0, {200, 120, 0, 255}},
                            {0.2955f, 0.5487f, B, 0.9174f, B, 0, {200, 120, 0, 255}},
                            {0.15525f, 0.21375f, 0.2805f, B, 0, B, {200, 120, 0, 255}},
                            {0.15525f, 0.513225f, 0.2805f, 0.05445f, 0, 0, {255, 255, 255, 70}}};
// Text y and scale of title, version, row 0 and help; then the row step.
const float kTextY[] = {0.0999f, 0.156f, 0.222f, 0.87705f}, kRowStep = 0.05445f;
const float kScale[] = {0.66f, 0.363f, 0.462f, 0.3135f};

TEST_F(MenuTest, PanelScalesWithTheScreenHeightFromItsTopLeftCorner) {
  constexpr float kTol = 1e-5f;
  MenuState.selectedIndex = 5;
  Press(kF11);
  for (int32_t height : {1080, 2160}) {
    SCOPED_TRACE(height);
    const float k = static_cast<float>(height) / 1080.0f;
    auto x = [k](float at1080) { return 0.015f + k * (at1080 - 0.015f); };
    auto y = [k](float at1080) { return 0.09f + k * (at1080 - 0.09f); };
    auto size = [k](float at1080, float fixed) { return fixed + k * (at1080 - fixed); };
    world().screenHeight = height;
    RunFrame();
    const sim::DrawList& f = world().lastFrame;
    ASSERT_EQ(f.rects.size(), 9u);
    for (size_t i = 0; i < 9; ++i) {
      SCOPED_TRACE(i);  // the rectangle
      const PanelRect& e = kPanel[i];
      const sim::DrawnRect& r = f.rects[i];
      EXPECT_NEAR(r.x, x(e.x), kTol);
      EXPECT_NEAR(r.y, y(e.y), kTol);
      EXPECT_NEAR(r.width, size(e.w, e.fixedW), kTol);
      EXPECT_NEAR(r.height, size(e.h, e.fixedH), kTol);
      EXPECT_EQ((std::vector<int>{r.r, r.g, r.b, r.a}), std::vector<int>(e.rgba, e.rgba + 4));
    }
    ASSERT_EQ(f.texts.size(), 15u);
    for (size_t i = 0; i < 15; ++i) {
      const sim::DrawnText& t = f.texts[i];
      SCOPED_TRACE(t.text);
      const size_t kind = i < 2 ? i : i == 14 ? 3 : 2;
      const float row = kind == 2 ? static_cast<float>(i - 2) : 0.0f;
      EXPECT_NEAR(t.x, x(0.15525f), kTol);
      EXPECT_NEAR(t.y, y(kTextY[kind] + row * kRowStep), kTol);
      EXPECT_NEAR(t.scale, k * kScale[kind], kTol);
      EXPECT_TRUE(t.centred && t.shadow && t.a == 255);
    }
    EXPECT_EQ(f.texts[0].text + " " + f.texts[1].text, "SAGEBROOK v1.1");
    EXPECT_EQ(Rgb(f.texts[0]), (std::vector<int>{230, 170, 40}));
    EXPECT_EQ(Rgb(f.texts[1]), kWhite);
  }

  world().screenHeight = 0;
  RunFrame();
  EXPECT_TRUE(world().lastFrame.rects.empty());
  EXPECT_TRUE(world().lastFrame.texts.empty());
  EXPECT_EQ(world().lastFrame.disabledControls.size(), 25u) << "input still runs";
}

}  // namespace
}  // namespace sagebrook::testing
