// The command line of sagebrook-sim: what each option turns into.
#include <gtest/gtest.h>

#include <tuple>

#include "options.h"

namespace simcli {
namespace {

bool Parse(std::vector<std::string> args, Options& o, std::string& error) {
  o = Options{};
  return ParseOptions(args, o, error);
}

TEST(SimOptions, DurationsInEveryUnitAndCombination) {
  const struct {
    const char* text;
    uint32_t ms;
  } good[] = {{"5s", 5000},  {"1.5s", 1500},        {"500ms", 500},  {"2m", 120000},
              {"90", 90000}, {"1m30s", 90000},      {"1h", 3600000}, {"0.25m", 15000},
              {"0s", 0},     {"1h2m3s4ms", 3723004}};
  for (const auto& g : good) {
    uint32_t ms = 1;
    EXPECT_TRUE(ParseDuration(g.text, ms)) << g.text;
    EXPECT_EQ(ms, g.ms) << g.text;
  }
  for (const char* bad : {"", "s", "5x", "-5s", "5 s", "1..5s", "5s3", "25h", "soon", ".5s"}) {
    uint32_t ms = 0;
    EXPECT_FALSE(ParseDuration(bad, ms)) << bad;
  }
}

TEST(SimOptions, KeysAndButtonsByNameAtTheirTimes) {
  Options o;
  std::string error;
  ASSERT_TRUE(Parse({"--key", "F11@5s,Down@6s", "--key=enter@7s", "--key", "a@1m", "--key",
                     "VK121@2s", "--key", "Backspace@3s"},
                    o, error))
      << error;
  ASSERT_EQ(o.keys.size(), 6u);
  const uint32_t codes[] = {122, 40, 13, 65, 121, 8};
  const uint32_t times[] = {5000, 6000, 7000, 60000, 2000, 3000};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(o.keys[i].virtualKey, codes[i]) << i;
    EXPECT_EQ(o.keys[i].atMs, times[i]) << i;
  }
  EXPECT_EQ(o.keys[0].name, "F11");

  ASSERT_TRUE(Parse({"--pad", "RB+X@5s,a@6s,Down@7s"}, o, error)) << error;
  ASSERT_EQ(o.pad.size(), 3u);
  EXPECT_EQ(std::make_tuple(o.pad[0].buttons, o.pad[1].buttons, o.pad[2].buttons),
            std::make_tuple(0x4200, 0x1000, 0x0002));  // the menu's pair first

  EXPECT_FALSE(Parse({"--key", "F25@1s"}, o, error));
  EXPECT_FALSE(Parse({"--key", "VK256@1s"}, o, error));
  EXPECT_FALSE(Parse({"--pad", "RB+@1s"}, o, error));
  EXPECT_NE(error.find("RB+"), std::string::npos) << error;
}

TEST(SimOptions, MenuSettingsAndKinds) {
  Options o;
  std::string error;
  ASSERT_TRUE(Parse({}, o, error));
  EXPECT_EQ(std::tie(o.frequency, o.spawnDistance, o.playMs), std::make_tuple(1, 3, 600000u));
  EXPECT_EQ(o.kinds, (std::array<int32_t, 5>{1, 1, 1, 1, 1}));

  ASSERT_TRUE(Parse({"--frequency", "Often", "--distance", "close", "--blips", "off", "--ambient",
                     "OFF", "--log", "off", "--events", "hunters,predator", "--minutes", "0.5",
                     "--hour", "0", "--seed", "4294967295"},
                    o, error))
      << error;
  EXPECT_EQ(std::tie(o.frequency, o.spawnDistance, o.eventBlips, o.ambientEvents, o.logging,
                     o.playMs, o.startHour, o.seed),
            std::make_tuple(2, 0, 0, 0, 0, 30000u, 0, 4294967295u));
  EXPECT_EQ(o.kinds, (std::array<int32_t, 5>{1, 0, 0, 0, 1}));

  ASSERT_TRUE(Parse({"--events", "none"}, o, error));
  EXPECT_EQ(o.kinds, (std::array<int32_t, 5>{0, 0, 0, 0, 0}));
}

TEST(SimOptions, PicturesMustFitThePlayAndNameTheirFormat) {
  Options o;
  std::string error;
  ASSERT_TRUE(Parse({"--minutes", "1", "--screenshot", "1m:end.png", "--screenshot", "1.5s:a:b.svg",
                     "--map", "map.svg"},
                    o, error))
      << error;
  ASSERT_EQ(o.screenshots.size(), 2u);
  EXPECT_EQ(o.screenshots[0].atMs, 60000u);
  EXPECT_EQ(o.screenshots[1].file, "a:b.svg");  // the time ends at the first colon
  EXPECT_EQ(o.mapFile, "map.svg");

  EXPECT_FALSE(Parse({"--minutes", "1", "--screenshot", "61s:late.svg"}, o, error));
  EXPECT_FALSE(Parse({"--screenshot", "5s:"}, o, error));
  EXPECT_FALSE(Parse({"--screenshot", "5s:shot.gif"}, o, error));
  // Checked against the play length whatever the order of the options.
  EXPECT_FALSE(Parse({"--screenshot", "3m:shot.svg", "--minutes", "2"}, o, error));
  EXPECT_TRUE(Parse({"--screenshot", "3m:shot.svg", "--minutes", "4"}, o, error)) << error;
}

}  // namespace
}  // namespace simcli
