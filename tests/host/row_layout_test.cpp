#include <gtest/gtest.h>

#include "lists/row_layout.h"

namespace {

using lists::Box;

TEST(RowLayout, At96DotsPerInchEveryMeasureIsTheRowsOwn) {
  const lists::Metrics m;
  EXPECT_EQ(m.dpi, 96);
  EXPECT_EQ(m.rowHeight, 40);
  EXPECT_EQ(lists::PictureBox(m), (Box{6, 2, 38, 34}));
  EXPECT_EQ(lists::StatusIconBox(m), (Box{2, 22, 18, 38}));
  EXPECT_EQ(m.textLeft, 40);
  EXPECT_EQ(m.nameTop, 2);
  EXPECT_EQ(m.nameBottom, 18);
  EXPECT_EQ(m.statusTop, 20);
  EXPECT_EQ(m.statusBottom, 36);
  EXPECT_EQ(lists::GroupLeft(m, 50), 96);

  // Texts stop 24 pixels short of the right edge, never left of their start.
  EXPECT_EQ(lists::TextRight(m, 580), 556);
  EXPECT_EQ(lists::TextRight(m, 50), 40);
  // A status line gives way to a link 30 wide plus its gap, down to its start.
  EXPECT_EQ(lists::StatusRight(m, 556, 0), 556);
  EXPECT_EQ(lists::StatusRight(m, 556, 30), 516);
  EXPECT_EQ(lists::StatusRight(m, 60, 30), 40);

  // Placed in the list: a row 40 pixels down.
  const Box row{0, 40, 580, 80};
  EXPECT_EQ(lists::TickBoxIn(m, row), (Box{560, 60, 572, 72}));
  EXPECT_EQ(lists::UndoBoxIn(m, row, 100, 35), (Box{150, 60, 185, 76}));
}

TEST(RowLayout, AnotherScaleChangesEveryMeasureAlike) {
  const lists::Metrics m(144);
  EXPECT_EQ(m.rowHeight, 60);
  EXPECT_EQ(lists::PictureBox(m), (Box{9, 3, 57, 51}));
  EXPECT_EQ(m.textLeft, 60);
  EXPECT_EQ(lists::TickBoxIn(m, Box{0, 0, 600, 60}), (Box{570, 30, 588, 48}));
  EXPECT_EQ(lists::Metrics(0).dpi, 96) << "an unknown scale is taken as 96";

  const lists::Metrics twice(192);
  EXPECT_EQ(twice.rowHeight, 80);
  EXPECT_EQ(lists::PictureBox(twice), (Box{12, 4, 76, 68}));
  EXPECT_EQ(lists::StatusIconBox(twice), (Box{4, 44, 36, 76}));
  EXPECT_EQ(lists::TextRight(twice, 600), 552);
  EXPECT_EQ(lists::UndoBoxIn(twice, Box{0, 80, 600, 160}, 100, 70), (Box{200, 120, 270, 152}));
  // 125 %: halves round to the nearest pixel, as the icons Windows picks do.
  const lists::Metrics quarter(120);
  EXPECT_EQ(quarter.rowHeight, 50);
  EXPECT_EQ(quarter.iconSize, 20);
  EXPECT_EQ(quarter.pictureTop, 3);
}

}  // namespace
