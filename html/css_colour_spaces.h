// Colours given in CSS's other colour spaces, converted to sRGB as a browser
// shows them: lab(), lch() (CIE Lab, D50), oklab(), oklch(), and color()
// with srgb or srgb-linear. Channels outside sRGB are clipped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace html {

// `function` is the lower-case name before "(", `args` what stands inside,
// split at spaces, commas and "/". False when the arguments are not valid.
bool colourInOtherSpace(const std::string& function, const std::vector<std::string>& args, std::uint32_t& rgb);

}  // namespace html
