#pragma once
// Where the main window goes and how it snaps, as plain arithmetic: no window
// system here, so the host build tests it. The main window feeds in what the
// system reports (work area, monitors, screen width).
#include <functional>
#include <optional>

class Options;

namespace placement {

inline constexpr int kMinWidth = 400;
inline constexpr int kMinHeight = 600;
// A dragged edge closer than this to a screen edge sticks to it.
inline constexpr int kSnapDistance = 10;

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

// A dragged window rectangle snapped to the left, top and right edges of a
// screen screenWidth wide; the bottom edge never snaps.
Rect SnapToEdges(Rect dragged, int screenWidth);

// The saved rectangle to restore, when all four values are stored and the
// rectangle lies on an attached monitor: a window placed on a monitor that is
// gone would be out of reach. Nothing means the window is centred instead.
std::optional<Rect> RestoredRect(const Options& options, const std::function<bool(const Rect&)>& onSomeMonitor);

// The window's first place when nothing is restored: a frame of the given
// size centred in the work area, then grown or shrunk to the minimum size
// keeping its top-left corner.
Rect CentredDefault(const Rect& work, int frameWidth, int frameHeight);

// Keeps the window's frame in the options, for the next start.
void StoreRect(const Rect& frame, Options& options);

}  // namespace placement
