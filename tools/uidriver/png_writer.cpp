// PNG encoding with stored deflate blocks, CRC-32 per chunk and the zlib
// stream's Adler-32.
#include "png_writer.h"

#include <algorithm>
#include <stdexcept>

namespace uidriver {
namespace {

uint32_t Crc32(const std::string& bytes, size_t from) {
  static uint32_t table[256];
  if (table[1] == 0) {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
  }
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = from; i < bytes.size(); ++i) crc = table[(crc ^ static_cast<uint8_t>(bytes[i])) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const std::string& bytes) {
  uint32_t a = 1, b = 0;
  for (char byte : bytes) {
    a = (a + static_cast<uint8_t>(byte)) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

void PutBig32(std::string* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) *out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string* out, const char* type, const std::string& data) {
  PutBig32(out, static_cast<uint32_t>(data.size()));
  size_t crcFrom = out->size();
  *out += type;
  *out += data;
  PutBig32(out, Crc32(*out, crcFrom));
}

// A zlib stream of stored blocks of at most 65535 bytes each.
std::string StoredZlib(const std::string& raw) {
  std::string stream = "\x78\x01";
  size_t pos = 0;
  do {
    size_t size = std::min<size_t>(65535, raw.size() - pos);
    bool last = pos + size == raw.size();
    stream += static_cast<char>(last ? 1 : 0);
    stream += static_cast<char>(size & 0xFF);
    stream += static_cast<char>(size >> 8);
    stream += static_cast<char>(~size & 0xFF);
    stream += static_cast<char>((~size >> 8) & 0xFF);
    stream.append(raw, pos, size);
    pos += size;
  } while (pos < raw.size());
  PutBig32(&stream, Adler32(raw));
  return stream;
}

}  // namespace

std::string EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb) {
  size_t row = static_cast<size_t>(width) * 3;
  if (width == 0 || height == 0 || rgb.size() != row * height)
    throw std::invalid_argument("EncodePng: pixel data does not match " + std::to_string(width) + "x" +
                                std::to_string(height));
  std::string raw;
  raw.reserve((row + 1) * height);
  for (uint32_t y = 0; y < height; ++y) {
    raw += '\0';  // filter type None
    raw.append(reinterpret_cast<const char*>(rgb.data()) + y * row, row);
  }
  std::string header;
  PutBig32(&header, width);
  PutBig32(&header, height);
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter set, no interlace

  std::string png = "\x89PNG\r\n\x1A\n";
  PutChunk(&png, "IHDR", header);
  PutChunk(&png, "IDAT", StoredZlib(raw));
  PutChunk(&png, "IEND", "");
  return png;
}

}  // namespace uidriver
