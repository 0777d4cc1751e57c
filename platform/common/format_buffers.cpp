// FormatPath260 / FormatText13000: bounded formatting that refuses, rather
// than cuts, a text longer than the buffer.
#include "format_buffers.h"

#include <cstdarg>
#include <cstdio>

namespace {
bool FormatInto(char* buffer, int size, const char* format, va_list args) {
  int needed = vsnprintf(buffer, static_cast<size_t>(size), format, args);
  if (needed < 0 || needed >= size) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}
}  // namespace

bool FormatPath260(char (&buffer)[kPathBufferSize], const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool fits = FormatInto(buffer, kPathBufferSize, format, args);
  va_end(args);
  return fits;
}

bool FormatText13000(char (&buffer)[kTextBufferSize], const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool fits = FormatInto(buffer, kTextBufferSize, format, args);
  va_end(args);
  return fits;
}
