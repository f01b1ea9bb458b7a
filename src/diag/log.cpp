#include "diag/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "ui/settings.h"

namespace sagebrook {

void LogLine(const char* message, size_t length) {
  if (Settings.logging == 0) return;
  // Binary mode with an explicit CR LF: the same bytes whichever build wrote them.
  std::FILE* file = std::fopen(kLogFileName, "ab");
  if (file == nullptr) return;
  platform::LocalTime t = platform::LocalTimeNow();
  char prefix[32];
  int n = std::snprintf(prefix, sizeof prefix, "[%02d:%02d:%02d.%03d] ", t.hour, t.minute, t.second,
                        t.milliseconds);
  if (n > 0) std::fwrite(prefix, 1, static_cast<size_t>(n), file);
  std::fwrite(message, 1, length, file);
  std::fwrite("\r\n", 1, 2, file);
  std::fclose(file);
}

void LogLine(const char* message) {
  LogLine(message, std::strlen(message));
}

void LogFormat(const char* format, ...) {
  if (Settings.logging == 0) return;
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  LogLine(buffer);
}

}  // namespace sagebrook
