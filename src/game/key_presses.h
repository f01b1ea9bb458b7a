#pragma once
#include <atomic>
#include <cstdint>

namespace sagebrook {

// One byte per virtual-key code: 1 while a release is pending. The hook's
// keyboard thread writes 1, the script writes 0; relaxed atomics keep that
// exchange free of data races without ordering anything else.
extern std::atomic<uint8_t> KeyPressedFlags[256];

// Records a pending release; codes of 256 and more are ignored.
void RecordKeyPress(uint32_t key);
// True when a release of key is pending; the flag is cleared. Codes of 256
// and more never match.
bool TakeKeyPress(uint32_t key);

}  // namespace sagebrook
