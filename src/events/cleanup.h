#pragma once

namespace sagebrook {

// The menu's "Clear Spawned": deletes everything the events left in the
// registry and stands every event's own state down.
void ClearSpawned();

}  // namespace sagebrook
