// Screenshots: what the screen shows of a window or of the whole virtual
// desktop, copied with BitBlt and saved as a Windows bitmap (.bmp); the
// scripts turn it into PNG with ImageMagick.
#include <cstdio>

#include "driver_internal.h"

namespace uidriver {
namespace {

// The area's pixels as a 24-bit top-down DIB holds them, rows padded to
// 4 bytes: what a .bmp file holds after its two headers.
std::string Capture(const RECT& area, BITMAPINFOHEADER& header) {
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap =
      CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  std::string pixels;
  if (bitmap != nullptr) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, header.biWidth, -header.biHeight, screen, area.left, area.top, SRCCOPY | CAPTUREBLT)) {
      GdiFlush();
      pixels.assign(static_cast<const char*>(bits), header.biSizeImage);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (pixels.empty()) throw Failure("cannot copy the screen: error " + std::to_string(GetLastError()));
  return pixels;
}

BOOL CALLBACK CheckPainted(HWND child, LPARAM unpainted) {
  if (GetUpdateRect(child, nullptr, FALSE)) *reinterpret_cast<bool*>(unpainted) = true;
  return TRUE;
}

bool NothingToPaint(HWND window) {
  bool unpainted = GetUpdateRect(window, nullptr, FALSE) != FALSE;
  EnumChildWindows(window, CheckPainted, reinterpret_cast<LPARAM>(&unpainted));
  return !unpainted;
}

}  // namespace

void SaveScreenshot(HWND window, const std::string& bmpPath) {
  RECT area;
  if (window != nullptr) {
    if (!GetWindowRect(window, &area)) throw Failure("cannot take a screenshot of " + Name(window) + ": it is gone");
    // Have the program paint everything now, and wait until it has.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    PollUntil(2000, [&] { return NothingToPaint(window); });
    Ask(window, WM_NULL, 0, 0, "waiting for " + Name(window) + " to paint");
  } else {
    area.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    area.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    area.right = area.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    area.bottom = area.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  }
  if (area.right <= area.left || area.bottom <= area.top)
    throw Failure("cannot take a screenshot of " + Name(window) + ": it has no area");
  const LONG width = area.right - area.left, height = area.bottom - area.top;
  // Top-down (a negative height), 24 bits a pixel, rows padded to 4 bytes.
  const DWORD size = static_cast<DWORD>((width * 3 + 3) / 4 * 4 * height);
  BITMAPINFOHEADER header = {sizeof header, width, -height, 1, 24, BI_RGB, size, 0, 0, 0, 0};
  // What a program painted reaches the screen a moment later (under Wine when
  // its thread next waits for messages): take the picture once it holds still.
  std::string pixels = Capture(area, header);
  for (int round = 0; round < 20; ++round) {
    Sleep(100);
    std::string again = Capture(area, header);
    if (again == pixels) break;
    pixels.swap(again);
  }
  BITMAPFILEHEADER file = {0x4D42 /* "BM" */, 0, 0, 0, sizeof file + sizeof header};
  file.bfSize = file.bfOffBits + header.biSizeImage;
  FILE* out = _wfopen(Widen(bmpPath).c_str(), L"wb");
  bool written = out != nullptr && fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&header, sizeof header, 1, out) == 1 &&
                 fwrite(pixels.data(), pixels.size(), 1, out) == 1;
  if (out == nullptr || fclose(out) != 0 || !written) throw Failure("cannot write " + bmpPath);
}

}  // namespace uidriver
