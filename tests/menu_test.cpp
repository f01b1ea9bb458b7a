#include <cstring>

#include "fixture.h"
#include "game/wait.h"
#include "menu/menu.h"

namespace sagebrook::testing {
namespace {

constexpr int32_t kF11 = 122, kUp = 38, kDown = 40, kLeft = 37, kRight = 39, kEnter = 13, kBack = 8,
                  RBX = kPadRB | kPadX;
const std::vector<int> kWhite = {255, 255, 255}, kGold = {255, 220, 40};

using MenuTest = PluginTest;

// Key and pad buttons of a frame; then the selected row (-1 while closed), its
// value (-1 for none) and the effect: 'a' next ambient event in 5 s, 't' an
// event started, 'c' everything cleared.
const int32_t kSteps[][5] = {
    {kF11, 0, 0, -1, 0},    {kEnter, 0, 0, -1, 't'},  {kUp, 0, 11, -1, 0},
    {kLeft, 0, 11, -1, 0},  {kRight, 0, 11, -1, 0},   {kEnter, 0, 11, -1, 'c'},
    {kDown, 0, 0, -1, 0},   {kDown, 0, 1, 1, 0},      {kRight, 0, 1, 0, 0},
    {kRight, 0, 1, 1, 'a'}, {kLeft, 0, 1, 0, 0},      {kLeft, 0, 1, 1, 'a'},
    {kEnter, 0, 1, 0, 0},   {kEnter, 0, 1, 1, 'a'},   {kDown, 0, 2, 1, 0},
    {kLeft, 0, 2, 0, 0},    {kLeft, 0, 2, 2, 0},      {kRight, 0, 2, 0, 0},
    {kEnter, 0, 2, 1, 0},   {kDown, 0, 3, 3, 0},      {kRight, 0, 3, 0, 0},
    {kLeft, 0, 3, 3, 0},    {kEnter, 0, 3, 0, 0},     {kBack, 0, -1, -1, 0},
    {kDown, 0, -1, -1, 0},  {kRight, 0, -1, -1, 0},   {kF11, 0, 4, 0, 0},
    {0, RBX, -1, -1, 0},    {0, RBX, -1, -1, 0},      {0, kPadRB, -1, -1, 0},
    {0, RBX, 4, 0, 0},      {0, kPadX, 4, 0, 0},      {0, RBX, -1, -1, 0},
    {0, 0, -1, -1, 0},      {0, kPadDown, -1, -1, 0}, {0, kPadUp, -1, -1, 0},
    {0, kPadA, -1, -1, 0},  {0, RBX, 4, 0, 0},        {0, kPadDown, 5, 1, 0},
    {0, kPadDown, 5, 1, 0}, {0, kPadUp, 4, 0, 0},     {0, kPadA, 4, 1, 0},
    {kUp, 0, 3, 0, 0},      {kUp, 0, 2, 1, 0},        {kUp, 0, 1, 1, 0},
    {kUp, 0, 0, -1, 0},     {0, kPadUp, 11, -1, 0},   {0, kPadA, 11, -1, 'c'},
    {0, kPadB, -1, -1, 0},  {kF11, RBX, 11, -1, 0}};

TEST_F(MenuTest, KeysAndGamepadMoveAndChangeRowsActAndBlockControlsWhileOpen) {
  std::vector<uint32_t> blocked;
  for (const char* name : MenuBlockedControls) blocked.push_back(sim::HashName(name));
  ProbeEvents();
  RunFrame();  // the first-control gate
  for (size_t i = 0; i < std::size(kSteps); ++i) {
    const auto [key, pad, row, value, effect] = kSteps[i];
    SCOPED_TRACE(i);
    const uint32_t now = world().tick;
    AmbientSchedule.nextAmbientAt = now + 99999;
    Notification = {};
    const size_t started = Started.size();
    if (key != 0) PressKey(static_cast<uint32_t>(key));
    world().gamepadButtons = static_cast<uint16_t>(pad);
    RunFrame();
    const bool open = MenuState.menuOpen;
    const MenuItem& item = MenuItems[static_cast<size_t>(MenuState.selectedIndex)];
    EXPECT_EQ(open ? MenuState.selectedIndex : -1, row);
    EXPECT_EQ(open && item.value ? *item.value : -1, value);
    const bool closing = key == kBack || pad == kPadB;  // after this frame's input
    EXPECT_EQ(world().lastFrame.disabledControls,
              open || closing ? blocked : std::vector<uint32_t>{});
    EXPECT_EQ(world().lastFrame.texts.empty(), !open);
    EXPECT_EQ(AmbientSchedule.nextAmbientAt, now + (effect == 'a' ? 5000 : 99999));
    EXPECT_EQ(Started.size() - started, effect == 't' ? 1u : 0u);
    EXPECT_EQ(std::strcmp(Notification.text, "Cleared spawned events") == 0, effect == 'c');
  }
  EXPECT_EQ(Started.at(0).playerPed, world().playerPed);
}

TEST_F(MenuTest, RowsPanelAndNotificationAsDrawnTheLaterNotificationToItsExpiry) {
  ProbeEvents();
  world().tick = 0xFFFFF000u;
  Press(kF11);
  // Trigger Event Now and a due ambient event in one frame: the later line shows.
  DuringEvent = [this] {
    ShowNotification(Started.size() == 1 ? "first" : "second");
    WaitForGame(700);  // for its models; the frame still draws after the events
  };
  AmbientSchedule.nextAmbientAt = world().tick - 1;
  const uint32_t expiry = world().tick + 700 + 3500;
  ASSERT_LT(expiry, world().tick) << "the expiry lies past the wrap";
  Press(kEnter);
  ASSERT_EQ(Started.size(), 2u);
  EXPECT_EQ(CountTexts("first"), 0u);
  EXPECT_EQ(CountTexts("second"), 9u);

  MenuState.selectedIndex = 5;
  world().screenHeight = 2160;  // twice the height the layout is made for
  RunFrame();
  const sim::DrawList& f = world().lastFrame;
  // Header, body, footer, five borders, then row 5's highlight.
  std::vector<int> colours;
  for (const sim::DrawnRect& r : f.rects) colours.insert(colours.end(), {r.r, r.g, r.b, r.a});
  const int kBorder[] = {200, 120, 0, 255};
  std::vector<int> panel = {0, 0, 0, 255, 0, 0, 0, 180, 0, 0, 0, 220};
  for (int i = 0; i < 5; ++i) panel.insert(panel.end(), std::begin(kBorder), std::end(kBorder));
  panel.insert(panel.end(), {255, 255, 255, 70});
  EXPECT_EQ(colours, panel);
  const sim::DrawnRect& highlight = f.rects.at(8);
  EXPECT_NEAR(highlight.x, 0.015f + 2 * 0.14025f, 1e-5f);
  EXPECT_NEAR(highlight.y, 0.09f + 2 * (0.12375f + 5.5f * 0.05445f), 1e-5f);
  EXPECT_NEAR(highlight.width * highlight.height, 4 * 0.2805f * 0.05445f, 1e-6f);
  EXPECT_NEAR(f.texts.at(7).y, highlight.y - highlight.height / 2 + 2 * 0.00825f, 1e-5f);
  EXPECT_NEAR(f.rects.at(0).y, 0.09f + 0.12375f, 1e-5f) << "the header under the top";
  // The menu's 15 texts, then the line's eight outline passes and the line itself.
  ASSERT_EQ(f.texts.size(), 15u + 9u);
  std::string rows;
  for (size_t i = 0; i < 24; ++i) {
    const sim::DrawnText& t = f.texts[i];
    SCOPED_TRACE(t.text + std::to_string(i));
    if (i >= 2 && i < 14) rows += t.text + "|";
    if (i >= 15) {
      EXPECT_EQ(t.text + (t.centred && !t.shadow && t.scale == 0.3f ? "" : " styled"), "second");
      EXPECT_EQ((std::vector<int>{t.r, t.g, t.b, t.a}),
                (i < 23 ? std::vector<int>{0, 0, 0, 210} : std::vector<int>{245, 240, 230, 255}));
      continue;
    }
    EXPECT_NEAR(t.x, highlight.x, 1e-6f);
    EXPECT_TRUE(t.centred && t.shadow && t.a == 255);
    EXPECT_EQ((std::vector<int>{t.r, t.g, t.b}), (i == 0   ? std::vector<int>{230, 170, 40}
                                                  : i == 7 ? kGold
                                                           : kWhite));
  }
  EXPECT_EQ(f.texts[0].text + " " + f.texts[1].text, "SAGEBROOK v1.1");
  EXPECT_EQ(rows,
            "Trigger Event Now|Ambient Events: ON|Frequency: Normal|Spawn Distance: Random|Event "
            "Blips: ON|< Predator Attack: ON >|Runaway Wagon: ON|Public Hanging: ON|Drunken Folk: "
            "ON|Bounty Hunters: ON|Logging: OFF|Clear Spawned|");
  EXPECT_EQ(f.texts[14].text, "A wild predator hunts a nearby traveler or you.");

  world().tick = expiry;
  RunFrame();
  EXPECT_EQ(CountTexts("second"), 9u);
  world().tick = expiry + 1;
  RunFrame();
  EXPECT_EQ(CountTexts("second"), 0u);
  ShowNotification("");  // an empty line draws nothing
  world().screenHeight = 0;
  RunFrame();
  EXPECT_TRUE(world().lastFrame.rects.empty() && world().lastFrame.texts.empty());
  EXPECT_EQ(world().lastFrame.disabledControls.size(), 25u) << "input still runs";
}

}  // namespace
}  // namespace sagebrook::testing
