// Reads back the PNG files the UI driver writes (8-bit RGB, stored deflate
// blocks), checking on the way what a viewer relies on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
};

struct Png {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgb;  // rows top first, 3 bytes a pixel
  Rgb At(uint32_t x, uint32_t y) const {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return Rgb{p[0], p[1], p[2]};
  }
};

// Decodes the file's bytes into *image; returns "" or what is wrong (a bad
// signature, chunk CRC, zlib header, block length, filter or Adler-32).
std::string DecodePng(const std::string& bytes, Png* image);

}  // namespace e2e
