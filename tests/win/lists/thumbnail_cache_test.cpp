#include <gtest/gtest.h>

#include "lists/thumbnail_cache.h"
#include "tests/win/controls/test_files.h"
#include "tests/win/framework/pixels.h"

namespace test {
namespace {

constexpr COLORREF kBackground = RGB(10, 200, 30);

// Moves a file's last write time on, as saving it again later would.
void TouchLater(const std::wstring& path, int seconds) {
  HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME written{};
  GetFileTime(file, nullptr, nullptr, &written);
  ULARGE_INTEGER value{};
  value.LowPart = written.dwLowDateTime;
  value.HighPart = written.dwHighDateTime;
  value.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ULL;
  written.dwLowDateTime = value.LowPart;
  written.dwHighDateTime = value.HighPart;
  SetFileTime(file, nullptr, nullptr, &written);
  CloseHandle(file);
}

TEST(ThumbnailCache, DecodesAFileOnceUntilItChangesAndForgetsItWhenItGoes) {
  TempFolder folder;
  const std::wstring path = folder.File(L"face.png");
  ASSERT_TRUE(WritePng(path, 40, 30, [](int, int) { return 0xFFFF0000u; }));
  lists::ThumbnailCache cache(32, 32);
  for (int paint = 0; paint < 5; ++paint) {
    const CImage* picture = cache.Find(path);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetWidth(), 32);
    EXPECT_EQ(picture->GetHeight(), 32);
  }
  EXPECT_EQ(cache.decodes(), 1u);

  // Same size, new content, later time: the new picture shows.
  ASSERT_TRUE(WritePng(path, 40, 30, [](int, int) { return 0xFF0000FFu; }));
  TouchLater(path, 5);
  const CImage* replaced = cache.Find(path);
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(cache.decodes(), 2u);
  Canvas canvas(32, 32, kBackground);
  replaced->Draw(canvas.dc(), 0, 0);
  EXPECT_EQ(canvas.Pixel(16, 16), RGB(0, 0, 255));

  DeleteFileW(path.c_str());
  EXPECT_EQ(cache.Find(path), nullptr);
  EXPECT_EQ(cache.size(), 0u);

  // Not a picture: nothing to show, and not read again at every paint.
  const std::wstring text = folder.File(L"notes.png");
  ASSERT_TRUE(WriteText(text, "not a picture"));
  EXPECT_EQ(cache.Find(text), nullptr);
  EXPECT_EQ(cache.Find(text), nullptr);
  EXPECT_EQ(cache.decodes(), 3u);
  EXPECT_EQ(cache.Find(L""), nullptr);
  EXPECT_EQ(cache.Find(folder.File(L"")), nullptr) << "a folder is no picture";
}

TEST(ThumbnailCache, AThumbnailDrawsTheSamePixelsAsTheFullPictureStretched) {
  TempFolder folder;
  const std::wstring opaque = folder.File(L"opaque.png");
  const std::wstring glass = folder.File(L"glass.png");
  ASSERT_TRUE(WritePng(opaque, 300, 200, [](int x, int y) {
    return 0xFF000000u | (static_cast<std::uint32_t>(x % 256) << 16) | (static_cast<std::uint32_t>(y % 256) << 8) |
           static_cast<std::uint32_t>((x * y) % 256);
  }));
  ASSERT_TRUE(WritePng(glass, 64, 64, [](int x, int y) {
    return (static_cast<std::uint32_t>((x * 4) % 256) << 24) | 0x00FF00u | static_cast<std::uint32_t>(y * 3);
  }));
  lists::ThumbnailCache cache(32, 32);
  for (const std::wstring& path : {opaque, glass}) {
    CImage full;
    ASSERT_TRUE(SUCCEEDED(full.Load(path)));
    Canvas direct(40, 40, kBackground);
    full.Draw(direct.dc(), RECT{4, 4, 36, 36});
    Canvas cached(40, 40, kBackground);
    const CImage* thumbnail = cache.Find(path);
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(thumbnail->HasAlphaChannel(), full.HasAlphaChannel());
    thumbnail->Draw(cached.dc(), RECT{4, 4, 36, 36});
    int different = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        if (direct.Pixel(x, y) != cached.Pixel(x, y)) ++different;
    EXPECT_EQ(different, 0) << "picture " << std::string(path.begin(), path.end());
  }
}

TEST(ThumbnailCache, KeepsTheMostRecentlyUsedWithinItsCapacity) {
  TempFolder folder;
  std::wstring paths[3];
  for (int i = 0; i < 3; ++i) {
    paths[i] = folder.File(L"p" + std::to_wstring(i) + L".png");
    ASSERT_TRUE(WritePng(paths[i], 8, 8, [i](int, int) { return 0xFF000000u | (0x40u * static_cast<unsigned>(i + 1)); }));
  }
  lists::ThumbnailCache cache(32, 32, 2);
  cache.Find(paths[0]);
  cache.Find(paths[1]);
  cache.Find(paths[0]);  // 1 is now the least recently used
  cache.Find(paths[2]);
  EXPECT_EQ(cache.size(), 2u);
  EXPECT_EQ(cache.decodes(), 3u);
  cache.Find(paths[0]);
  EXPECT_EQ(cache.decodes(), 3u);
  cache.Find(paths[1]);
  EXPECT_EQ(cache.decodes(), 4u);
}

}  // namespace
}  // namespace test
