// The event log and the key bindings file.
#include <filesystem>
#include <fstream>
#include <string>

#include "diag/log.h"
#include "fixture.h"
#include "ui/menu.h"

namespace sagebrook::testing {
namespace {

const std::string kBanner = "==== Sagebrook loaded. F11 / RB+X menu ====";

class LogTest : public PluginTest {
 protected:
  bool LogExists() const { return std::filesystem::exists(FilePath(kLogFileName)); }
};

TEST_F(LogTest, WritesNothingWhileOffNotEvenTheBanner) {
  sim::RunScriptMain(3);  // banner, then frames that pass the first-control gate
  LogLine("line");
  LogFormat("format %d", 1);
  EXPECT_FALSE(LogExists());

  Settings.logging = 1;  // the same start with logging on does write
  sim::RunScriptMain(1);
  const std::string banner = "[12:00:00.000] " + kBanner + "\r\n";
  EXPECT_EQ(ReadFile(kLogFileName), banner);
  Settings.logging = 0;
  LogLine("after");
  EXPECT_EQ(ReadFile(kLogFileName), banner);
}

TEST_F(LogTest, AppendsLocalTimeStampedCrLfLines) {
  std::ofstream(FilePath(kLogFileName), std::ios::binary) << "earlier run\r\n";
  Settings.logging = 1;
  world().hour = 9, world().minute = 5, world().second = 3, world().millisecond = 7;
  LogLine("first");
  world().hour = 23, world().minute = 59, world().second = 59, world().millisecond = 999;
  LogFormat("n=%d %s", 42, "x");
  LogLine("abcdef", 3);
  EXPECT_EQ(ReadFile(kLogFileName),
            "earlier run\r\n[09:05:03.007] first\r\n[23:59:59.999] n=42 x\r\n"
            "[23:59:59.999] abc\r\n");
}

TEST_F(LogTest, FormattedMessagesAreCutTo511Characters) {
  Settings.logging = 1;
  std::string message;
  for (int i = 0; i < 600; ++i) message += static_cast<char>('a' + i % 26);
  LogFormat("%s", message.c_str());
  LogLine(message.c_str());  // a ready message is written whole
  EXPECT_EQ(ReadFile(kLogFileName),
            "[12:00:00.000] " + message.substr(0, 511) + "\r\n[12:00:00.000] " + message + "\r\n");
}

class KeyBindingsTest : public PluginTest {
 protected:
  void WriteIni(const std::string& path, const std::string& content) {
    std::ofstream(path) << content;
  }
  // A folder of exactly length characters below the test folder.
  std::string FolderOfLength(size_t length) {
    std::string path = folder_.string();
    while (length - path.size() > 200) path += "/" + std::string(99, 'd');
    path += "/" + std::string(length - path.size() - 1, 'e');
    std::filesystem::create_directories(path);
    return path;
  }
  bool OpensMenu(uint32_t vk) {
    MenuState.menuOpen = false;
    PressKey(vk);
    RunFrame();
    return MenuState.menuOpen;
  }
};

TEST_F(KeyBindingsTest, EachKeyHasItsOwnNameAndDefault) {
  auto fields = [] {
    const KeyBindingsRecord& k = KeyBindings;
    return std::vector<uint32_t>{k.menuKey,  k.upKey,     k.downKey, k.leftKey,
                                 k.rightKey, k.selectKey, k.backKey};
  };
  KeyBindings = {1, 2, 3, 4, 5, 6, 7};
  ReadKeyBindings();  // no file
  EXPECT_EQ(fields(), (std::vector<uint32_t>{122, 38, 40, 37, 39, 13, 8}));
  EXPECT_TRUE(OpensMenu(122));

  WriteIni(FilePath("Sagebrook.ini"),
           "[Keys]\nBack=7\nSelect=6\nRight=5\nLeft=4\nDown=3\nUp=2\nMenu=1\n");
  ReadKeyBindings();
  EXPECT_EQ(fields(), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(KeyBindingsTest, TheFileBesideTheExecutableSetsOnlyTheKeysItNames) {
  // The game's path is cut after its last backslash; on this host the folder
  // "bin\" is part of a file name in the working folder.
  WriteIni(FilePath("bin\\Sagebrook.ini"), "[Other]\nMenu=50\n[Keys]\nMenu=121\n");
  WriteIni(FilePath("Sagebrook.ini"), "[Keys]\nMenu=120\nUp=1\n");  // the working folder's
  world().executablePath = FilePath("bin\\game.exe");
  ReadKeyBindings();
  EXPECT_EQ(KeyBindings.menuKey, 121u);
  EXPECT_EQ(KeyBindings.upKey, 38u);
  EXPECT_EQ(KeyBindings.backKey, 8u);
  EXPECT_FALSE(OpensMenu(122));
  EXPECT_TRUE(OpensMenu(121));
}

TEST_F(KeyBindingsTest, AMenuKeyOf300LeavesOnlyTheGamepad) {
  WriteIni(FilePath("Sagebrook.ini"), "[Keys]\nMenu=300\n");
  ReadKeyBindings();
  EXPECT_EQ(KeyBindings.menuKey, 300u);
  EXPECT_FALSE(OpensMenu(122));
  EXPECT_FALSE(OpensMenu(300 % 256));
  MenuState.menuOpen = false;
  world().gamepadButtons = kPadRB | kPadX;
  RunFrame();
  EXPECT_TRUE(MenuState.menuOpen);
}

TEST_F(KeyBindingsTest, APathTooLongForTheBufferFallsBackToDefaults) {
  const std::string ini = "[Keys]\nMenu=121\n";
  // The reader's buffer holds 1023 characters and the terminator.
  const std::string fits = FolderOfLength(1023 - 14);
  WriteIni(fits + "/Sagebrook.ini", ini);
  world().executablePath = fits + "/game.exe";
  ReadKeyBindings();
  EXPECT_EQ(KeyBindings.menuKey, 121u);

  const std::string tooLong = FolderOfLength(1024 - 14);
  WriteIni(tooLong + "/Sagebrook.ini", ini);
  world().executablePath = tooLong + "/game.exe";
  ReadKeyBindings();
  EXPECT_EQ(KeyBindings.menuKey, 122u);

  // An executable path that cannot be read whole is not cut to a folder either.
  WriteIni(FilePath("Sagebrook.ini"), ini);
  world().executablePath = FilePath(std::string(1100, 'x') + ".exe");
  ReadKeyBindings();
  EXPECT_EQ(KeyBindings.menuKey, 122u);
}

}  // namespace
}  // namespace sagebrook::testing
