#include "diag/key_bindings.h"

#include "platform/platform.h"

namespace sagebrook {

KeyBindingsRecord KeyBindings;

namespace {

constexpr size_t kPathCapacity = 1024;

// The ini path beside the executable; false when it cannot be made whole,
// so a cut path is never read.
bool IniPath(platform::PathChar (&path)[kPathCapacity]) {
  size_t length = platform::ExecutablePath(path, kPathCapacity);
  if (length == 0) return false;
  size_t folderEnd = 0;  // just after the last separator
  for (size_t i = 0; i < length; ++i) {
    if (path[i] == '\\' || path[i] == '/') folderEnd = i + 1;
  }
  const char* name = kIniFileName;
  size_t i = folderEnd;
  for (; *name != '\0'; ++name, ++i) {
    if (i + 1 >= kPathCapacity) return false;
    path[i] = static_cast<platform::PathChar>(*name);
  }
  path[i] = 0;
  return true;
}

}  // namespace

void ReadKeyBindings() {
  KeyBindings = KeyBindingsRecord{};
  platform::PathChar path[kPathCapacity];
  if (!IniPath(path)) return;
  struct Entry {
    const char* key;
    uint32_t* field;
  };
  KeyBindingsRecord& k = KeyBindings;
  const Entry entries[] = {{"Menu", &k.menuKey}, {"Up", &k.upKey},       {"Down", &k.downKey},
                           {"Left", &k.leftKey}, {"Right", &k.rightKey}, {"Select", &k.selectKey},
                           {"Back", &k.backKey}};
  for (const Entry& e : entries) {
    *e.field = platform::ProfileInt(path, "Keys", e.key, static_cast<int32_t>(*e.field));
  }
}

}  // namespace sagebrook
