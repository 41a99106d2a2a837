#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <objidl.h>
#include <gdiplus.h>

#include "framework/image.h"
#include "tests/win/framework/pixels.h"

namespace {

std::wstring TempPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + L"amicord-framework-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}

bool EncoderClsid(const wchar_t* mime, CLSID* clsid) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<BYTE> storage(size);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(storage.data());
  if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (std::wstring(encoders[i].MimeType) == mime) {
      *clsid = encoders[i].Clsid;
      return true;
    }
  }
  return false;
}

// Writes a PNG whose pixel (x, y) is colour(x, y) as 0xAARRGGBB.
template <class Colour>
std::wstring WritePng(const wchar_t* name, int width, int height, Gdiplus::PixelFormat format, Colour colour) {
  Gdiplus::Bitmap bitmap(width, height, format);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap.SetPixel(x, y, Gdiplus::Color(colour(x, y)));
  CLSID png{};
  EXPECT_TRUE(EncoderClsid(L"image/png", &png));
  const std::wstring path = TempPath(name);
  EXPECT_EQ(bitmap.Save(path.c_str(), &png, nullptr), Gdiplus::Ok);
  return path;
}

class FileCleanup {
 public:
  explicit FileCleanup(std::wstring path) : path_(std::move(path)) {}
  ~FileCleanup() { DeleteFileW(path_.c_str()); }

 private:
  std::wstring path_;
};

constexpr Gdiplus::ARGB kOpaqueRed = 0xFFFF0000;
constexpr Gdiplus::ARGB kInvisibleBlue = 0x000000FF;  // colour left in a transparent pixel
constexpr Gdiplus::ARGB kHalfRed = 0x80FF0000;

