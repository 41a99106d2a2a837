#pragma once
// Where the main window goes and how it snaps, as plain arithmetic: no window
// system here, so the host build tests it. The main window feeds in what the
// system reports (work area, monitors, screen width).
#include <functional>
#include <optional>

#include "base/rect.h"

class Options;

namespace placement {

// At 96 dots per inch; see AtDpi.
inline constexpr int kMinWidth = 400;
inline constexpr int kMinHeight = 600;
// A dragged edge closer than this to a screen edge sticks to it.
inline constexpr int kSnapDistance = 10;

using Rect = geometry::Rect;

// A measure above at the window's DPI, rounded to the nearest pixel.
int AtDpi(int pixels96, int dpi);

// A dragged window rectangle snapped to the left, top and right edges of a
// screen screenWidth wide; the bottom edge never snaps.
Rect SnapToEdges(Rect dragged, int screenWidth, int snapDistance = kSnapDistance);

// The saved rectangle to restore, when all four values are stored and the
// rectangle lies on an attached monitor: a window placed on a monitor that is
// gone would be out of reach. Nothing means the window is centred instead.
std::optional<Rect> RestoredRect(const Options& options, const std::function<bool(const Rect&)>& onSomeMonitor);

// The window's first place when nothing is restored: a frame of the given
// size centred in the work area, then grown or shrunk to the minimum size at
// dpi keeping its top-left corner.
Rect CentredDefault(const Rect& work, int frameWidth, int frameHeight, int dpi = 96);

// Keeps the window's frame in the options, for the next start.
void StoreRect(const Rect& frame, Options& options);

}  // namespace placement
