// Reads the compiled resources back through the Win32 loader, as the program
// and Windows do, and checks what the dialog code and the installer rely on.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "resource.h"

namespace {

struct Control {
  DWORD style;
  short x, y, cx, cy;
  int id;
  std::wstring cls, text;  // an ordinal reads "#n"
  int bottom() const { return y + cy; }
};

struct DialogTemplate {
  DWORD style = 0, exStyle = 0;
  short cx = 0, cy = 0;
  std::wstring caption, face;
  WORD points = 0, weight = 0;
  BYTE italic = 0, charset = 0;
  std::vector<Control> controls;
};

const BYTE* LoadRaw(int name, int type, DWORD* size = nullptr) {
  HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(name), MAKEINTRESOURCEW(type));
  if (size) *size = res ? SizeofResource(nullptr, res) : 0;
  return res ? static_cast<const BYTE*>(LockResource(LoadResource(nullptr, res))) : nullptr;
}

template <typename T> T Take(const BYTE*& p) {
  T value;
  std::memcpy(&value, p, sizeof value);
  p += sizeof value;
  return value;
}

// A string or an ordinal (0xFFFF, n) of a dialog template.
std::wstring TakeSzOrOrd(const BYTE*& p) {
  if (Take<WORD>(p) == 0xFFFF) return L"#" + std::to_wstring(Take<WORD>(p));
  p -= 2;
  std::wstring s(reinterpret_cast<const wchar_t*>(p));
  p += (s.size() + 1) * sizeof(WCHAR);
  return s;
}

DialogTemplate ReadSetupDialog() {
  DialogTemplate t;
  const BYTE* base = LoadRaw(IDD_SETUP, 5);  // RT_DIALOG
  if (!base) return t;
  const BYTE* p = base;
  if (Take<WORD>(p) != 1 || Take<WORD>(p) != 0xFFFF) return t;  // not a DIALOGEX
  p += 4;                                                         // help id
  t.exStyle = Take<DWORD>(p), t.style = Take<DWORD>(p);
  const WORD count = Take<WORD>(p);
  p += 4;  // x, y
  t.cx = Take<short>(p), t.cy = Take<short>(p);
  TakeSzOrOrd(p), TakeSzOrOrd(p);  // menu, class
  t.caption = TakeSzOrOrd(p);
  t.points = Take<WORD>(p), t.weight = Take<WORD>(p), t.italic = Take<BYTE>(p), t.charset = Take<BYTE>(p);
  t.face = TakeSzOrOrd(p);
  for (WORD i = 0; i < count; ++i) {
    p = base + ((p - base + 3) & ~3);
    Control c{};
    p += 8;  // help id, extended style
    c.style = Take<DWORD>(p);
    c.x = Take<short>(p), c.y = Take<short>(p), c.cx = Take<short>(p), c.cy = Take<short>(p);
    c.id = Take<int>(p);
    c.cls = TakeSzOrOrd(p), c.text = TakeSzOrOrd(p);
    p += Take<WORD>(p);  // creation data
    t.controls.push_back(c);
  }
  return t;
}

const Control& Find(const DialogTemplate& t, int id) {
  static const Control none{};
  auto it = std::find_if(t.controls.begin(), t.controls.end(), [id](const Control& c) { return c.id == id; });
  return it == t.controls.end() ? none : *it;
}

DWORD Kind(const Control& c) { return c.style & SS_TYPEMASK; }

const int kReleaseIds[20] = {
    IDC_ACAD2007, IDC_ACAD2008, IDC_ACAD2009, IDC_ACAD2010, IDC_ACAD2011, IDC_ACAD2012, IDC_ACAD2013,
    IDC_ACAD2014, IDC_ACAD2015, IDC_ACAD2016, IDC_ACAD2017, IDC_ACAD2018, IDC_ACAD2019, IDC_ACAD2020,
    IDC_ACAD2021, IDC_ACAD2022, IDC_ACAD2023, IDC_ACAD2024, IDC_ACAD2025, IDC_ACAD2026};

// Pixels per dialog unit for 9-point SimSun at 96 DPI (6 x 12 pixel base units).
constexpr double kPixelsPerUnit = 1.5;

BOOL CALLBACK CountName(HMODULE, LPCWSTR, LPWSTR, LONG_PTR n) { return ++*reinterpret_cast<int*>(n), TRUE; }

}  // namespace

