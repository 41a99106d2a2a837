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
    ASSERT_TRUE(
        WritePng(paths[i], 8, 8, [i](int, int) { return 0xFF000000u | (0x40u * static_cast<unsigned>(i + 1)); }));
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

// Waits for `count` of the cache's messages to the window.
bool ReceiveMessages(HWND window, UINT message, int count) {
  const DWORD end = GetTickCount() + 30000;
  while (count > 0 && GetTickCount() < end) {
    MSG received;
    if (PeekMessageW(&received, window, message, message, PM_REMOVE))
      --count;
    else
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_POSTMESSAGE);
  }
  return count == 0;
}

// The thumbnail a cache makes on the spot, drawn, against one made in the background.
int DifferentPixels(const CImage& background, const std::wstring& path) {
  lists::ThumbnailCache onTheSpot(32, 32);
  const CImage* expected = onTheSpot.Find(path);
  if (!expected) return -1;
  Canvas a(32, 32, kBackground);
  Canvas b(32, 32, kBackground);
  expected->Draw(a.dc(), 0, 0);
  background.Draw(b.dc(), 0, 0);
  int different = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) ++different;
  return different;
}

TEST(ThumbnailCache, ALargeFileIsDecodedInTheBackgroundForTheWindowsThatAskedAndAChangeWins) {
  constexpr UINT kReady = WM_APP + 7;
  TempFolder folder;
  const std::wstring large = folder.File(L"photo.png");
  ASSERT_TRUE(WritePng(large, 320, 320, [](int x, int y) { return NoisePixel(x, y, 1); }));
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExW(large.c_str(), GetFileExInfoStandard, &data));
  ASSERT_GE(data.nFileSizeLow, lists::ThumbnailCache::kBackgroundBytes);
  const std::wstring small = folder.File(L"face.png");
  ASSERT_TRUE(WritePng(small, 40, 30, [](int, int) { return 0xFFFF0000u; }));
  HWND first = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND second = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(first && second);

  lists::ThumbnailCache cache(32, 32);
  EXPECT_NE(cache.Find(small, first, kReady), nullptr) << "a small picture is decoded on the spot";
  EXPECT_EQ(cache.Find(large, first, kReady), nullptr);
  EXPECT_EQ(cache.Find(large, second, kReady), nullptr);
  EXPECT_EQ(cache.Find(large, first, kReady), nullptr);
  EXPECT_EQ(cache.pending(), 1u);
  EXPECT_EQ(cache.decodes(), 2u) << "asked three times, decoded once";
  ASSERT_TRUE(ReceiveMessages(first, kReady, 1));
  EXPECT_EQ(cache.Collect(), (std::vector<HWND>{first, second}));
  EXPECT_EQ(cache.Collect(), std::vector<HWND>{}) << "each window is told once";
  const CImage* picture = cache.Find(large, first, kReady);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(DifferentPixels(*picture, large), 0);

  // Replaced again before the picture of the first change was taken in: that
  // one is dropped, and the newest shows.
  ASSERT_TRUE(WritePng(large, 320, 320, [](int x, int y) { return NoisePixel(x, y, 2); }));
  TouchLater(large, 5);
  EXPECT_EQ(cache.Find(large, first, kReady), nullptr);
  ASSERT_TRUE(ReceiveMessages(first, kReady, 1));
  ASSERT_TRUE(WritePng(large, 320, 320, [](int x, int y) { return NoisePixel(x, y, 3); }));
  TouchLater(large, 60);
  EXPECT_EQ(cache.Find(large, first, kReady), nullptr);
  EXPECT_EQ(cache.pending(), 1u);
  ASSERT_TRUE(ReceiveMessages(first, kReady, 1));
  EXPECT_EQ(cache.Collect(), std::vector<HWND>{first});
  picture = cache.Find(large, first, kReady);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(DifferentPixels(*picture, large), 0);
  EXPECT_EQ(cache.decodes(), 4u);

  // Without a window to tell, even a large file is decoded on the spot.
  lists::ThumbnailCache plain(32, 32);
  EXPECT_NE(plain.Find(large), nullptr);
  EXPECT_EQ(plain.pending(), 0u);
  DestroyWindow(first);
  DestroyWindow(second);
}

// The end of the program waits for the decodes still under way, so that GDI+
// is not shut down under them.
TEST(ThumbnailCache, FinishingWaitsForTheWorkersAndTheCacheGoesOn) {
  constexpr UINT kReady = WM_APP + 7;
  TempFolder folder;
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  lists::ThumbnailCache cache(32, 32);
  for (int i = 0; i < 4; ++i) {
    const std::wstring path = folder.File(L"photo" + std::to_wstring(i) + L".png");
    ASSERT_TRUE(
        WritePng(path, 320, 320, [i](int x, int y) { return NoisePixel(x, y, 10u + static_cast<std::uint32_t>(i)); }));
    EXPECT_EQ(cache.Find(path, window, kReady), nullptr);
  }
  EXPECT_EQ(cache.pending(), 4u);
  EXPECT_TRUE(lists::ThumbnailCache::FinishWorkers(30000));
  EXPECT_TRUE(lists::ThumbnailCache::FinishWorkers(0)) << "nothing is left running";
  MSG message;
  while (PeekMessageW(&message, window, kReady, kReady, PM_REMOVE)) {
  }
  cache.Collect();

  // Afterwards the cache works as before.
  const std::wstring later = folder.File(L"later.png");
  ASSERT_TRUE(WritePng(later, 320, 320, [](int x, int y) { return NoisePixel(x, y, 99); }));
  EXPECT_EQ(cache.Find(later, window, kReady), nullptr);
  ASSERT_TRUE(ReceiveMessages(window, kReady, 1));
  cache.Collect();
  EXPECT_NE(cache.Find(later, window, kReady), nullptr);
  DestroyWindow(window);
}

TEST(ThumbnailCache, RowsWaitingForAPictureWhoseEntryWasDroppedArePaintedAgainWhenItComes) {
  constexpr UINT kReady = WM_APP + 9;
  TempFolder folder;
  const std::wstring large = folder.File(L"photo.png");
  ASSERT_TRUE(WritePng(large, 320, 320, [](int x, int y) { return NoisePixel(x, y, 5); }));
  const std::wstring small = folder.File(L"face.png");
  ASSERT_TRUE(WritePng(small, 8, 8, [](int, int) { return 0xFF00FF00u; }));
  HWND waiting = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(waiting && other);

  lists::ThumbnailCache cache(32, 32, 1);
  EXPECT_EQ(cache.Find(large, waiting, kReady), nullptr);
  EXPECT_EQ(cache.Find(large, other, kReady), nullptr);
  // A capacity of one: the small picture pushes the pending entry out.
  EXPECT_NE(cache.Find(small), nullptr);
  EXPECT_EQ(cache.pending(), 0u);
  ASSERT_TRUE(ReceiveMessages(waiting, kReady, 1));
  EXPECT_EQ(cache.Collect(), (std::vector<HWND>{waiting, other})) << "both rows that waited are painted again";
  EXPECT_EQ(cache.Collect(), std::vector<HWND>{}) << "once";
  DestroyWindow(waiting);
  DestroyWindow(other);
}

}  // namespace
}  // namespace test
