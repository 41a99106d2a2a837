#include "app/window_placement.h"

#include <cstdlib>

#include "model/options.h"

namespace placement {

int AtDpi(int pixels96, int dpi) { return (pixels96 * (dpi > 0 ? dpi : 96) + 48) / 96; }

Rect SnapToEdges(Rect dragged, int screenWidth, int snapDistance) {
  if (std::abs(dragged.left) < snapDistance) {
    dragged.right -= dragged.left;
    dragged.left = 0;
  }
  if (std::abs(dragged.top) < snapDistance) {
    dragged.bottom -= dragged.top;
    dragged.top = 0;
  }
  if (std::abs(dragged.right - screenWidth) < snapDistance) {
    dragged.left += screenWidth - dragged.right;
    dragged.right = screenWidth;
  }
  return dragged;
}

std::optional<Rect> RestoredRect(const Options& options, const std::function<bool(const Rect&)>& onSomeMonitor) {
  if (options.windowX == -1 || options.windowY == -1 || options.windowWidth == -1 || options.windowHeight == -1)
    return std::nullopt;
  const Rect saved{options.windowX, options.windowY, options.windowX + options.windowWidth,
                   options.windowY + options.windowHeight};
  if (!onSomeMonitor(saved)) return std::nullopt;
  return saved;
}

Rect CentredDefault(const Rect& work, int frameWidth, int frameHeight, int dpi) {
  const int left = work.left + (work.Width() - frameWidth) / 2;
  const int top = work.top + (work.Height() - frameHeight) / 2;
  return Rect{left, top, left + AtDpi(kMinWidth, dpi), top + AtDpi(kMinHeight, dpi)};
}

void StoreRect(const Rect& frame, Options& options) {
  options.windowX = frame.left;
  options.windowY = frame.top;
  options.windowWidth = frame.Width();
  options.windowHeight = frame.Height();
}

}  // namespace placement
