#pragma once
// Paints one contact row into an off-screen bitmap: background and dotted
// separator, picture, status ball, the name with its group, and the status
// line, each text cut to its room. Owns the fonts and status icons of the
// rows of one list.
#include "base/windows_api.h"

#include <string>

#include "controls/flat_buttons.h"
#include "framework/handles.h"
#include "framework/image.h"
#include "lists/row_layout.h"
#include "model/contact.h"
#include "model/group.h"

namespace lists {

// The three display settings from Options.
struct DisplaySettings {
  int warnPercent = 75;
  int warnDays = 2;
  bool showLastContacted = true;
};

// What one row shows; pointers not owned, null when there is none.
struct RowContent {
  const Contact* contact = nullptr;
  const Group* group = nullptr;
  const CImage* picture = nullptr;
  const WTL_EX::ButtonEx* undo = nullptr;  // measured to make room for it, not drawn
  bool selected = false;
  Time now = 0;
  Time snoozedUntil = 0;                   // the contact's snooze, 0 for none; shown while it counts
  const std::wstring* dateMark = nullptr;  // "Birthday tomorrow", after the group
};

// How the row came out: its background, and what the link is placed after.
struct RowPainted {
  COLORREF background = CLR_INVALID;
  int statusWidth = 0;
  int undoWidth = 0;
};

class RowPainter {
 public:
  static constexpr COLORREF kSelectionColour = RGB(0xD4, 0xE5, 0xFA);
  static constexpr COLORREF kStatusColour = RGB(0x88, 0x88, 0x88);
  // A dark orange-brown: seen at once beside the group, and readable on the selection.
  static constexpr COLORREF kDateMarkColour = RGB(0xA0, 0x48, 0x00);

  // The metrics belong to the list window and outlive the painter.
  explicit RowPainter(const Metrics& metrics);

  // The metrics changed scale: fonts and status balls are made again for it.
  void FollowMetrics();

  // Draws the row into dc at (0, 0), width x height; `background` is the
  // list's own, for a row that is not selected.
  RowPainted Paint(HDC dc, int width, int height, COLORREF background, const RowContent& content,
                   const DisplaySettings& settings) const;

 private:
  HICON StatusIcon(const Contact& contact, const DisplaySettings& settings, Time now, Time snoozedUntil) const;
  // Draws text from left, cut with an ellipsis at maxRight; answers the width drawn.
  static int DrawRowText(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, int left, int maxRight, int top,
                         int bottom);
  // Width of the link's text, 0 without a link.
  static int UndoWidth(HDC dc, const WTL_EX::ButtonEx* undo);

  const Metrics& metrics_;
  int dpi_ = 0;  // what the fonts and balls below were made for
  UniqueIcon iconNormal_;
  UniqueIcon iconWarning_;
  UniqueIcon iconExpired_;
  UniqueIcon iconSnoozed_;
  UniqueFont nameFont_;
  UniqueFont groupFont_;
  UniqueFont statusFont_;
};

}  // namespace lists
