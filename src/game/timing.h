#pragma once
// The one comparison for tick deadlines. The tick count wraps every 49.7
// days; a signed difference keeps "after" right across the wrap for
// deadlines within 24 days of now.
#include <cstdint>

namespace sagebrook {

inline bool TickAfter(uint32_t now, uint32_t deadline) {
  return static_cast<int32_t>(now - deadline) > 0;
}

}  // namespace sagebrook
