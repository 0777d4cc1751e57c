// Screenshots: what the screen shows of a window or of the whole virtual
// desktop, copied with BitBlt and saved as PNG.
#include "driver_internal.h"
#include "png_writer.h"

namespace uidriver {
namespace {

// BitBlt from the screen into a top-down 32-bit DIB, returned as RGB rows.
std::vector<uint8_t> CaptureRgb(const RECT& area) {
  int width = area.right - area.left, height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (bitmap != nullptr) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT) != FALSE;
    GdiFlush();
    SelectObject(memory, previous);
  }
  std::vector<uint8_t> rgb;
  if (copied) {
    rgb.resize(static_cast<size_t>(width) * height * 3);
    const uint8_t* bgrx = static_cast<const uint8_t*>(bits);
    for (size_t pixel = 0; pixel < static_cast<size_t>(width) * height; ++pixel) {
      rgb[pixel * 3] = bgrx[pixel * 4 + 2];
      rgb[pixel * 3 + 1] = bgrx[pixel * 4 + 1];
      rgb[pixel * 3 + 2] = bgrx[pixel * 4];
    }
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) throw Failure("cannot copy the screen: error " + std::to_string(GetLastError()));
  return rgb;
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

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) throw Failure("cannot write " + path + ": error " + std::to_string(GetLastError()));
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != bytes.size()) throw Failure("short write to " + path);
}

}  // namespace

void SaveScreenshot(HWND window, const std::string& pngPath) {
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
  // What a program painted reaches the screen a moment later (under Wine when
  // its thread next waits for messages): take the picture once it holds still.
  std::vector<uint8_t> rgb = CaptureRgb(area);
  for (int round = 0; round < 20; ++round) {
    Sleep(100);
    std::vector<uint8_t> again = CaptureRgb(area);
    if (again == rgb) break;
    rgb.swap(again);
  }
  WriteFileBytes(pngPath, EncodePng(area.right - area.left, area.bottom - area.top, rgb));
}

}  // namespace uidriver
