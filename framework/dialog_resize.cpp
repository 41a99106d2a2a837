#include "framework/dialog_resize.h"

namespace framework {

RECT ResizedRect(const RECT& initial, DWORD flags, int dx, int dy) {
  RECT rect = initial;
  if (flags & DLSZ_MOVE_X) {
    rect.left += dx;
    rect.right += dx;
  }
  if (flags & DLSZ_SIZE_X) rect.right += dx;
  if (flags & DLSZ_MOVE_Y) {
    rect.top += dy;
    rect.bottom += dy;
  }
  if (flags & DLSZ_SIZE_Y) rect.bottom += dy;
  // A window smaller than its layout must not turn controls inside out.
  if (rect.right < rect.left) rect.right = rect.left;
  if (rect.bottom < rect.top) rect.bottom = rect.top;
  return rect;
}

}  // namespace framework
