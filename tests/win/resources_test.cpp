// The pictures, manifest and version information linked into the program.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/windows_api.h"

#include <commctrl.h>

#include "resource.h"

namespace {

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

struct Pixel {
  uint8_t b, g, r, a;
};

// Top-down 32-bit pixels of a bitmap, read through a DIB.
std::vector<Pixel> ReadPixels(HBITMAP bitmap, int width, int height) {
  std::vector<Pixel> pixels(static_cast<size_t>(width) * height);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(nullptr);
  int lines = GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(lines, height);
  return pixels;
}

// Width of the icon image the resource really holds for a requested size, so
// that a size Windows would produce by stretching another one does not pass.
int StoredIconWidth(int id, int size) {
  HRSRC group = FindResourceW(Module(), MAKEINTRESOURCEW(id), RT_GROUP_ICON);
  if (!group) return 0;
  auto* dir = static_cast<BYTE*>(LockResource(LoadResource(Module(), group)));
  int entry = LookupIconIdFromDirectoryEx(dir, TRUE, size, size, LR_DEFAULTCOLOR);
  HRSRC image = FindResourceW(Module(), MAKEINTRESOURCEW(entry), RT_ICON);
  if (!image) return 0;
  auto* header = static_cast<BITMAPINFOHEADER*>(LockResource(LoadResource(Module(), image)));
  EXPECT_EQ(header->biBitCount, 32) << "icon " << id << " at " << size;
  return header->biWidth;
}

struct IconLook {
  int transparent = 0, opaque = 0, partial = 0;
  double r = 0, g = 0, b = 0;  // average over opaque pixels
};

IconLook LoadIconLook(int id, int size) {
  IconLook look;
  HICON icon = static_cast<HICON>(LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
  EXPECT_NE(icon, nullptr) << "icon " << id << " at " << size;
  if (!icon) return look;
  ICONINFO info = {};
  EXPECT_TRUE(GetIconInfo(icon, &info));
  BITMAP bm = {};
  GetObjectW(info.hbmColor, sizeof(bm), &bm);
  EXPECT_EQ(bm.bmWidth, size);
  EXPECT_EQ(bm.bmHeight, size);
  for (const Pixel& p : ReadPixels(info.hbmColor, size, size)) {
    if (p.a == 0) {
      ++look.transparent;
    } else if (p.a == 255) {
      ++look.opaque;
      look.r += p.r;
      look.g += p.g;
      look.b += p.b;
    } else {
      ++look.partial;
    }
  }
  if (look.opaque) {
    look.r /= look.opaque;
    look.g /= look.opaque;
    look.b /= look.opaque;
  }
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
  return look;
}

TEST(Icons, EveryIconHasItsSizesStoredWithTrueAlpha) {
  struct Want {
    int id;
    std::vector<int> sizes;
  };
  // The small pictures at 100, 125, 150 and 200 %, each drawn for its size.
  const std::vector<int> small{16, 20, 24, 32};
  const Want icons[] = {{IDI_APP, {16, 20, 24, 32, 40, 48, 64}},
                        {IDI_ADD_GROUP, small},
                        {IDI_OPTIONS, small},
                        {IDI_ADD_CONTACT, small},
                        {IDI_STATUS_RED, small},
                        {IDI_STATUS_ORANGE, small},
                        {IDI_STATUS_GREEN, small},
                        {IDI_TRAY_SOON, small},
                        {IDI_TRAY_URGENT, small}};
  for (const Want& want : icons) {
    for (int size : want.sizes) {
      SCOPED_TRACE("icon " + std::to_string(want.id) + " at " + std::to_string(size));
      EXPECT_EQ(StoredIconWidth(want.id, size), size);
      IconLook look = LoadIconLook(want.id, size);
      // A picture on a clear background with smoothed edges: all three kinds of pixel.
      EXPECT_GT(look.transparent, size * size / 10);
      EXPECT_GT(look.opaque, size * size / 5);
      EXPECT_GT(look.partial, size / 2);
    }
  }
}

TEST(Icons, AskedForBySizeTheyComeFromTheirOwnImage) {
  // Loading at the size a button or the tray asks for must not be a stretched copy.
  HICON small = static_cast<HICON>(LoadImageW(Module(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  ASSERT_NE(small, nullptr);
  DestroyIcon(small);
  EXPECT_EQ(StoredIconWidth(IDI_APP, 16), 16);
  EXPECT_EQ(StoredIconWidth(IDI_APP, 32), 32);
  // LR_DEFAULTSIZE with size 0 (how the buttons load them) takes the stored 16 x 16.
  HICON button = static_cast<HICON>(LoadImageW(Module(), MAKEINTRESOURCEW(IDI_ADD_CONTACT), IMAGE_ICON, 0, 0, 0));
  ASSERT_NE(button, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(button, &info));
  BITMAP bm = {};
  GetObjectW(info.hbmColor, sizeof(bm), &bm);
  EXPECT_EQ(bm.bmWidth, 16);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(button);
}

TEST(Icons, StatusBallsAndCoinHaveTheirColours) {
  IconLook red = LoadIconLook(IDI_STATUS_RED, 16);
  IconLook orange = LoadIconLook(IDI_STATUS_ORANGE, 16);
  IconLook green = LoadIconLook(IDI_STATUS_GREEN, 16);
  IconLook coin = LoadIconLook(IDI_APP, 32);
  EXPECT_GT(red.r, red.g + 80);
  EXPECT_GT(red.r, red.b + 80);
  EXPECT_GT(orange.r, orange.g + 30);
  EXPECT_GT(orange.g, orange.b + 40);
  EXPECT_GT(orange.g, red.g + 40);
  EXPECT_GT(green.g, green.r + 40);
  EXPECT_GT(green.g, green.b + 40);
  // Gold: red over green over blue, bright.
  EXPECT_GT(coin.r, coin.g);
  EXPECT_GT(coin.g, coin.b + 60);
  EXPECT_GT(coin.r, 180);
}

// An icon's pixels at size, top-down.
std::vector<Pixel> IconPixels(int id, int size) {
  HICON icon = static_cast<HICON>(LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
  EXPECT_NE(icon, nullptr) << "icon " << id << " at " << size;
  if (!icon) return {};
  ICONINFO info = {};
  EXPECT_TRUE(GetIconInfo(icon, &info));
  std::vector<Pixel> pixels = ReadPixels(info.hbmColor, size, size);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
  return pixels;
}

TEST(Icons, TrayVariantsAreTheCoinWithAnOrangeOrRedBallInTheLowerRightCorner) {
  for (int size : {16, 20, 24, 32}) {
    SCOPED_TRACE("at " + std::to_string(size));
    const std::vector<Pixel> coin = IconPixels(IDI_APP, size);
    const std::vector<Pixel> soon = IconPixels(IDI_TRAY_SOON, size);
    const std::vector<Pixel> urgent = IconPixels(IDI_TRAY_URGENT, size);
    ASSERT_EQ(soon.size(), coin.size());
    ASSERT_EQ(urgent.size(), coin.size());
    const auto at = [size](const std::vector<Pixel>& pixels, int x, int y) -> const Pixel& {
      return pixels[static_cast<size_t>(y) * size + x];
    };
    // The upper-left stays the coin the user knows.
    int same = 0;
    for (int y = 0; y < size / 2; ++y)
      for (int x = 0; x < size / 2; ++x)
        same += std::memcmp(&at(coin, x, y), &at(soon, x, y), sizeof(Pixel)) == 0 &&
                std::memcmp(&at(coin, x, y), &at(urgent, x, y), sizeof(Pixel)) == 0;
    EXPECT_EQ(same, size * size / 4);
    // The ball's middle, a quarter of the size in from the corner: readable at 16 pixels.
    const int middle = size - 1 - size / 4;
    const Pixel red = at(urgent, middle, middle);
    const Pixel orange = at(soon, middle, middle);
    EXPECT_EQ(red.a, 255);
    EXPECT_GT(red.r, red.g + 100);
    EXPECT_GT(red.r, red.b + 100);
    EXPECT_EQ(orange.a, 255);
    EXPECT_GT(orange.r, orange.b + 120);
    EXPECT_GT(orange.g, orange.b + 40);
    EXPECT_GT(orange.g, red.g + 40);
    // A light ring round the ball on its way to the centre of the icon.
    int light = 0;
    for (int step = 0; step < size / 2; ++step) {
      const Pixel p = at(urgent, middle - step, middle - step);
      light += p.a == 255 && p.r > 200 && p.g > 200 && p.b > 200;
    }
    EXPECT_GE(light, 1);
  }
}

bool IsMagenta(const Pixel& p) { return p.r == 255 && p.g == 0 && p.b == 255; }

struct Strip {
  int width = 0, height = 0, bits = 0;
  std::vector<Pixel> pixels;
};

Strip LoadStrip(int id) {
  Strip strip;
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  EXPECT_NE(bitmap, nullptr) << "bitmap " << id;
  if (!bitmap) return strip;
  DIBSECTION dib = {};
  EXPECT_EQ(GetObjectW(bitmap, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
  strip.width = dib.dsBm.bmWidth;
  strip.height = dib.dsBm.bmHeight;
  strip.bits = dib.dsBm.bmBitsPixel;
  strip.pixels = ReadPixels(bitmap, strip.width, strip.height);
  DeleteObject(bitmap);
  return strip;
}

struct CellLook {
  int magenta = 0, drawn = 0, fringe = 0, red = 0, green = 0, blue = 0;
};

CellLook LookAtCell(const Strip& strip, int cell, int x0 = 0, int y0 = 0, int x1 = 16, int y1 = 16) {
  CellLook look;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const Pixel& p = strip.pixels[static_cast<size_t>(y) * strip.width + cell * 16 + x];
      if (IsMagenta(p)) {
        ++look.magenta;
        continue;
      }
      ++look.drawn;
      // A pinkish pixel left from smoothing against magenta would show as a halo.
      if (p.r > 200 && p.b > 200 && p.g < 120) ++look.fringe;
      if (p.r > p.g + 80 && p.r > p.b + 80) ++look.red;
      if (p.g > p.r + 40 && p.g > p.b + 40) ++look.green;
      if (p.b > p.r + 60 && p.b > p.g + 20) ++look.blue;
    }
  }
  return look;
}

TEST(Bitmaps, MenuStripsAre24BitCellsOnMagenta) {
  struct Want {
    int id, width, cells;
  };
  for (const Want& want : {Want{IDB_MENU, 96, 6}, Want{IDB_CONTACT_MENU, 32, 2}}) {
    SCOPED_TRACE("bitmap " + std::to_string(want.id));
    Strip strip = LoadStrip(want.id);
    EXPECT_EQ(strip.width, want.width);
    EXPECT_EQ(strip.height, 16);
    EXPECT_EQ(strip.bits, 24);
    ASSERT_EQ(strip.pixels.size(), static_cast<size_t>(want.width) * 16);
    for (int cell = 0; cell < want.cells; ++cell) {
      SCOPED_TRACE("cell " + std::to_string(cell));
      CellLook look = LookAtCell(strip, cell);
      EXPECT_TRUE(IsMagenta(strip.pixels[cell * 16])) << "top-left corner is background";
      EXPECT_GT(look.magenta, 20);
      EXPECT_GT(look.drawn, 60);
      EXPECT_EQ(look.fringe, 0);
    }
  }
}

TEST(Bitmaps, EveryStripIsDrawnAgainAtEachScale) {
  struct Want {
    int id, size, cells;
  };
  const Want strips[] = {{IDB_MENU_20, 20, 6},         {IDB_MENU_24, 24, 6},         {IDB_MENU_32, 32, 6},
                         {IDB_CONTACT_MENU_20, 20, 2}, {IDB_CONTACT_MENU_24, 24, 2}, {IDB_CONTACT_MENU_32, 32, 2}};
  for (const Want& want : strips) {
    SCOPED_TRACE("bitmap " + std::to_string(want.id));
    Strip strip = LoadStrip(want.id);
    EXPECT_EQ(strip.width, want.size * want.cells);
    EXPECT_EQ(strip.height, want.size);
    EXPECT_EQ(strip.bits, 24);
    ASSERT_EQ(strip.pixels.size(), static_cast<size_t>(strip.width) * want.size);
    for (int cell = 0; cell < want.cells; ++cell) {
      int magenta = 0;
      for (int y = 0; y < want.size; ++y)
        for (int x = 0; x < want.size; ++x)
          if (IsMagenta(strip.pixels[static_cast<size_t>(y) * strip.width + cell * want.size + x])) ++magenta;
      const int area = want.size * want.size;
      EXPECT_TRUE(IsMagenta(strip.pixels[cell * want.size])) << "cell " << cell << ": top-left corner is background";
      EXPECT_LT(magenta, area * 9 / 10) << "cell " << cell << " holds a picture";
    }
  }
}

TEST(Bitmaps, CellsShowWhatTheirCommandsDo) {
  Strip menu = LoadStrip(IDB_MENU);
  Strip contact = LoadStrip(IDB_CONTACT_MENU);
  ASSERT_EQ(menu.pixels.size(), 96u * 16);
  ASSERT_EQ(contact.pixels.size(), 32u * 16);
  EXPECT_GT(LookAtCell(menu, MENU_IMAGE_DELETE).red, 30) << "delete is a red cross";
  EXPECT_GT(LookAtCell(contact, CONTACT_MENU_IMAGE_DELETE).red, 30) << "delete is a red cross";
  EXPECT_GT(LookAtCell(menu, MENU_IMAGE_ADD_CONTACT, 8, 8).green, 8) << "a green plus at the lower right";
  EXPECT_GT(LookAtCell(menu, MENU_IMAGE_EXIT).green, 8) << "the way out is a green arrow";
  EXPECT_GT(LookAtCell(contact, CONTACT_MENU_IMAGE_OPEN, 8, 6).blue, 8) << "a blue tick at the lower right";
  EXPECT_GT(LookAtCell(menu, MENU_IMAGE_SHOW_WINDOW).blue, 10) << "a window's title bar";
  // The cross spans its cell corner to corner and leaves the middle of each edge clear.
  EXPECT_FALSE(IsMagenta(contact.pixels[8 * 32 + 16 + 8]));
  EXPECT_TRUE(IsMagenta(contact.pixels[0 * 32 + 16 + 8]));
}

TEST(Bitmaps, MaskedImageListDrawsOnlyThePictures) {
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(Module(), MAKEINTRESOURCEW(IDB_MENU), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(bitmap, nullptr);
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 2);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ImageList_AddMasked(list, bitmap, RGB(255, 0, 255)), 0);
  DeleteObject(bitmap);
  EXPECT_EQ(ImageList_GetImageCount(list), 6);

  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, target);
  const COLORREF kBackground = RGB(10, 200, 30);
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE("image " + std::to_string(i));
    HBRUSH brush = CreateSolidBrush(kBackground);
    RECT all = {0, 0, 16, 16};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    EXPECT_TRUE(ImageList_Draw(list, i, dc, 0, 0, ILD_TRANSPARENT));
    int background = 0, magenta = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        COLORREF c = GetPixel(dc, x, y);
        if (c == kBackground) ++background;
        if (c == RGB(255, 0, 255)) ++magenta;
      }
    }
    EXPECT_EQ(GetPixel(dc, 0, 0), kBackground);
    EXPECT_EQ(magenta, 0);
    EXPECT_GT(background, 20);
    EXPECT_LT(background, 200);
  }
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  ImageList_Destroy(list);
}

std::string ManifestText() {
  HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  if (!found) return {};
  const char* data = static_cast<const char*>(LockResource(LoadResource(Module(), found)));
  return std::string(data, SizeofResource(Module(), found));
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(Manifest, BindsCommonControls6ForThisArchitectureAndRunsAsInvoker) {
  std::string manifest = ManifestText();
  ASSERT_FALSE(manifest.empty());
  EXPECT_EQ(Count(manifest, "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), 1u);
  EXPECT_EQ(Count(manifest, "<requestedExecutionLevel level=\"asInvoker\""), 1u);
#ifdef _WIN64
  const char* mine = "processorArchitecture=\"amd64\"";
  const char* other = "processorArchitecture=\"x86\"";
#else
  const char* mine = "processorArchitecture=\"x86\"";
  const char* other = "processorArchitecture=\"amd64\"";
#endif
  EXPECT_EQ(Count(manifest, mine), 2u);
  EXPECT_EQ(Count(manifest, other), 0u);
}

TEST(Manifest, ProcessGetsTheSideBySideCommonControls) {
  // comctl32 6 reports an old version number under Wine; where it was loaded from tells.
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&init);
  HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(comctl, path, MAX_PATH);
  std::wstring lower(path);
  for (wchar_t& c : lower) c = towlower(c);
  EXPECT_NE(lower.find(L"winsxs"), std::wstring::npos) << "loaded from " << std::string(lower.begin(), lower.end());
  EXPECT_NE(lower.find(L"common-controls"), std::wstring::npos);
  EXPECT_NE(GetProcAddress(comctl, "SetWindowSubclass"), nullptr);
}

std::wstring VersionString(const std::vector<BYTE>& data, const wchar_t* name) {
  wchar_t* value = nullptr;
  UINT length = 0;
  std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return {};
  return std::wstring(value);
}

TEST(Version, ReadsBackFromTheExecutable) {
  wchar_t path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, data.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS,
            static_cast<DWORD>(MAKELONG(AMICORD_TEST_VERSION_MINOR, AMICORD_TEST_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, AMICORD_TEST_VERSION_PATCH)));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  EXPECT_EQ(VersionString(data, L"ProductName"), L"Amicord");
  EXPECT_EQ(VersionString(data, L"FileVersion"), AMICORD_TEST_VERSION_TEXT);
  EXPECT_EQ(VersionString(data, L"ProductVersion"), AMICORD_TEST_VERSION_TEXT);
  EXPECT_EQ(VersionString(data, L"FileDescription"), L"Amicord - Personal Relationship Manager");
  EXPECT_EQ(VersionString(data, L"OriginalFilename"), L"Amicord.exe");
}

}  // namespace
