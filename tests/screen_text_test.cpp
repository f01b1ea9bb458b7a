// Text and rectangle primitives and the notification line, as drawn by the
// frame update.
#include <string>
#include <vector>

#include "fixture.h"

namespace sagebrook::testing {
namespace {

using ScreenTextTest = PluginTest;
constexpr uint32_t kF11 = 122, kEnter = 13;

// What the drawn texts and rectangles show is checked with the menu; these are
// the slots the game wants but the draw list does not show.
TEST_F(ScreenTextTest, MenuTextAndPanelRectPushTheirFixedSlots) {
  sim::ClearTrace();
  DrawMenuText(0.25f, 0.5f, "Logging: OFF", 10, 20, 30, 0.75f);
  DrawPanelRect(0.1f, 0.2f, 0.3f, 0.4f, 1, 2, 3, 4);
  const auto& c = world().trace;
  ASSERT_EQ(c.size(), 7u);
  auto slots = [&c](size_t call, size_t from, size_t to) {
    return std::vector<uint64_t>(c[call].args.begin() + from, c[call].args.begin() + to);
  };
  EXPECT_EQ(c[0].Name() + " " + c[3].Name(), "SetNextTextScale SetNextTextShadow");
  EXPECT_EQ(c[0].Float(0), 0.0f);
  EXPECT_EQ(slots(3, 0, 5), (std::vector<uint64_t>{1, 0, 0, 0, 255}));
  EXPECT_EQ(c[4].Int(0), 10);
  EXPECT_STREQ(c[4].String(1), "LITERAL_STRING");
  EXPECT_EQ(slots(6, 8, 10), (std::vector<uint64_t>{0, 1}));
}

TEST_F(ScreenTextTest, NotificationIsEightOutlinePassesThenTheLineOverTheMenu) {
  Press(kF11);
  ShowNotification("Runaway wagon!");
  RunFrame();  // the menu's 15 texts, then the line's 9
  constexpr float d = 0.0011f;
  const float offsets[9][2] = {{-d, 0}, {d, 0},   {0, -d}, {0, d}, {-d, d},
                               {d, d},  {-d, -d}, {d, -d}, {0, 0}};
  const auto& texts = world().lastFrame.texts;
  ASSERT_EQ(texts.size(), 15u + 9u);
  for (size_t i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    const sim::DrawnText& t = texts[15 + i];
    EXPECT_EQ(t.text, "Runaway wagon!");
    EXPECT_NEAR(t.x, 0.5f + offsets[i][0], 1e-6f);
    EXPECT_NEAR(t.y, 0.92f + offsets[i][1], 1e-6f);
    EXPECT_EQ(t.scale, 0.3f);
    EXPECT_EQ((std::vector<int>{t.r, t.g, t.b, t.a}),
              (i < 8 ? std::vector<int>{0, 0, 0, 210} : std::vector<int>{245, 240, 230, 255}));
    EXPECT_TRUE(t.centred && !t.shadow);
  }
}

TEST_F(ScreenTextTest, LaterMessageReplacesAndLastsThroughItsExpiryAcrossTheTickWrap) {
  world().tick = 0xFFFFF000u;
  ProbeEvents();
  DuringEvent = [this] {
    ShowNotification(Started.size() == 1 ? "first" : "second");
    world().tick += 700;  // the event waited for models
  };
  Press(kF11);
  // Trigger Event Now and a due ambient event, both in one frame.
  AmbientSchedule.nextAmbientAt = world().tick - 1;
  const uint32_t expiry = world().tick + 700 + 3500;
  ASSERT_LT(expiry, world().tick) << "the expiry lies past the wrap";
  Press(kEnter);
  EXPECT_EQ(Started.size(), 2u);
  EXPECT_EQ(CountTexts("first"), 0u);
  EXPECT_EQ(CountTexts("second"), 9u);
  world().tick = expiry;
  RunFrame();
  EXPECT_EQ(CountTexts("second"), 9u);
  world().tick = expiry + 1;
  RunFrame();
  EXPECT_EQ(CountTexts("second"), 0u);
  ShowNotification("");
  RunFrame();
  EXPECT_EQ(CountTexts(""), 0u) << "an empty line draws nothing";
}

}  // namespace
}  // namespace sagebrook::testing
