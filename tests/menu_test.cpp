// The menu as the player meets it: rows and their values, keyboard and
// gamepad navigation, the two actions, blocked controls and the panel layout.
#include <string>
#include <vector>

#include "fixture.h"
#include "ui/menu.h"

namespace sagebrook::testing {
namespace {

constexpr uint32_t kF11 = 122, kUp = 38, kDown = 40, kLeft = 37, kRight = 39, kEnter = 13,
                   kBack = 8;

int ProbeCalls = 0;
int32_t ProbePed = 0;
void ProbeStart(int32_t playerPed) {
  ++ProbeCalls;
  ProbePed = playerPed;
}

class MenuTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    ProbeCalls = 0;
    for (auto& start : EventStarts) start = &ProbeStart;
  }
  void Press(uint32_t vk) {
    PressKey(vk);
    RunFrame();
  }
  void Pad(uint16_t buttons) {
    world().gamepadButtons = buttons;
    RunFrame();
  }
  // The twelve row lines of the last frame: title and version come first.
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    const auto& texts = world().lastFrame.texts;
    for (size_t i = 2; i < 14 && i < texts.size(); ++i) rows.push_back(texts[i].text);
    return rows;
  }
  std::string Row(size_t i) { return Rows().at(i); }
  std::string LastText() {
    const auto& texts = world().lastFrame.texts;
    return texts.empty() ? "" : texts.back().text;
  }
};

std::vector<int> Rgb(const sim::DrawnText& t) {
  return {t.r, t.g, t.b};
}

TEST_F(MenuTest, StartShowsDefaultsAndMarksOnlyTheSelectedRow) {
  Press(kF11);
  const std::vector<std::string> defaults = {
      "< Trigger Event Now >", "Ambient Events: ON",  "Frequency: Normal", "Spawn Distance: Random",
      "Event Blips: ON",       "Predator Attack: ON", "Runaway Wagon: ON", "Public Hanging: ON",
      "Drunken Folk: ON",      "Bounty Hunters: ON",  "Logging: OFF",      "Clear Spawned"};
  EXPECT_EQ(Rows(), defaults);

  const std::vector<std::string> help = {
      "Fire one random enabled event right now.  [Enter]",
      "Automatically fire events as you travel.",
      "How often ambient events occur.",
      "How far from you events appear, in a random direction.",
      "Show a pulsing minimap blip on each event (like vanilla encounters).",
      "A wild predator hunts a nearby traveler or you.",
      "A spooked horse-drawn wagon careens past.",
      "Outlaws string a captive up on a tree by the neck (rope + noose).",
      "Drunks wander and stagger about - only at night (19:00-06:00).",
      "Relentless armed hunters + 1-3 attack dogs track you down (sharp aim, never flee).",
      "Write Sagebrook.log to the game folder (for debugging). Turn OFF for normal play.",
      "Remove everything this mod has spawned.  [Enter]"};
  for (size_t selected = 0; selected < 12; ++selected) {
    SCOPED_TRACE(selected);
    const auto& texts = world().lastFrame.texts;
    ASSERT_EQ(texts.size(), 15u);
    EXPECT_EQ(texts[14].text, help[selected]);
    for (size_t i = 0; i < 12; ++i) {
      const sim::DrawnText& t = texts[2 + i];
      const bool marked = t.text.starts_with("< ") && t.text.ends_with(" >");
      EXPECT_EQ(marked, i == selected) << t.text;
      EXPECT_EQ(Rgb(t),
                (i == selected ? std::vector<int>{255, 220, 40} : std::vector<int>{255, 255, 255}));
    }
    EXPECT_EQ(world().lastFrame.rects.size(), 9u) << "one highlight only";
    Press(kDown);
  }
  EXPECT_EQ(MenuState.selectedIndex, 0) << "down from the last row wraps to the first";
  Press(kUp);
  EXPECT_EQ(Row(11), "< Clear Spawned >");
  PressKey(kUp);
  PressKey(kDown);
  RunFrame();
  EXPECT_EQ(MenuState.selectedIndex, 11) << "up and down in one frame cancel out";
}

