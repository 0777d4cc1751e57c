// A strict reader for the driver's screenshots: every chunk CRC, the zlib
// header and Adler-32, stored blocks only, filter None on every row.
#include "png_reader.h"

namespace e2e {
namespace {

uint32_t Big32(const std::string& bytes, size_t at) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 8) |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3]));
}

// Bit by bit, so that it shares nothing with the writer's table.
uint32_t Crc32(const std::string& bytes, size_t from, size_t size) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = from; i < from + size; ++i) {
    crc ^= static_cast<uint8_t>(bytes[i]);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

std::string Inflate(const std::string& zlib, std::string* raw) {
  if (zlib.size() < 6) return "zlib stream too short";
  if ((static_cast<uint8_t>(zlib[0]) & 0x0F) != 8 || (static_cast<uint8_t>(zlib[0]) * 256 + static_cast<uint8_t>(zlib[1])) % 31 != 0)
    return "bad zlib header";
  size_t pos = 2;
  for (bool last = false; !last;) {
    if (pos + 5 > zlib.size()) return "deflate block header past the end";
    uint8_t head = static_cast<uint8_t>(zlib[pos]);
    if ((head >> 1) != 0) return "not a stored deflate block";
    last = (head & 1) != 0;
    uint32_t length = static_cast<uint8_t>(zlib[pos + 1]) | static_cast<uint8_t>(zlib[pos + 2]) << 8;
    uint32_t check = static_cast<uint8_t>(zlib[pos + 3]) | static_cast<uint8_t>(zlib[pos + 4]) << 8;
    if ((length ^ 0xFFFF) != check) return "stored block length and its complement disagree";
    pos += 5;
    if (pos + length > zlib.size()) return "stored block past the end";
    raw->append(zlib, pos, length);
    pos += length;
  }
  if (pos + 4 != zlib.size()) return "bytes after the last block";
  uint32_t a = 1, b = 0;
  for (char byte : *raw) {
    a = (a + static_cast<uint8_t>(byte)) % 65521;
    b = (b + a) % 65521;
  }
  if (Big32(zlib, pos) != ((b << 16) | a)) return "Adler-32 mismatch";
  return "";
}

}  // namespace

std::string DecodePng(const std::string& bytes, Png* image) {
  if (bytes.compare(0, 8, "\x89PNG\r\n\x1A\n", 8) != 0) return "no PNG signature";
  std::string zlib;
  bool sawHeader = false, sawEnd = false;
  for (size_t pos = 8; !sawEnd;) {
    if (pos + 12 > bytes.size()) return "chunk past the end of the file";
    uint32_t length = Big32(bytes, pos);
    if (pos + 12 + length > bytes.size()) return "chunk past the end of the file";
    std::string type = bytes.substr(pos + 4, 4);
    if (Crc32(bytes, pos + 4, length + 4) != Big32(bytes, pos + 8 + length)) return "CRC mismatch in " + type;
    std::string data = bytes.substr(pos + 8, length);
    if (type == "IHDR") {
      if (length != 13) return "IHDR of the wrong length";
      image->width = Big32(data, 0);
      image->height = Big32(data, 4);
      if (data.substr(8) != std::string("\x08\x02\x00\x00\x00", 5)) return "not 8-bit RGB without interlace";
      sawHeader = true;
    } else if (type == "IDAT") {
      zlib += data;
    } else if (type == "IEND") {
      sawEnd = true;
      if (pos + 12 != bytes.size()) return "bytes after IEND";
    }
    pos += 12 + length;
  }
  if (!sawHeader) return "no IHDR";
  std::string raw;
  std::string error = Inflate(zlib, &raw);
  if (!error.empty()) return error;
  size_t row = static_cast<size_t>(image->width) * 3;
  if (raw.size() != (row + 1) * image->height) return "pixel data does not match the size in IHDR";
  image->rgb.clear();
  for (size_t y = 0; y < image->height; ++y) {
    if (raw[y * (row + 1)] != 0) return "row " + std::to_string(y) + " has a filter";
    image->rgb.insert(image->rgb.end(), raw.begin() + y * (row + 1) + 1, raw.begin() + (y + 1) * (row + 1));
  }
  return "";
}

}  // namespace e2e
