// The notification line, as the frame update draws it.
#include "fixture.h"

namespace sagebrook::testing {
namespace {

using ScreenTextTest = PluginTest;

TEST_F(ScreenTextTest, NotificationIsOutlinedOverTheMenuAndTheLaterOneLastsToItsExpiry) {
  world().tick = 0xFFFFF000u;
  ProbeEvents();
  DuringEvent = [this] {
    ShowNotification(Started.size() == 1 ? "first" : "second");
    world().tick += 700;  // the event waited for models
  };
  Press(122);
  // Trigger Event Now and a due ambient event, both in one frame.
  AmbientSchedule.nextAmbientAt = world().tick - 1;
  const uint32_t expiry = world().tick + 700 + 3500;
  ASSERT_LT(expiry, world().tick) << "the expiry lies past the wrap";
  Press(13);
  ASSERT_EQ(Started.size(), 2u);
  EXPECT_EQ(CountTexts("first"), 0u);

  // The menu's 15 texts, then eight outline passes and the line.
  constexpr float d = 0.0011f;
  const float offsets[9][2] = {{-d, 0}, {d, 0},   {0, -d}, {0, d}, {-d, d},
                               {d, d},  {-d, -d}, {d, -d}, {0, 0}};
  const auto& texts = world().lastFrame.texts;
  ASSERT_EQ(texts.size(), 15u + 9u);
  for (size_t i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    const sim::DrawnText& t = texts[15 + i];
    EXPECT_EQ(t.text, "second");
    EXPECT_NEAR(t.x, 0.5f + offsets[i][0], 1e-6f);
    EXPECT_NEAR(t.y, 0.92f + offsets[i][1], 1e-6f);
    EXPECT_EQ(t.scale, 0.3f);
    EXPECT_EQ((std::vector<int>{t.r, t.g, t.b, t.a}),
              (i < 8 ? std::vector<int>{0, 0, 0, 210} : std::vector<int>{245, 240, 230, 255}));
    EXPECT_TRUE(t.centred && !t.shadow);
  }

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