TEST_F(MenuTest, LeftRightAndSelectCycleOptionsWithWrap) {
  Press(kF11);
  Press(kDown);
  Press(kDown);
  const uint32_t nextAmbient = AmbientSchedule.nextAmbientAt;
  Press(kLeft);
  EXPECT_EQ(Row(2), "< Frequency: Rare >");
  Press(kLeft);
  EXPECT_EQ(Row(2), "< Frequency: Often >");
  Press(kRight);
  EXPECT_EQ(Row(2), "< Frequency: Rare >");
  Press(kDown);
  Press(kRight);
  EXPECT_EQ(Row(3), "< Spawn Distance: Close >");
  Press(kLeft);
  EXPECT_EQ(Row(3), "< Spawn Distance: Random >");
  Press(kEnter);
  EXPECT_EQ(Row(3), "< Spawn Distance: Close >");
  Press(kEnter);
  EXPECT_EQ(Settings.spawnDistance, 1);
  EXPECT_EQ(Settings.frequency, 0);
  EXPECT_EQ(AmbientSchedule.nextAmbientAt, nextAmbient) << "only row 1 moves the schedule";
  EXPECT_EQ(ProbeCalls, 0);
}

TEST_F(MenuTest, ActionRowsIgnoreLeftRightAndRunTheirActionOnSelect) {
  Press(kF11);
  const std::vector<std::string> before = Rows();
  for (uint32_t vk : {kLeft, kRight}) Press(vk);
  Press(kUp);
  for (uint32_t vk : {kLeft, kRight}) Press(vk);
  Press(kDown);
  EXPECT_EQ(Rows(), before);
  EXPECT_EQ(ProbeCalls, 0);
  EXPECT_EQ(KeyPressedFlags[kLeft].load(), 0) << "the key is consumed even when it does nothing";

  Press(kEnter);
  EXPECT_EQ(ProbeCalls, 1);
  EXPECT_EQ(ProbePed, world().playerPed);
  EXPECT_TRUE(MenuState.menuOpen);
  EXPECT_EQ(Rows(), before);

  Press(kUp);
  Press(kEnter);
  EXPECT_EQ(ProbeCalls, 1);
  EXPECT_EQ(LastText(), "Cleared spawned events");
  EXPECT_TRUE(MenuState.menuOpen);
}

TEST_F(MenuTest, AmbientEventsTurnedOnMovesTheNextEventFiveSecondsAhead) {
  Press(kF11);
  Press(kDown);
  struct Step {
    uint32_t key;
    bool on;
  };
  for (Step step : {Step{kRight, false}, Step{kRight, true}, Step{kLeft, false}, Step{kLeft, true},
                    Step{kEnter, false}, Step{kEnter, true}}) {
    SCOPED_TRACE(step.key);
    world().tick += 777;
    const uint32_t now = world().tick;
    AmbientSchedule.nextAmbientAt = now + 99999;
    Press(step.key);
    EXPECT_EQ(Settings.ambientEvents, step.on ? 1 : 0);
    EXPECT_EQ(AmbientSchedule.nextAmbientAt, now + (step.on ? 5000 : 99999));
  }
}

TEST_F(MenuTest, BackClosesAndKeysReleasedWhileClosedActOnOpening) {
  Press(kF11);
  Press(kDown);
  Press(kBack);
  EXPECT_FALSE(MenuState.menuOpen);
  EXPECT_TRUE(world().lastFrame.texts.empty());

  PressKey(kDown);
  PressKey(kRight);
  RunFrames(3);
  EXPECT_EQ(MenuState.selectedIndex, 1);
  EXPECT_EQ(KeyPressedFlags[kDown].load(), 1) << "navigation keys wait while the menu is closed";
  Press(kF11);
  EXPECT_EQ(Row(2), "< Frequency: Often >") << "reopens on the last row, then down and right";

  Press(kBack);
  PressKey(kBack);
  RunFrame();
  EXPECT_EQ(KeyPressedFlags[kBack].load(), 1);
  Press(kF11);
  EXPECT_FALSE(MenuState.menuOpen) << "opened and closed again in one frame";
  EXPECT_TRUE(world().lastFrame.texts.empty());
  EXPECT_EQ(world().lastFrame.disabledControls.size(), 25u);
  EXPECT_EQ(KeyPressedFlags[kBack].load(), 0);
}

