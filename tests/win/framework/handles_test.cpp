#include <gtest/gtest.h>

#include <utility>

#include "framework/double_buffer.h"
#include "framework/handles.h"
#include "tests/win/framework/pixels.h"

namespace {

TEST(UniqueHandle, OwnsMovesReleasesAndCounts) {
  const long fonts = handles::LiveCount(handles::Kind::Font);
  {
    UniqueFont font(CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    ASSERT_TRUE(font);
    EXPECT_EQ(handles::LiveCount(handles::Kind::Font), fonts + 1);
    HFONT raw = font.get();

    UniqueFont moved(std::move(font));
    EXPECT_FALSE(font);
    EXPECT_EQ(moved.get(), raw);
    EXPECT_EQ(handles::LiveCount(handles::Kind::Font), fonts + 1);

    UniqueFont assigned;
    assigned = std::move(moved);
    EXPECT_EQ(assigned.get(), raw);
    EXPECT_EQ(handles::LiveCount(handles::Kind::Font), fonts + 1);

    HFONT released = assigned.release();
    EXPECT_FALSE(assigned);
    EXPECT_EQ(handles::LiveCount(handles::Kind::Font), fonts);
    EXPECT_NE(GetObjectType(released), 0u);
    assigned.reset(released);
    EXPECT_EQ(handles::LiveCount(handles::Kind::Font), fonts + 1);
  }
  EXPECT_EQ(handles::LiveCount(handles::Kind::Font), fonts);
}

TEST(UniqueHandle, ResetDeletesTheOldObjectAndKeepsLastError) {
  UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
  HBRUSH first = brush.get();
  ASSERT_NE(GetObjectType(first), 0u);
  SetLastError(ERROR_FILE_NOT_FOUND);
  brush.reset(CreateSolidBrush(RGB(4, 5, 6)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetObjectType(first), 0u) << "the replaced brush must be deleted";
  SetLastError(ERROR_ACCESS_DENIED);
  brush.reset();
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(brush);
}

TEST(UniqueHandle, MenusIconsAndImageListsAreDestroyed) {
  const long before = handles::LiveCount();
  HMENU raw = nullptr;
  {
    UniqueMenu menu(CreatePopupMenu());
    raw = menu.get();
    ASSERT_TRUE(IsMenu(raw));
    UniqueImageList images(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2));
    ASSERT_TRUE(images);
    UniqueIcon icon(CopyIcon(LoadIconW(nullptr, IDI_APPLICATION)));
    ASSERT_TRUE(icon);
    EXPECT_EQ(handles::LiveCount(), before + 3);
  }
  EXPECT_FALSE(IsMenu(raw));
  EXPECT_EQ(handles::LiveCount(), before);
}

TEST(UniqueWindow, DestroysItsWindowCountsWhileAliveAndToleratesOneGoneWithItsParent) {
  const long windows = handles::LiveCount(handles::Kind::Window);
  UniqueWindow parent(CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(parent);
  UniqueWindow child(CreateWindowExW(0, L"STATIC", L"child", WS_CHILD, 0, 0, 10, 10, parent.get(), nullptr,
                                     GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(child);
  EXPECT_EQ(handles::LiveCount(handles::Kind::Window), windows + 2);

  const HWND first = parent.get();
  const HWND gone = child.get();
  parent.reset();
  EXPECT_FALSE(IsWindow(first));
  EXPECT_FALSE(IsWindow(gone)) << "the child went with its parent";
  EXPECT_EQ(handles::LiveCount(handles::Kind::Window), windows + 1) << "still owned, though gone";
  child.reset();
  EXPECT_EQ(handles::LiveCount(handles::Kind::Window), windows);

  HWND kept = nullptr;
  {
    UniqueWindow owned(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr));
    kept = owned.get();
    ASSERT_TRUE(IsWindow(kept));
  }
  EXPECT_FALSE(IsWindow(kept));
  EXPECT_EQ(handles::LiveCount(handles::Kind::Window), windows);
}

TEST(SelectionGuard, RestoresThePreviousObjectOfItsOwnDC) {
  UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
  UniqueMemoryDC other(CreateCompatibleDC(nullptr));
  UniquePen red(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
  UniquePen blue(CreatePen(PS_SOLID, 1, RGB(0, 0, 255)));
  HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_PEN);
  HGDIOBJ otherOriginal = GetCurrentObject(other.get(), OBJ_PEN);
  {
    SelectionGuard outer(dc.get(), red.get());
    EXPECT_TRUE(outer.selected());
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), red.get());
    {
      SelectionGuard inner(dc.get(), blue.get());
      SelectionGuard elsewhere(other.get(), red.get());
      EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), blue.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), red.get());
    EXPECT_EQ(GetCurrentObject(other.get(), OBJ_PEN), otherOriginal);
  }
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), original);
}