TEST(Image, AlphaPictureIsSqueezedIntoTheRectangleAndBlendedCorrectly) {
  // 128 x 64: left half opaque red, right half transparent, bottom rows half-transparent red.
  const std::wstring path = WritePng(L"alpha.png", 128, 64, PixelFormat32bppARGB, [](int x, int y) {
    if (y >= 48) return kHalfRed;
    return x < 64 ? kOpaqueRed : kInvisibleBlue;
  });
  FileCleanup cleanup(path);
  CImage image;
  ASSERT_EQ(image.Load(path), S_OK);
  EXPECT_FALSE(image.IsNull());
  EXPECT_EQ(image.GetWidth(), 128);
  EXPECT_EQ(image.GetHeight(), 64);
  EXPECT_EQ(image.GetBPP(), 32);
  EXPECT_TRUE(image.HasAlphaChannel());

  // Squeezed, not letter-boxed, into a 60 x 40 area inside a 64 x 44 canvas.
  test::Canvas white(64, 44, RGB(255, 255, 255));
  ASSERT_TRUE(image.Draw(white.dc(), RECT{2, 2, 62, 42}));
  EXPECT_EQ(white.Pixel(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(white.Pixel(30, 20), RGB(255, 0, 0));
  EXPECT_EQ(white.Pixel(33, 2), RGB(255, 255, 255)) << "white shows through transparent pixels";
  EXPECT_EQ(white.Pixel(61, 20), RGB(255, 255, 255));
  EXPECT_EQ(white.Pixel(1, 1), RGB(255, 255, 255));

  // Over black, half-transparent red must be half as bright: straight
  // (non-premultiplied) pixels would come out full red.
  test::Canvas black(64, 44, RGB(0, 0, 0));
  ASSERT_TRUE(image.Draw(black.dc(), RECT{2, 2, 62, 42}));
  EXPECT_EQ(black.Pixel(50, 10), RGB(0, 0, 0));
  const COLORREF half = black.Pixel(10, 40);
  EXPECT_NEAR(GetRValue(half), 128, 2);
  EXPECT_EQ(GetGValue(half), 0);
  EXPECT_EQ(GetBValue(half), 0);
  EXPECT_EQ(black.Pixel(10, 20), RGB(255, 0, 0));
}

TEST(Image, OpaquePictureIsCopiedAndATransparentColourIsLeftOut) {
  // 4 x 2: green column 0, blue elsewhere, red bottom-right.
  const std::wstring path = WritePng(L"opaque.png", 4, 2, PixelFormat24bppRGB, [](int x, int y) {
    if (x == 3 && y == 1) return static_cast<Gdiplus::ARGB>(0xFFFF0000);
    return static_cast<Gdiplus::ARGB>(x == 0 ? 0xFF00FF00 : 0xFF0000FF);
  });
  FileCleanup cleanup(path);
  CImage image;
  ASSERT_EQ(image.Load(path), S_OK);
  EXPECT_FALSE(image.HasAlphaChannel());
  EXPECT_EQ(image.GetBPP(), 24);

  test::Canvas canvas(16, 8, RGB(255, 255, 255));
  ASSERT_TRUE(image.Draw(canvas.dc(), RECT{0, 0, 16, 8}));  // each pixel becomes 4 x 4
  EXPECT_EQ(canvas.Pixel(1, 1), RGB(0, 255, 0));
  EXPECT_EQ(canvas.Pixel(6, 1), RGB(0, 0, 255));
  EXPECT_EQ(canvas.Pixel(15, 7), RGB(255, 0, 0));

  // Only part of the picture: its red pixel at 1:1 at (0, 0).
  canvas.Fill(RGB(255, 255, 255));
  ASSERT_TRUE(image.Draw(canvas.dc(), RECT{0, 0, 1, 1}, RECT{3, 1, 4, 2}));
  EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(canvas.Pixel(1, 0), RGB(255, 255, 255));

  EXPECT_EQ(image.SetTransparentColor(RGB(0, 255, 0)), CLR_INVALID);
  EXPECT_EQ(image.GetTransparentColor(), RGB(0, 255, 0));
  canvas.Fill(RGB(255, 255, 255));
  ASSERT_TRUE(image.Draw(canvas.dc(), RECT{0, 0, 16, 8}));
  EXPECT_EQ(canvas.Pixel(1, 1), RGB(255, 255, 255)) << "the transparent colour is left out";
  EXPECT_EQ(canvas.Pixel(6, 1), RGB(0, 0, 255));
}

TEST(Image, MissingAndNonPictureFilesLeaveTheImageEmpty) {
  const std::wstring path = WritePng(L"valid.png", 2, 2, PixelFormat32bppARGB, [](int, int) { return kOpaqueRed; });
  FileCleanup cleanup(path);
  const std::wstring text = TempPath(L"notes.png");
  FileCleanup textCleanup(text);
  {
    HANDLE file = CreateFileW(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "not a picture at all", 20, &written, nullptr);
    CloseHandle(file);
  }
  const long bitmaps = handles::LiveCount(handles::Kind::Bitmap);
  CImage image;
  ASSERT_EQ(image.Load(path), S_OK);
  image.SetTransparentColor(RGB(1, 2, 3));
  EXPECT_EQ(handles::LiveCount(handles::Kind::Bitmap), bitmaps + 1);

  EXPECT_TRUE(FAILED(image.Load(text)));
  EXPECT_TRUE(image.IsNull());
  EXPECT_EQ(image.GetWidth(), 0);
  EXPECT_EQ(image.GetTransparentColor(), CLR_INVALID);
  EXPECT_EQ(handles::LiveCount(handles::Kind::Bitmap), bitmaps) << "the old picture is released";
  EXPECT_TRUE(FAILED(image.Load(TempPath(L"missing.png"))));
  EXPECT_TRUE(FAILED(image.Load(L"")));
  test::Canvas canvas(4, 4, RGB(255, 255, 255));
  EXPECT_FALSE(image.Draw(canvas.dc(), RECT{0, 0, 4, 4}));
  EXPECT_EQ(canvas.Count(RGB(255, 255, 255)), 16);

  // The file is not kept open: it can be replaced at once.
  ASSERT_EQ(image.Load(path), S_OK);
  EXPECT_TRUE(DeleteFileW(path.c_str()));
  EXPECT_FALSE(image.IsNull());
}

}  // namespace
