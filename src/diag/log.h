#pragma once
#include <cstddef>

namespace sagebrook {

inline constexpr const char* kLogFileName = "Sagebrook.log";

// Both write only while the Logging setting is on; a line that cannot be
// written is lost silently.
void LogLine(const char* message, size_t length);
void LogLine(const char* message);
void LogFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace sagebrook
