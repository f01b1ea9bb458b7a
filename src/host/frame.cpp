#include "host/plugin.h"

namespace sagebrook {

void FrameUpdate() {}

}  // namespace sagebrook
