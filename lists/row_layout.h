#pragma once
// Where everything of a contact row goes: every pixel measure of the rows in
// one place, and pure functions from a row's rectangle to the places of its
// parts. No windows here, so the geometry is tested on its own.
#include "base/rect.h"

namespace lists {

// A rectangle in the list's or the row's pixels.
using Box = geometry::Rect;

// The measures of one list window's rows. Given at 96 dots per inch and
// multiplied by the scale (dots per inch / 96), rounded to whole pixels.
struct Metrics {
  explicit Metrics(int dpi = 96);

  int dpi;
  int rowHeight;     // 40
  int pictureLeft;   // 6: the contact's picture, a square
  int pictureTop;    // 2
  int pictureSize;   // 32
  int iconLeft;      // 2: the status ball, over the picture's lower left corner
  int iconTop;       // 22
  int iconSize;      // 16
  int textLeft;      // 40: both text lines start right of the picture
  int nameTop;       // 2: the name line, then the group's name
  int nameBottom;    // 18
  int groupGap;      // 6: between the name and "(group)"
  int statusTop;     // 20: the status line, then the "(Undo)" link
  int statusBottom;  // 36
  int tickSize;      // 12: the tick box
  int tickInset;     // 20: from the row's right and bottom edges to the box
  int tickGap;       // 4: texts stop this far before the box
  int undoGap;       // 10: between the status line and the link
  int undoHeight;    // 16

  // A measure given at 96 dots per inch, at this scale.
  int Scaled(int pixels) const;
};

// Right edge of the texts in a row this wide: they stop short of the tick box.
int TextRight(const Metrics& metrics, int rowWidth);
// Where "(group)" starts after a name drawn this wide.
int GroupLeft(const Metrics& metrics, int nameWidth);
// Right edge of the status line: a long one gives way to an "(Undo)" link this
// wide (0: no link), down to the texts' left edge.
int StatusRight(const Metrics& metrics, int textRight, int undoWidth);
// Inside the row, at (0, 0).
Box PictureBox(const Metrics& metrics);
Box StatusIconBox(const Metrics& metrics);
// In the list, for a row there: the tick box, and the link after a status
// line that ended statusWidth after the texts' left edge.
Box TickBoxIn(const Metrics& metrics, const Box& row);
Box UndoBoxIn(const Metrics& metrics, const Box& row, int statusWidth, int undoWidth);

}  // namespace lists
