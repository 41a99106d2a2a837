#include <gtest/gtest.h>

#include "controls/image_holder.h"
#include "tests/win/controls/canvas.h"
#include "tests/win/controls/controls_test_resources.h"
#include "tests/win/controls/host_window.h"
#include "tests/win/controls/test_files.h"

namespace {

using WTL_EX::ImageHolderCtrl;

constexpr int kWidth = 100;
constexpr int kHeight = 60;
constexpr COLORREF kRed = RGB(0xFF, 0, 0);
constexpr COLORREF kGreen = RGB(0, 0xFF, 0);
constexpr COLORREF kBlue = RGB(0, 0, 0xFF);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kFrame = RGB(0x88, 0x88, 0x88);

class ImageHolder : public testing::Test {
 protected:
  void SetUp() override {
    halves_ = folder_.File(L"halves.png");
    ASSERT_TRUE(WritePng(halves_, 128, 64, [](int x, int) { return x < 64 ? 0xFFFF0000u : 0xFF00FF00u; }));
    seeThrough_ = folder_.File(L"see-through.png");
    ASSERT_TRUE(WritePng(seeThrough_, 128, 64, [](int x, int) { return x < 64 ? 0xFF0000FFu : 0x00000000u; }));
    notPicture_ = folder_.File(L"notes.png");
    ASSERT_TRUE(WriteText(notPicture_, "not a picture at all"));
    missing_ = folder_.File(L"missing.png");
    ASSERT_NE(host_.CreateHidden(), nullptr);
  }

