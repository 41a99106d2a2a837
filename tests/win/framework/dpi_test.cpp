#include <gtest/gtest.h>

#include "framework/dpi.h"
#include "framework/handles.h"

namespace {

int FontHeight(const UniqueFont& font) {
  LOGFONTW facts{};
  if (!font || !GetObjectW(font.get(), sizeof facts, &facts)) return 0;
  return facts.lfHeight;
}

TEST(Dpi, MeasuresGivenAt96ScaleToTheNearestPixel) {
  EXPECT_EQ(framework::Scale(40, 96), 40);
  EXPECT_EQ(framework::Scale(40, 144), 60);
  EXPECT_EQ(framework::Scale(40, 192), 80);
  EXPECT_EQ(framework::Scale(10, 120), 13);  // 12.5
  EXPECT_EQ(framework::Scale(16, 0), 16) << "an unknown DPI is taken as 96";
}

TEST(Dpi, AnOverrideAnswersForEveryWindowUntilItEnds) {
  const int real = framework::DpiForWindow(nullptr);
  EXPECT_GT(real, 0);
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  {
    framework::ScopedDpiOverride at144(144);
    EXPECT_EQ(framework::DpiForWindow(window), 144);
    EXPECT_EQ(framework::DpiForWindow(nullptr), 144);
    EXPECT_EQ(framework::SystemDpi(), 144);
  }
  EXPECT_EQ(framework::DpiForWindow(window), real);
  DestroyWindow(window);
}

TEST(Dpi, PointFontsAreMadeForTheDpiAskedNotTheScreens) {
  EXPECT_EQ(FontHeight(framework::CreatePointFont(L"Arial", 9, FW_NORMAL, false, 96)), -12);
  EXPECT_EQ(FontHeight(framework::CreatePointFont(L"Arial", 9, FW_NORMAL, false, 144)), -18);
  EXPECT_EQ(FontHeight(framework::CreatePointFont(L"Arial", 10, FW_BOLD, false, 192)), -27);

  // The menu font follows the DPI too, whichever way the system answers.
  NONCLIENTMETRICSW at96{};
  NONCLIENTMETRICSW at192{};
  ASSERT_TRUE(framework::NonClientMetricsForDpi(at96, 96));
  ASSERT_TRUE(framework::NonClientMetricsForDpi(at192, 192));
  EXPECT_NEAR(at192.lfMenuFont.lfHeight, 2 * at96.lfMenuFont.lfHeight, 1);
}

}  // namespace
