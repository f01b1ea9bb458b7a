// The simulated game's answers for the world toolkit: models, ground, roads,
// relationship groups and ped creation.
#include "handlers.h"

namespace sim {

void InstallWorldHandlers() {}

}  // namespace sim