TEST_F(MenuTest, GamepadTogglesOncePerPressOfRbAndX) {
  for (int i = 0; i < 4; ++i) Pad(kPadRB | kPadX);
  EXPECT_TRUE(MenuState.menuOpen);
  EXPECT_EQ(world().lastFrame.texts.size(), 15u);
  Pad(kPadRB);
  EXPECT_TRUE(MenuState.menuOpen);
  Pad(kPadRB | kPadX);
  EXPECT_FALSE(MenuState.menuOpen);
  Pad(kPadX);
  Pad(kPadRB | kPadX);
  EXPECT_TRUE(MenuState.menuOpen) << "RB joining a held X completes the pair";
  Pad(0);
  PressKey(kF11);
  Pad(kPadRB | kPadX);
  EXPECT_FALSE(MenuState.menuOpen) << "the menu key and the pair in one frame toggle once";
  Pad(0);
  Pad(kPadRB | kPadX);

  for (int i = 0; i < 3; ++i) Pad(kPadDown);
  EXPECT_EQ(MenuState.selectedIndex, 1) << "a held button acts once";
  Pad(0);
  Pad(kPadUp);
  Pad(0);
  Pad(kPadUp);
  EXPECT_EQ(MenuState.selectedIndex, 11);
  Pad(kPadA);
  EXPECT_EQ(LastText(), "Cleared spawned events");
  Pad(kPadB);
  EXPECT_FALSE(MenuState.menuOpen);

  MenuState.selectedIndex = 3;
  for (uint16_t b : {kPadUp, uint16_t(0), kPadDown, uint16_t(0), kPadA, uint16_t(0), kPadB}) {
    Pad(b);
    EXPECT_TRUE(world().lastFrame.disabledControls.empty());
  }
  EXPECT_EQ(MenuState.selectedIndex, 3);
  EXPECT_EQ(Settings.spawnDistance, 3);
  EXPECT_FALSE(MenuState.menuOpen);
}

TEST_F(MenuTest, BlocksTheMenuControlsInOrderOnlyWhileOpen) {
  const char* const names[] = {
      "INPUT_FRONTEND_LEFT",       "INPUT_FRONTEND_RIGHT",     "INPUT_GAME_MENU_LEFT",
      "INPUT_GAME_MENU_RIGHT",     "INPUT_OPEN_JOURNAL",       "INPUT_DOCUMENT_PAGE_PREV",
      "INPUT_DOCUMENT_PAGE_NEXT",  "INPUT_OPEN_SATCHEL_MENU",  "INPUT_OPEN_SATCHEL_HORSE_MENU",
      "INPUT_SWITCH_FIRING_MODE",  "INPUT_QUICK_USE_ITEM",     "INPUT_PREV_WEAPON",
      "INPUT_NEXT_WEAPON",         "INPUT_SELECT_NEXT_WEAPON", "INPUT_SELECT_PREV_WEAPON",
      "INPUT_FRONTEND_UP",         "INPUT_FRONTEND_DOWN",      "INPUT_GAME_MENU_UP",
      "INPUT_GAME_MENU_DOWN",      "INPUT_OPEN_WHEEL_MENU",    "INPUT_OPEN_RADIO_WHEEL",
      "INPUT_OPEN_EMOTE_WHEEL",    "INPUT_TOGGLE_HOLSTER",     "INPUT_MAP_SELECT_WAYPOINT",
      "INPUT_OPEN_PROMPTS_JOURNAL"};
  std::vector<uint32_t> expected;
  for (const char* name : names) expected.push_back(sim::HashName(name));

  RunFrame();
  EXPECT_TRUE(world().lastFrame.disabledControls.empty());
  Press(kF11);
  EXPECT_EQ(world().lastFrame.disabledControls, expected);
  RunFrame();
  EXPECT_EQ(world().lastFrame.disabledControls, expected) << "again in every open frame";
  Press(kF11);
  EXPECT_TRUE(world().lastFrame.disabledControls.empty());
}

// Centre x, centre y, width, height of the eight panel rectangles in drawing
// order, then the highlight of row 5; text x and row step; text y and scale of
// title, version, row 0 and help.
struct Layout {
  int32_t height;
  float rects[9][4];
  float cx, rowStep;
  float textY[4], scales[4];
};