TEST(SelectionGuard, EarlyRestoreAndUnselectableObjects) {
  UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
  UniqueBrush brush(CreateSolidBrush(RGB(9, 9, 9)));
  HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BRUSH);
  SelectionGuard guard(dc.get(), brush.get());
  guard.Restore();
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), original);
  brush.reset();  // safe: no longer selected

  UniqueRegion region(CreateRectRgn(0, 0, 4, 4));
  SelectionGuard regionGuard(dc.get(), region.get());
  EXPECT_FALSE(regionGuard.selected());
  SelectionGuard nullGuard(nullptr, nullptr);
  EXPECT_FALSE(nullGuard.selected());
}

TEST(DoubleBuffer, DrawsLocallyAndFlushesOnceIntoTheRectangle) {
  test::Canvas canvas(40, 30, RGB(255, 255, 255));
  const RECT target{10, 5, 30, 25};
  {
    DoubleBuffer buffer(canvas.dc(), target);
    ASSERT_TRUE(buffer.ok());
    EXPECT_EQ(buffer.width(), 20);
    EXPECT_EQ(buffer.height(), 20);
    UniqueBrush green(CreateSolidBrush(RGB(0, 200, 0)));
    RECT local = buffer.local();
    FillRect(buffer.dc(), &local, green.get());
    SetPixel(buffer.dc(), 0, 0, RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(10, 5), RGB(255, 255, 255)) << "nothing reaches the target before Flush";
    EXPECT_TRUE(buffer.Flush());
  }
  EXPECT_EQ(canvas.Pixel(10, 5), RGB(255, 0, 0));
  EXPECT_EQ(canvas.Pixel(29, 24), RGB(0, 200, 0));
  EXPECT_EQ(canvas.Pixel(9, 5), RGB(255, 255, 255));
  EXPECT_EQ(canvas.Pixel(30, 25), RGB(255, 255, 255));
}

TEST(DoubleBuffer, EmptyRectangleStillGivesAUsableDC) {
  test::Canvas canvas(4, 4, RGB(0, 0, 0));
  const long before = handles::LiveCount();
  {
    DoubleBuffer buffer(canvas.dc(), RECT{2, 2, 2, 2});
    EXPECT_TRUE(buffer.ok());
    EXPECT_EQ(buffer.width(), 1);
  }
  EXPECT_EQ(handles::LiveCount(), before);
}

}  // namespace

namespace {

// GetGuiResources answers 0 under some Windows implementations; then only the
// counts of the owning types are compared.
DWORD GdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

TEST(DoubleBuffer, RepeatedPaintingDoesNotGrowGdiObjects) {
  test::Canvas canvas(64, 64, RGB(255, 255, 255));
  auto paint = [&] {
    DoubleBuffer buffer(canvas.dc(), RECT{0, 0, 64, 40});
    UniqueBrush brush(CreateSolidBrush(RGB(10, 20, 30)));
    UniqueFont font(CreateFontW(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    SelectionGuard fontGuard(buffer.dc(), font.get());
    RECT local = buffer.local();
    FillRect(buffer.dc(), &local, brush.get());
    DrawTextW(buffer.dc(), L"Name", -1, &local, DT_SINGLELINE);
    buffer.Flush();
  };
  paint();
  const long owned = handles::LiveCount();
  const DWORD gdi = GdiObjects();
  for (int i = 0; i < 300; ++i) paint();
  EXPECT_EQ(handles::LiveCount(), owned);
  RecordProperty("GdiObjectsBefore", static_cast<int>(gdi));
  if (gdi != 0) {
    EXPECT_LE(GdiObjects(), gdi + 2);
  }
}

}  // namespace
