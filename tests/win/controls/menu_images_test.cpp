#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <commctrl.h>

#include "controls/menu_drawing.h"
#include "tests/win/controls/canvas.h"
#include "tests/win/controls/controls_test_resources.h"

namespace {

constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);

TEST(MenuImages, AStripBecomesMaskedSixteenPixelImages) {
  const long lists = handles::LiveCount(handles::Kind::ImageList);
  const long bitmaps = handles::LiveCount(handles::Kind::Bitmap);
  {
    UniqueImageList images = WTL_EX::LoadMenuImages(IDB_TEST_MENU_STRIP);
    ASSERT_TRUE(images);
    EXPECT_EQ(ImageList_GetImageCount(images.get()), 2);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images.get(), &width, &height));
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);

    // Magenta is where the menu shows through, in each image's own place.
    Canvas canvas(32, 16, kWhite);
    ASSERT_TRUE(ImageList_Draw(images.get(), 0, canvas.dc(), 0, 0, ILD_NORMAL));
    ASSERT_TRUE(ImageList_Draw(images.get(), 1, canvas.dc(), 16, 0, ILD_NORMAL));
    EXPECT_TRUE(Near(canvas.At(8, 8), RGB(0xFF, 0, 0))) << canvas.Describe(RECT{0, 0, 32, 16});
    EXPECT_EQ(canvas.At(1, 1), kWhite);
    EXPECT_TRUE(Near(canvas.At(5, 1), RGB(0xFF, 0, 0)));
    EXPECT_TRUE(Near(canvas.At(24, 8), RGB(0, 0, 0xFF)));
    EXPECT_EQ(canvas.At(30, 14), kWhite);
    EXPECT_EQ(canvas.Count(RECT{0, 0, 32, 16}, kWhite), 4 * 4 * 2);
    EXPECT_EQ(handles::LiveCount(handles::Kind::ImageList), lists + 1);
  }
  EXPECT_EQ(handles::LiveCount(handles::Kind::ImageList), lists);
  EXPECT_EQ(handles::LiveCount(handles::Kind::Bitmap), bitmaps) << "the strip is released once copied";

  // A strip that is not there gives a list without images, as before.
  UniqueImageList none = WTL_EX::LoadMenuImages(9999);
  ASSERT_TRUE(none);
  EXPECT_EQ(ImageList_GetImageCount(none.get()), 0);
}

TEST(MenuImages, EachDpiTakesTheLargestStripThatFits) {
  const WTL_EX::MenuStrips strips{16, 20, 24, 32};
  EXPECT_EQ(WTL_EX::MenuStripForDpi(strips, 96), 16u);
  EXPECT_EQ(WTL_EX::MenuStripForDpi(strips, 120), 20u);
  EXPECT_EQ(WTL_EX::MenuStripForDpi(strips, 144), 24u);
  EXPECT_EQ(WTL_EX::MenuStripForDpi(strips, 168), 24u) << "175 %: never a strip larger than the room";
  EXPECT_EQ(WTL_EX::MenuStripForDpi(strips, 288), 32u);
  EXPECT_EQ(WTL_EX::MenuStripForDpi(WTL_EX::MenuStrips{16, 0, 0, 0}, 192), 16u) << "only one size drawn";
}

}  // namespace
