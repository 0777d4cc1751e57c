// A PNG encoder small enough to carry along: 8-bit RGB, no filtering, and
// deflate's stored (uncompressed) blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace uidriver {

// rgb holds height rows of width * 3 bytes, top row first. Returns the file's bytes.
std::string EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb);

}  // namespace uidriver
