// Text and rectangle primitives and the notification line, as drawn by the
// frame update.
#include <string>
#include <vector>

#include "fixture.h"

namespace sagebrook::testing {
namespace {

using ScreenTextTest = PluginTest;
constexpr uint32_t kF11 = 122, kEnter = 13;

std::vector<const sim::Call*> TextCalls() {
  std::vector<const sim::Call*> calls;
  for (const sim::Call& c : sim::GetWorld().trace) {
    const std::string name = c.Name();
    if (name.starts_with("SetNextText") || name == "CreateLiteralTextString" ||
        name == "DrawPreparedText") {
      calls.push_back(&c);
    }
  }
  return calls;
}

size_t CountTexts(const std::string& text) {
  size_t n = 0;
  for (const sim::DrawnText& t : sim::GetWorld().lastFrame.texts) n += t.text == text;
  return n;
}

TEST_F(ScreenTextTest, MenuTextAndPanelRectIssueTheirNativesInOrder) {
  sim::ClearTrace();
  DrawMenuText(0.25f, 0.5f, "Logging: OFF", 10, 20, 30, 0.75f);
  DrawPanelRect(0.1f, 0.2f, 0.3f, 0.4f, 1, 2, 3, 4);
  const auto& trace = world().trace;
  EXPECT_EQ(sim::TraceNames(),
            (std::vector<std::string>{"SetNextTextScale", "SetNextTextColour", "SetNextTextCentred",
                                      "SetNextTextShadow", "CreateLiteralTextString",
                                      "DrawPreparedText", "DrawFilledRect"}));
  ASSERT_EQ(trace.size(), 7u);
  EXPECT_EQ(trace[0].Float(0), 0.0f);
  EXPECT_EQ(trace[2].Int(0), 1);
  EXPECT_EQ((std::vector<int32_t>{trace[3].Int(0), trace[3].Int(1), trace[3].Int(2),
                                  trace[3].Int(3), trace[3].Int(4)}),
            (std::vector<int32_t>{1, 0, 0, 0, 255}));
  EXPECT_EQ(trace[4].Int(0), 10);
  EXPECT_STREQ(trace[4].String(1), "LITERAL_STRING");
  EXPECT_EQ((std::vector<int32_t>{trace[6].Int(8), trace[6].Int(9)}), (std::vector<int32_t>{0, 1}));

  EXPECT_EQ(world().drawing.texts.at(0).text, "Logging: OFF");
}

TEST_F(ScreenTextTest, NotificationIsEightOutlinePassesThenTheLine) {
  RunFrame();
  ShowNotification("Runaway wagon!");
  sim::ClearTrace();
  RunFrame();

  const float offsets[8][2] = {{-0.0011f, 0.0f},     {0.0011f, 0.0f},     {0.0f, -0.0011f},
                               {0.0f, 0.0011f},      {-0.0011f, 0.0011f}, {0.0011f, 0.0011f},
                               {-0.0011f, -0.0011f}, {0.0011f, -0.0011f}};
  const auto& texts = world().lastFrame.texts;
  ASSERT_EQ(texts.size(), 9u);
  for (size_t i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    const sim::DrawnText& t = texts[i];
    const bool outline = i < 8;
    EXPECT_EQ(t.text, "Runaway wagon!");
    EXPECT_NEAR(t.x, 0.5f + (outline ? offsets[i][0] : 0.0f), 1e-6f);
    EXPECT_NEAR(t.y, 0.92f + (outline ? offsets[i][1] : 0.0f), 1e-6f);
    EXPECT_EQ(t.scale, 0.3f);
    EXPECT_EQ((std::vector<int>{t.r, t.g, t.b, t.a}),
              (outline ? std::vector<int>{0, 0, 0, 210} : std::vector<int>{245, 240, 230, 255}));
    EXPECT_TRUE(t.centred);
    EXPECT_FALSE(t.shadow);
  }

  const std::vector<std::string> pass = {"SetNextTextScale", "SetNextTextCentred",
                                         "SetNextTextColour", "CreateLiteralTextString",
                                         "DrawPreparedText"};
  const auto calls = TextCalls();
  ASSERT_EQ(calls.size(), 45u);
  for (size_t i = 0; i < calls.size(); ++i) {
    SCOPED_TRACE(i);
    const sim::Call& c = *calls[i];
    EXPECT_EQ(c.Name(), pass[i % 5]);
    if (i % 5 == 0) {
      EXPECT_EQ(c.Float(0), 0.0f);
    } else if (i % 5 == 1) {
      EXPECT_EQ(c.Int(0), 1);
    } else if (i % 5 == 3) {
      EXPECT_EQ(c.Int(0), 10);
      EXPECT_STREQ(c.String(1), "LITERAL_STRING");
    }
  }
}

TEST_F(ScreenTextTest, NotificationLastsThroughItsExpiryAcrossTheTickWrap) {
  world().tick = 0xFFFFF000u;
  RunFrame();
  RunFor(2000);
  const uint32_t shownAt = world().tick;
  ShowNotification("A predator is stalking you!");
  ASSERT_LT(shownAt + 3500u, shownAt) << "the expiry lies past the wrap";

  world().frameMs = 500;
  for (uint32_t ms = 0; ms <= 3500; ms += 500) {
    ASSERT_EQ(world().tick, shownAt + ms);
    RunFrame();
    EXPECT_EQ(CountTexts("A predator is stalking you!"), 9u) << ms;
  }
  world().tick = shownAt + 3501;
  RunFrame();
  EXPECT_TRUE(world().lastFrame.texts.empty());
}

int Announcements = 0;
void Announce(int32_t) {
  ShowNotification(++Announcements == 1 ? "first" : "second");
  sim::GetWorld().tick += 700;  // the event waited for models
}

TEST_F(ScreenTextTest, LaterMessageInTheSameFrameReplacesAndGetsTheFullTime) {
  world().tick = 0xFFFFF000u;
  Announcements = 0;
  for (auto& start : EventStarts) start = &Announce;
  PressKey(kF11);
  RunFrame();
  // Trigger Event Now and a due ambient event, both in one frame.
  AmbientSchedule.nextAmbientAt = world().tick - 1;
  const uint32_t start = world().tick;
  PressKey(kEnter);
  RunFrame();
  EXPECT_EQ(Announcements, 2);
  EXPECT_EQ(CountTexts("first"), 0u);
  EXPECT_EQ(CountTexts("second"), 9u);

  world().tick = start + 700 + 3500;
  RunFrame();
  EXPECT_EQ(CountTexts("second"), 9u);
  world().tick = start + 700 + 3501;
  RunFrame();
  EXPECT_EQ(CountTexts("second"), 0u);
}

TEST_F(ScreenTextTest, EmptyTextDrawsNothing) {
  world().tick = 0;  // equal to the initial expiry
  RunFrame();
  EXPECT_TRUE(world().lastFrame.texts.empty());
  ShowNotification("");
  RunFrame();
  EXPECT_TRUE(world().lastFrame.texts.empty());
  EXPECT_EQ(sim::CountCalls("DrawPreparedText"), 0u);
}

TEST_F(ScreenTextTest, NotificationLiesOverTheMenuAndNothingDrawsWithoutThePlayer) {
  PressKey(kF11);
  RunFrame();
  ShowNotification("Runaway wagon!");
  sim::ClearTrace();
  RunFrame();
  const auto& texts = world().lastFrame.texts;
  ASSERT_EQ(texts.size(), 24u);
  EXPECT_EQ(texts[0].text, "SAGEBROOK");
  EXPECT_EQ(texts[14].text, "Fire one random enabled event right now.  [Enter]");
  for (size_t i = 15; i < 24; ++i) EXPECT_EQ(texts[i].text, "Runaway wagon!");
  size_t lastRect = 0, firstLine = 0;
  for (size_t i = 0; i < world().trace.size(); ++i) {
    const sim::Call& c = world().trace[i];
    if (c.Name() == "DrawFilledRect") lastRect = i;
    if (firstLine == 0 && c.text == "Runaway wagon!") firstLine = i;
  }
  EXPECT_LT(lastRect, firstLine) << "every rectangle lies under the line";

  sim::RemoveEntity(world().playerPed);
  PressKey(kF11);
  RunFrame();
  EXPECT_TRUE(world().lastFrame.texts.empty());
  EXPECT_TRUE(world().lastFrame.rects.empty());
  EXPECT_TRUE(world().lastFrame.disabledControls.empty());
  EXPECT_TRUE(MenuState.menuOpen);
  EXPECT_EQ(KeyPressedFlags[kF11].load(), 1) << "the menu key waits for the player";

  sim::FindEntity(world().playerPed)->exists = true;
  RunFrame();
  EXPECT_FALSE(MenuState.menuOpen);
  EXPECT_EQ(CountTexts("Runaway wagon!"), 9u);
}

}  // namespace
}  // namespace sagebrook::testing
