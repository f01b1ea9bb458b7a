#pragma once
// Pictures of a session: what the plugin drew in one frame, and a map of the
// whole ride. SVG, or PNG when the file name asks for it.
#include <string>

#include "options.h"
#include "sim.h"

namespace simcli {

inline constexpr int kScreenWidth = 1920;
inline constexpr int kScreenHeight = 1080;

// The frame's rectangles and texts at their drawn positions, scales and
// colours, over a plain backdrop.
std::string ScreenshotSvg(const sim::DrawList& frame);
// Roads, trees and beams, the player's path, every spawned entity coloured by
// its event and marked with its fate, and blips.
std::string MapSvg(const Options& options);

// Writes the SVG, converting to PNG with rsvg-convert when the name ends in
// .png. On failure returns false with the reason.
bool WritePicture(const std::string& svg, const std::string& file, std::string& error);

}  // namespace simcli