const Layout kLayouts[] = {
    {1080,
     {{0.15525f, 0.151875f, 0.2805f, 0.12375f},
      {0.15525f, 0.54045f, 0.2805f, 0.6534f},
      {0.15525f, 0.937275f, 0.2805f, 0.14025f},
      {0.15525f, 0.09f, 0.2825f, 0.002f},
      {0.15525f, 1.0074f, 0.2825f, 0.002f},
      {0.015f, 0.5487f, 0.002f, 0.9174f},
      {0.2955f, 0.5487f, 0.002f, 0.9174f},
      {0.15525f, 0.21375f, 0.2805f, 0.002f},
      {0.15525f, 0.513225f, 0.2805f, 0.05445f}},
     0.15525f,
     0.05445f,
     {0.0999f, 0.156f, 0.222f, 0.87705f},
     {0.66f, 0.363f, 0.462f, 0.3135f}},
    {2160,
     {{0.2955f, 0.21375f, 0.561f, 0.2475f},
      {0.2955f, 0.9909f, 0.561f, 1.3068f},
      {0.2955f, 1.78455f, 0.561f, 0.2805f},
      {0.2955f, 0.09f, 0.563f, 0.002f},
      {0.2955f, 1.9248f, 0.563f, 0.002f},
      {0.015f, 1.0074f, 0.002f, 1.8348f},
      {0.576f, 1.0074f, 0.002f, 1.8348f},
      {0.2955f, 0.3375f, 0.561f, 0.002f},
      {0.2955f, 0.93645f, 0.561f, 0.1089f}},
     0.2955f,
     0.1089f,
     {0.1098f, 0.222f, 0.354f, 1.6641f},
     {1.32f, 0.726f, 0.924f, 0.627f}},
};

TEST_F(MenuTest, PanelGeometryFollowsTheScreenHeight) {
  const int colours[9][4] = {{0, 0, 0, 255},     {0, 0, 0, 180},     {0, 0, 0, 220},
                             {200, 120, 0, 255}, {200, 120, 0, 255}, {200, 120, 0, 255},
                             {200, 120, 0, 255}, {200, 120, 0, 255}, {255, 255, 255, 70}};
  constexpr float kTol = 1e-5f;
  MenuState.selectedIndex = 5;
  Press(kF11);
  for (const Layout& l : kLayouts) {
    SCOPED_TRACE(l.height);
    world().screenHeight = l.height;
    RunFrame();
    const sim::DrawList& f = world().lastFrame;
    ASSERT_EQ(f.rects.size(), 9u);
    for (size_t i = 0; i < 9; ++i) {
      SCOPED_TRACE(i);
      const sim::DrawnRect& r = f.rects[i];
      EXPECT_NEAR(r.x, l.rects[i][0], kTol);
      EXPECT_NEAR(r.y, l.rects[i][1], kTol);
      EXPECT_NEAR(r.width, l.rects[i][2], kTol);
      EXPECT_NEAR(r.height, l.rects[i][3], kTol);
      EXPECT_EQ((std::vector<int>{r.r, r.g, r.b, r.a}),
                (std::vector<int>(colours[i], colours[i] + 4)));
    }
    ASSERT_EQ(f.texts.size(), 15u);
    for (size_t i = 0; i < 15; ++i) {
      const sim::DrawnText& t = f.texts[i];
      SCOPED_TRACE(t.text);
      const size_t kind = i < 2 ? i : i == 14 ? 3 : 2;
      const float row = kind == 2 ? static_cast<float>(i - 2) : 0.0f;
      EXPECT_NEAR(t.x, l.cx, kTol);
      EXPECT_NEAR(t.y, l.textY[kind] + row * l.rowStep, kTol);
      EXPECT_NEAR(t.scale, l.scales[kind], kTol);
      EXPECT_TRUE(t.centred && t.shadow && t.a == 255);
    }
    EXPECT_EQ(f.texts[0].text, "SAGEBROOK");
    EXPECT_EQ(Rgb(f.texts[0]), (std::vector<int>{230, 170, 40}));
    EXPECT_EQ(f.texts[1].text, "v1.1");
    EXPECT_EQ(Rgb(f.texts[1]), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(Rgb(f.texts[7]), (std::vector<int>{255, 220, 40})) << "row 5 is selected";
    EXPECT_EQ(Rgb(f.texts[14]), (std::vector<int>{255, 255, 255}));
  }

  world().screenHeight = 0;
  RunFrame();
  EXPECT_TRUE(world().lastFrame.rects.empty());
  EXPECT_TRUE(world().lastFrame.texts.empty());
  EXPECT_EQ(world().lastFrame.disabledControls.size(), 25u) << "input still runs";
}

}  // namespace
}  // namespace sagebrook::testing
