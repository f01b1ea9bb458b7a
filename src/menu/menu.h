#pragma once
#include <cstdint>

namespace sagebrook {

// XInput button bits the menu uses.
inline constexpr uint16_t kPadUp = 0x0001;
inline constexpr uint16_t kPadDown = 0x0002;
inline constexpr uint16_t kPadRB = 0x0200;
inline constexpr uint16_t kPadA = 0x1000;
inline constexpr uint16_t kPadB = 0x2000;
inline constexpr uint16_t kPadX = 0x4000;

extern const char* const MenuBlockedControls[25];

// Opens, closes and drives the menu; returns this frame's gamepad button
// word, which the frame update keeps as the previous one.
uint16_t UpdateMenuInput(int32_t playerPed);
void DrawMenu();

}  // namespace sagebrook
