#include "lists/row_layout.h"

#include <algorithm>

namespace lists {

Metrics::Metrics(int dpiIn)
    : dpi(dpiIn > 0 ? dpiIn : 96),
      rowHeight(Scaled(40)),
      pictureLeft(Scaled(6)),
      pictureTop(Scaled(2)),
      pictureSize(Scaled(32)),
      iconLeft(Scaled(2)),
      iconTop(Scaled(22)),
      iconSize(Scaled(16)),
      textLeft(Scaled(40)),
      nameTop(Scaled(2)),
      nameBottom(Scaled(18)),
      groupGap(Scaled(6)),
      statusTop(Scaled(20)),
      statusBottom(Scaled(36)),
      tickSize(Scaled(12)),
      tickInset(Scaled(20)),
      tickGap(Scaled(4)),
      undoGap(Scaled(10)),
      undoHeight(Scaled(16)) {}

int Metrics::Scaled(int pixels) const { return (pixels * dpi + 48) / 96; }

int TextRight(const Metrics& metrics, int rowWidth) {
  return std::max(metrics.textLeft, rowWidth - metrics.tickInset - metrics.tickGap);
}

int GroupLeft(const Metrics& metrics, int nameWidth) { return metrics.textLeft + nameWidth + metrics.groupGap; }

int StatusRight(const Metrics& metrics, int textRight, int undoWidth) {
  if (undoWidth <= 0) return textRight;
  return std::max(metrics.textLeft, textRight - metrics.undoGap - undoWidth);
}

Box PictureBox(const Metrics& metrics) {
  return Box{metrics.pictureLeft, metrics.pictureTop, metrics.pictureLeft + metrics.pictureSize,
             metrics.pictureTop + metrics.pictureSize};
}

Box StatusIconBox(const Metrics& metrics) {
  return Box{metrics.iconLeft, metrics.iconTop, metrics.iconLeft + metrics.iconSize,
             metrics.iconTop + metrics.iconSize};
}

Box TickBoxIn(const Metrics& metrics, const Box& row) {
  const int left = row.right - metrics.tickInset;
  const int top = row.bottom - metrics.tickInset;
  return Box{left, top, left + metrics.tickSize, top + metrics.tickSize};
}

Box UndoBoxIn(const Metrics& metrics, const Box& row, int statusWidth, int undoWidth) {
  const int left = row.left + metrics.textLeft + statusWidth + metrics.undoGap;
  const int top = row.top + metrics.statusTop;
  return Box{left, top, left + undoWidth, top + metrics.undoHeight};
}

}  // namespace lists
