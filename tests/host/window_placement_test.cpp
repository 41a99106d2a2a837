#include <gtest/gtest.h>

#include <vector>

#include "app/window_placement.h"
#include "model/options.h"

using placement::Rect;

TEST(WindowPlacement, SnapsToTheLeftTopAndRightEdgesOnly) {
  const int width = 1024;
  auto snap = [&](Rect r) { return placement::SnapToEdges(r, width); };
  EXPECT_EQ(snap({7, 100, 407, 700}), (Rect{0, 100, 400, 700}));
  EXPECT_EQ(snap({-7, 100, 393, 700}), (Rect{0, 100, 400, 700}));
  EXPECT_EQ(snap({10, 100, 410, 700}), (Rect{10, 100, 410, 700})) << "the distance itself does not snap";
  EXPECT_EQ(snap({-10, 100, 390, 700}), (Rect{-10, 100, 390, 700}));
  EXPECT_EQ(snap({619, 100, 1019, 700}), (Rect{624, 100, 1024, 700})) << "5 short of the screen width";
  EXPECT_EQ(snap({200, -9, 600, 591}), (Rect{200, 0, 600, 600}));
  EXPECT_EQ(snap({200, 300, 600, 763}), (Rect{200, 300, 600, 763})) << "the bottom edge never snaps";
  EXPECT_EQ(snap({3, 4, 403, 604}), (Rect{0, 0, 400, 600})) << "a corner snaps both ways";
}

TEST(WindowPlacement, RestoresOnlyAFullyStoredRectangleOnAnAttachedMonitor) {
  Options options;
  std::vector<Rect> asked;
  const auto anywhere = [&asked](const Rect& rect) {
    asked.push_back(rect);
    return true;
  };
  EXPECT_FALSE(placement::RestoredRect(options, anywhere)) << "nothing stored at first";
  EXPECT_TRUE(asked.empty());

  placement::StoreRect(Rect{40, 50, 540, 700}, options);
  EXPECT_EQ(options.windowX, 40);
  EXPECT_EQ(options.windowY, 50);
  EXPECT_EQ(options.windowWidth, 500);
  EXPECT_EQ(options.windowHeight, 650);
  const auto restored = placement::RestoredRect(options, anywhere);
  ASSERT_TRUE(restored);
  EXPECT_EQ(*restored, (Rect{40, 50, 540, 700}));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], *restored);

  EXPECT_FALSE(placement::RestoredRect(options, [](const Rect&) { return false; })) << "its monitor is gone";
  for (std::int32_t Options::*field :
       {&Options::windowX, &Options::windowY, &Options::windowWidth, &Options::windowHeight}) {
    Options oneUnset = options;
    oneUnset.*field = -1;
    EXPECT_FALSE(placement::RestoredRect(oneUnset, anywhere));
  }
}

TEST(WindowPlacement, TheDefaultIsCentredAtTheFrameSizeThenTakesTheMinimumSize) {
  const Rect work{0, 0, 1024, 738};
  EXPECT_EQ(placement::CentredDefault(work, 300, 200), (Rect{362, 269, 762, 869}));
  const Rect offset{100, 50, 900, 650};
  const Rect placed = placement::CentredDefault(offset, 401, 601);
  EXPECT_EQ(placed.left, 100 + (800 - 401) / 2);
  EXPECT_EQ(placed.top, 50 + (600 - 601) / 2);
  EXPECT_EQ(placed.Width(), placement::kMinWidth);
  EXPECT_EQ(placed.Height(), placement::kMinHeight);
}

TEST(WindowPlacement, MinimumSizeAndSnapDistanceFollowTheWindowsDpi) {
  EXPECT_EQ(placement::AtDpi(placement::kMinWidth, 96), 400);
  EXPECT_EQ(placement::AtDpi(placement::kMinHeight, 144), 900);
  EXPECT_EQ(placement::AtDpi(placement::kMinWidth, 192), 800);
  EXPECT_EQ(placement::AtDpi(placement::kSnapDistance, 120), 13);
  EXPECT_EQ(placement::AtDpi(placement::kMinWidth, 0), 400) << "an unknown DPI is taken as 96";

  const int snap = placement::AtDpi(placement::kSnapDistance, 144);
  EXPECT_EQ(placement::SnapToEdges(Rect{14, 100, 614, 1000}, 1920, snap), (Rect{0, 100, 600, 1000}));
  EXPECT_EQ(placement::SnapToEdges(Rect{15, 100, 615, 1000}, 1920, snap), (Rect{15, 100, 615, 1000}));

  const Rect work{0, 0, 1920, 1040};
  const Rect placed = placement::CentredDefault(work, 600, 900, 144);
  EXPECT_EQ(placed.Width(), 600);
  EXPECT_EQ(placed.Height(), 900);
  EXPECT_EQ(placed.left, 660);
}
