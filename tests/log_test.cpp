#include <fstream>

#include "fixture.h"

namespace sagebrook::testing {
namespace {

using LogTest = PluginTest;

TEST_F(LogTest, WritesNothingWhileOffAndAppendsStampedCrLfLinesWhileOn) {
  std::ofstream(FilePath(kLogFileName), std::ios::binary) << "earlier run\r\n";
  Settings.logging = 1;
  sim::RunScriptMain(1);  // the banner, then a frame that passes the first-control gate
  world().hour = 9, world().minute = 5, world().second = 3, world().millisecond = 7;
  LogLine("first");
  world().hour = 23, world().minute = 59, world().second = 59, world().millisecond = 999;
  LogFormat("n=%d %s", 42, "x");
  LogLine("abcdef", 3);
  const std::string message(600, 'm');
  LogFormat("%s", message.c_str());  // cut to 511
  LogLine(message.c_str());          // a ready message is written whole
  Settings.logging = 0;
  LogLine("after");
  EXPECT_EQ(ReadFile(kLogFileName),
            "earlier run\r\n[12:00:00.000] ==== Sagebrook loaded. F11 / RB+X menu ====\r\n"
            "[12:00:00.000] In control - first event in ~60s\r\n[09:05:03.007] "
            "first\r\n[23:59:59.999] n=42 x\r\n[23:59:59.999] abc\r\n"
            "[23:59:59.999] " +
                message.substr(0, 511) + "\r\n[23:59:59.999] " + message + "\r\n");
}

// Each key by its name in [Keys] of the ini beside the executable, or its default.
TEST_F(LogTest, KeyBindingsComeFromTheIniBesideTheExecutableOrKeepTheirDefaults) {
  auto fields = [] {
    const KeyBindingsRecord& k = KeyBindings;
    return std::vector<uint32_t>{k.menuKey,  k.upKey,     k.downKey, k.leftKey,
                                 k.rightKey, k.selectKey, k.backKey};
  };
  KeyBindings = {1, 2, 3, 4, 5, 6, 7};
  sim::RunScriptMain(1);  // no file yet
  EXPECT_EQ(fields(), (std::vector<uint32_t>{122, 38, 40, 37, 39, 13, 8}));
  std::ofstream(FilePath("Sagebrook.ini"))
      << "[Other]\nMenu=50\n[Keys]\nBack=7\nSelect=6\nRight=5\nLeft=4\nDown=3\nUp=2\nMenu=1\n";
  sim::RunScriptMain(1);
  EXPECT_EQ(fields(), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 7}));

  // The reader's buffer holds 1023 characters and the terminator, the file's
  // name 13 of them after the separator; a path that does not fit is not read.
  for (size_t length : {1023u - 14, 1024u - 14}) {
    std::string folder = folder_.string();
    // Appended in steps: GCC 12 at -O3 warns falsely on "/" + std::string(...).
    while (length - folder.size() > 200) folder.append("/").append(99, 'd');
    const size_t last = length - folder.size() - 1;
    folder.append("/").append(last, 'e');
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/Sagebrook.ini") << "[Keys]\nMenu=121\n";
    world().executablePath = folder + "/game.exe";
    ReadKeyBindings();
    EXPECT_EQ(KeyBindings.menuKey, length == 1023u - 14 ? 121u : 122u) << length;
  }
}

}  // namespace
}  // namespace sagebrook::testing