  HWND CreateControl(ImageHolderCtrl& control) {
    HWND window = CreateWindowExW(0, WTL_EX::kImageHolderClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10,
                                  kWidth, kHeight, host_, reinterpret_cast<HMENU>(UINT_PTR{1012}),
                                  GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(window, nullptr);
    EXPECT_TRUE(control.Attach(window));
    return window;
  }

  // Everything inside the frame is colour.
  static void ExpectInnerIs(const Canvas& canvas, COLORREF colour) {
    EXPECT_EQ(canvas.CountOther({2, 2, kWidth - 2, kHeight - 2}, colour), 0);
  }

  TempFolder folder_;
  std::wstring halves_, seeThrough_, notPicture_, missing_;
  HostWindow host_;
};

TEST_F(ImageHolder, SqueezesTheWholePictureIntoTheInnerAreaInsideAGreyFrame) {
  ImageHolderCtrl control;
  CreateControl(control);
  ASSERT_TRUE(control.SetImagePath(halves_));
  EXPECT_EQ(control.ImagePath(), halves_);
  Canvas canvas(kWidth, kHeight);
  control.DrawTo(canvas.dc());

  const RECT all = canvas.rect();
  const RECT inner{2, 2, kWidth - 2, kHeight - 2};
  EXPECT_EQ(canvas.Count(all, kFrame), 2 * 2 * kWidth + 2 * 2 * (kHeight - 4)) << "a 2-pixel grey frame";
  EXPECT_EQ(canvas.CountOther({0, 0, kWidth, 2}, kFrame), 0);
  EXPECT_EQ(canvas.CountOther({0, kHeight - 2, kWidth, kHeight}, kFrame), 0);
  EXPECT_EQ(canvas.CountOther({0, 0, 2, kHeight}, kFrame), 0);
  EXPECT_EQ(canvas.CountOther({kWidth - 2, 0, kWidth, kHeight}, kFrame), 0);

  // Not letter-boxed: every corner of the inner area is picture, and the two
  // halves meet in the middle of the inner width.
  EXPECT_EQ(canvas.At(inner.left, inner.top), kRed);
  EXPECT_EQ(canvas.At(inner.left, inner.bottom - 1), kRed);
  EXPECT_EQ(canvas.At(inner.right - 1, inner.top), kGreen);
  EXPECT_EQ(canvas.At(inner.right - 1, inner.bottom - 1), kGreen);
  const int middle = (inner.left + inner.right) / 2;
  EXPECT_EQ(canvas.Count({inner.left, inner.top, middle - 1, inner.bottom}, kRed),
            (middle - 1 - inner.left) * (inner.bottom - inner.top));
  EXPECT_EQ(canvas.Count({middle + 1, inner.top, inner.right, inner.bottom}, kGreen),
            (inner.right - middle - 1) * (inner.bottom - inner.top));
  EXPECT_EQ(canvas.Count(all, kWhite), 0) << "no background left showing";
}

TEST_F(ImageHolder, TransparentPartsShowWhite) {
  ImageHolderCtrl control;
  CreateControl(control);
  ASSERT_TRUE(control.SetImagePath(seeThrough_));
  Canvas canvas(kWidth, kHeight);
  control.DrawTo(canvas.dc());
  const int middle = kWidth / 2;
  EXPECT_EQ(canvas.CountOther({2, 2, middle - 1, kHeight - 2}, kBlue), 0);
  EXPECT_EQ(canvas.CountOther({middle + 1, 2, kWidth - 2, kHeight - 2}, kWhite), 0);
  EXPECT_EQ(canvas.At(0, 0), kFrame);
}

TEST_F(ImageHolder, MissingFileKeepsThePathAndShowsNothing) {
  ImageHolderCtrl control;
  EXPECT_FALSE(control.SetImagePath(missing_)) << "right after construction";
  EXPECT_EQ(control.ImagePath(), L"");
  EXPECT_FALSE(control.SetImagePath(L""));
  EXPECT_EQ(control.ImagePath(), L"");

  CreateControl(control);
  ASSERT_TRUE(control.SetImagePath(halves_));
  EXPECT_FALSE(control.SetImagePath(missing_));
  EXPECT_EQ(control.ImagePath(), halves_) << "the remembered path stays";
  EXPECT_FALSE(control.HasPicture());
  Canvas canvas(kWidth, kHeight);
  control.DrawTo(canvas.dc());
  ExpectInnerIs(canvas, kWhite);
  EXPECT_EQ(canvas.At(1, 1), kFrame);
}

TEST_F(ImageHolder, FileThatIsNoPictureIsRememberedButShowsNothing) {
  ImageHolderCtrl control;
  CreateControl(control);
  ASSERT_TRUE(control.SetImagePath(halves_));
  EXPECT_FALSE(control.SetImagePath(notPicture_));
  EXPECT_EQ(control.ImagePath(), notPicture_);
  EXPECT_FALSE(control.HasPicture());
  Canvas canvas(kWidth, kHeight);
  control.DrawTo(canvas.dc());
  ExpectInnerIs(canvas, kWhite);

  EXPECT_FALSE(control.SetImagePath(folder_.File(L"")));
  EXPECT_EQ(control.ImagePath(), folder_.File(L"")) << "a folder exists but is no picture";
}

TEST_F(ImageHolder, PictureSetBeforeTheWindowExistsIsShownOnceAttached) {
  ImageHolderCtrl control;
  ASSERT_TRUE(control.SetImagePath(halves_));
  CreateControl(control);
  Canvas canvas(kWidth, kHeight);
  control.DrawTo(canvas.dc());
  EXPECT_EQ(canvas.At(3, 3), kRed);
  EXPECT_EQ(canvas.At(kWidth - 3, kHeight - 3), kGreen);

  ImageHolderCtrl other;
  HWND second = CreateControl(other);
  EXPECT_FALSE(control.Attach(second)) << "an attached control keeps its window";
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST_F(ImageHolder, ConstructingRegistersTheClassThatDialogTemplatesName) {
  ImageHolderCtrl control;
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"WTL_EX::ImageHolderCtrl", &info));
  EXPECT_EQ(info.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS));
  EXPECT_EQ(info.hbrBackground, nullptr);
  EXPECT_EQ(info.cbWndExtra, 0);
  ImageHolderCtrl second;  // a second object finds the class registered

  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_IMAGE_HOLDER_DIALOG), host_,
                                   &PlainDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  HWND well = GetDlgItem(dialog, IDC_IMAGE_HOLDER);
  ASSERT_NE(well, nullptr);
  EXPECT_TRUE(control.Attach(well));
  EXPECT_TRUE(control.SetImagePath(halves_));
  RECT client{};
  GetClientRect(well, &client);
  Canvas canvas(client.right, client.bottom);
  control.DrawTo(canvas.dc());
  EXPECT_EQ(canvas.At(0, 0), kFrame);
  EXPECT_EQ(canvas.At(2, 2), kRed);
  EXPECT_EQ(canvas.At(client.right - 3, client.bottom - 3), kGreen);
  DestroyWindow(dialog);
}

TEST(ImageHolderArithmetic, InnerAreaIsTwoPixelsInAndNeverInverted) {
  const RECT inner = WTL_EX::ImageHolderInnerRect({0, 0, 96, 88});
  EXPECT_EQ(inner.left, 2);
  EXPECT_EQ(inner.top, 2);
  EXPECT_EQ(inner.right, 94);
  EXPECT_EQ(inner.bottom, 86);
  const RECT tiny = WTL_EX::ImageHolderInnerRect({0, 0, 3, 3});
  EXPECT_TRUE(IsRectEmpty(&tiny));
  EXPECT_GE(tiny.right, tiny.left);
  EXPECT_GE(tiny.bottom, tiny.top);

  const RECT twice = WTL_EX::ImageHolderInnerRect({0, 0, 192, 176}, 192);
  EXPECT_EQ(twice.left, 4);
  EXPECT_EQ(twice.bottom, 172);
}

}  // namespace