TEST(SetupDialog, FrameAndTextsAreStoredAsUnicode) {
  DialogTemplate t = ReadSetupDialog();
  ASSERT_EQ(t.controls.size(), 36u);
  EXPECT_EQ(t.cx, 283);
  EXPECT_EQ(t.cy, 283);
  EXPECT_EQ(t.style, DWORD(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
  EXPECT_EQ(t.exStyle, DWORD(WS_EX_CLIENTEDGE));
  EXPECT_EQ(t.caption, L"T-批打印软件安装");
  EXPECT_EQ(t.face, L"宋体");
  EXPECT_EQ(t.points, 9);
  EXPECT_EQ(t.weight | t.italic, 0);
  EXPECT_EQ(t.charset, DEFAULT_CHARSET);
  EXPECT_EQ(Find(t, IDCANCEL).text, L"取  消");
  EXPECT_EQ(Find(t, IDC_FINISHED_LABEL).text, L"安装完成！重启CAD，CAD菜单尾会有以下子菜单：");
}

TEST(SetupDialog, ReleaseBoxesComeFirstInYearOrderAsTabStops) {
  DialogTemplate t = ReadSetupDialog();
  ASSERT_EQ(t.controls.size(), 36u);
  for (int k = 0; k < 20; ++k) {
    const Control& c = t.controls[k];
    EXPECT_EQ(c.text, L"For AutoCAD" + std::to_wstring(2007 + k));
    EXPECT_EQ(c.id, kReleaseIds[k]) << 2007 + k;  // 2010 and 2011 have swapped ids
    EXPECT_EQ(c.style & (0xF | WS_TABSTOP | WS_VISIBLE), DWORD(BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE));
  }
}

TEST(SetupDialog, EveryIdOccursOnceAndOnlyTheLaterPagesStartHidden) {
  DialogTemplate t = ReadSetupDialog();
  std::vector<int> ids = {IDOK, IDCANCEL, IDC_TARGET_PATH, IDC_TITLE, IDC_PROGRESS, IDC_BROWSE,
                          IDC_COMPONENTS_LABEL, IDC_PATH_LABEL, IDC_FINISHED_PICTURE, IDC_INSTALL,
                          IDC_FINISHED_LABEL, IDC_EDITION};
  ids.insert(ids.end(), std::begin(kReleaseIds), std::end(kReleaseIds));
  for (int id : ids)
    EXPECT_EQ(std::count_if(t.controls.begin(), t.controls.end(), [id](const Control& c) { return c.id == id; }), 1)
        << "id " << id;
  std::vector<int> hidden;
  for (const Control& c : t.controls)
    if (!(c.style & WS_VISIBLE)) hidden.push_back(c.id);
  EXPECT_EQ(hidden, (std::vector<int>{IDOK, IDC_PROGRESS, IDC_FINISHED_PICTURE, IDC_FINISHED_LABEL}));
  EXPECT_EQ(_wcsicmp(Find(t, IDC_PROGRESS).cls.c_str(), L"msctls_progress32"), 0);
}

// The pages are switched by showing and hiding controls, and the finished page
// by shortening the window by the distance between the Cancel and OK bottoms.
TEST(SetupDialog, PagesShareTheirPlacesAndTheShortenedWindowHoldsTheFinishedPage) {
  DialogTemplate t = ReadSetupDialog();
  const Control &progress = Find(t, IDC_PROGRESS), &edit = Find(t, IDC_TARGET_PATH);
  EXPECT_TRUE(progress.y >= edit.y && progress.bottom() <= edit.bottom());
  EXPECT_GE(progress.x + progress.cx, Find(t, IDC_BROWSE).x);

  const int height = t.cy - (Find(t, IDCANCEL).bottom() - Find(t, IDOK).bottom());
  EXPECT_EQ(height, 283 - 48);
  for (int id : {IDOK, IDC_TITLE, IDC_EDITION, IDC_FINISHED_LABEL, IDC_FINISHED_PICTURE})
    EXPECT_LE(Find(t, id).bottom(), height) << id;
  for (int id : {IDCANCEL, IDC_INSTALL}) EXPECT_GE(Find(t, id).y, height) << id;
  std::vector<int> lines;
  for (const Control& c : t.controls)
    if (Kind(c) == SS_ETCHEDHORZ) lines.push_back(c.y);
  std::sort(lines.begin(), lines.end());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_LT(lines[1], height);  // the two upper lines stay
  EXPECT_GE(lines[2], height);  // the lower one falls outside

  // The label and the picture below it lie between the two upper lines.
  const Control &picture = Find(t, IDC_FINISHED_PICTURE), &label = Find(t, IDC_FINISHED_LABEL);
  EXPECT_GT(label.y, lines[0]);
  EXPECT_GE(picture.y, label.bottom());
  EXPECT_LE(picture.bottom(), lines[1]);
}

TEST(Artwork, BitmapsAreLoadableAtTheirDepthAndFillTheirPicturesAt96Dpi) {
  DialogTemplate t = ReadSetupDialog();
  for (int bitmap : {IDB_LOGO, IDB_PLUGIN_MENU}) {
    SCOPED_TRACE(bitmap);
    auto place = std::find_if(t.controls.begin(), t.controls.end(), [bitmap](const Control& c) {
      return Kind(c) == SS_BITMAP && c.text == L"#" + std::to_wstring(bitmap);
    });
    ASSERT_NE(place, t.controls.end());
    EXPECT_EQ(place->id, bitmap == IDB_LOGO ? -1 : IDC_FINISHED_PICTURE);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(LoadRaw(bitmap, 2));  // RT_BITMAP
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biSize, sizeof(BITMAPINFOHEADER));
    HBITMAP bmp = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmap), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(bmp, sizeof dib, &dib), int(sizeof dib));
    DeleteObject(bmp);
    EXPECT_EQ(dib.dsBmih.biBitCount, bitmap == IDB_LOGO ? 24 : 4);
    // The static sizes itself to the bitmap, which must match its place.
    EXPECT_NEAR(dib.dsBmih.biWidth, place->cx * kPixelsPerUnit, 1.0);
    EXPECT_NEAR(dib.dsBmih.biHeight, place->cy * kPixelsPerUnit, 1.0);
  }
}

TEST(Artwork, IconGroupsHoldSmallLargeAndExtraLargeImages) {
  for (int group : {IDI_SETUP, IDI_SETUP_ALT}) {
    const BYTE* dir = LoadRaw(group, 14);  // RT_GROUP_ICON
    ASSERT_NE(dir, nullptr) << group;
    for (int size : {16, 32, 48}) {
      int icon = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(dir), TRUE, size, size, LR_DEFAULTCOLOR);
      const auto* image = reinterpret_cast<const BITMAPINFOHEADER*>(LoadRaw(icon, 3));  // RT_ICON
      ASSERT_NE(image, nullptr) << group << " " << size;
      EXPECT_EQ(image->biWidth, size) << group;
    }
  }
}

TEST(VersionResource, CarriesTheBuildVersionAndChineseNames) {
  WCHAR path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::vector<BYTE> info(GetFileVersionInfoSizeW(path, nullptr));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, DWORD(info.size()), info.data()));
  UINT len = 0;
  auto query = [&](const std::wstring& key) {
    void* value = nullptr;
    return VerQueryValueW(info.data(), key.c_str(), &value, &len) ? value : nullptr;
  };
  auto* fixed = static_cast<VS_FIXEDFILEINFO*>(query(L"\\"));
  ASSERT_NE(fixed, nullptr);
  const int year = SETUP_VERSION / 10000, month = SETUP_VERSION / 100 % 100, day = SETUP_VERSION % 100;
  EXPECT_EQ(fixed->dwFileVersionMS, DWORD(MAKELONG(month, year)));
  EXPECT_EQ(fixed->dwFileVersionLS, DWORD(MAKELONG(0, day)));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

  auto text = [&](const wchar_t* name) {
    auto* value = static_cast<const wchar_t*>(query(std::wstring(L"\\StringFileInfo\\080404b0\\") + name));
    return std::wstring(value ? value : L"<none>");
  };
  const std::wstring dotted =
      std::to_wstring(year) + L"." + std::to_wstring(month) + L"." + std::to_wstring(day) + L".0";
  EXPECT_EQ(text(L"FileVersion"), dotted);
  EXPECT_EQ(text(L"ProductVersion"), dotted);
  EXPECT_EQ(text(L"ProductName"), L"T-批打印软件");
  EXPECT_EQ(text(L"FileDescription"), L"T-批打印软件安装程序");
  EXPECT_EQ(text(L"OriginalFilename"), L"SetUp.exe");
}

TEST(Manifest, IsTheOnlyOneAndAsksForNoElevationAndNoAssembly) {
  // A second manifest, say one a toolchain links by default, would compete.
  int names = 0;
  EnumResourceNamesW(nullptr, MAKEINTRESOURCEW(24), CountName, reinterpret_cast<LONG_PTR>(&names));
  EXPECT_EQ(names, 1);
  DWORD size = 0;
  const BYTE* data = LoadRaw(1, 24, &size);  // RT_MANIFEST
  ASSERT_NE(data, nullptr);
  const std::string xml(reinterpret_cast<const char*>(data), size);
  EXPECT_NE(xml.find("level=\"asInvoker\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("uiAccess=\"false\""), std::string::npos) << xml;
  EXPECT_EQ(xml.find("<dependency"), std::string::npos) << xml;
}
