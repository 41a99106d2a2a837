#include "lists/row_painter.h"

#include <algorithm>

#include "framework/dpi.h"
#include "lists/status_text.h"
#include "model/snooze.h"
#include "resource.h"

namespace lists {
namespace {

constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;

// Point sizes at the list's own DPI, which may not be the screen's.
UniqueFont CreateRowFont(int points, int weight, int dpi) {
  return framework::CreatePointFont(L"Arial", points, weight, false, dpi);
}

// At the ball's size for the list's DPI: the icon holds a picture drawn for each usual scale.
UniqueIcon LoadStatusIcon(int id, int size) {
  return UniqueIcon(
      static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0)));
}

int TextWidth(HDC dc, const std::wstring& text) {
  SIZE size{};
  if (!GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size)) return 0;
  return size.cx;
}

RECT ToRect(const Box& box) { return RECT{box.left, box.top, box.right, box.bottom}; }

}  // namespace

RowPainter::RowPainter(const Metrics& metrics) : metrics_(metrics) { FollowMetrics(); }

void RowPainter::FollowMetrics() {
  if (dpi_ == metrics_.dpi) return;
  dpi_ = metrics_.dpi;
  iconNormal_ = LoadStatusIcon(IDI_STATUS_GREEN, metrics_.iconSize);
  iconWarning_ = LoadStatusIcon(IDI_STATUS_ORANGE, metrics_.iconSize);
  iconExpired_ = LoadStatusIcon(IDI_STATUS_RED, metrics_.iconSize);
  iconSnoozed_ = LoadStatusIcon(IDI_STATUS_GREY, metrics_.iconSize);
  nameFont_ = CreateRowFont(10, FW_BOLD, dpi_);
  groupFont_ = CreateRowFont(9, FW_NORMAL, dpi_);
  statusFont_ = CreateRowFont(9, FW_NORMAL, dpi_);
}

RowPainted RowPainter::Paint(HDC dc, int width, int height, COLORREF background, const RowContent& content,
                             const DisplaySettings& settings) const {
  RowPainted painted;
  painted.background = content.selected ? kSelectionColour : background;
  {
    UniqueBrush brush(CreateSolidBrush(painted.background));
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, brush.get());
  }
  {
    UniquePen dotted(CreatePen(PS_DOT, 1, GetSysColor(COLOR_BTNFACE)));
    SelectionGuard pen(dc, dotted.get());
    SetBkColor(dc, painted.background);
    MoveToEx(dc, 0, height - 1, nullptr);
    LineTo(dc, width, height - 1);
  }
  if (!content.contact) return painted;
  const Contact& contact = *content.contact;

  if (content.picture) content.picture->Draw(dc, ToRect(PictureBox(metrics_)));
  const Box icon = StatusIconBox(metrics_);
  DrawIconEx(dc, icon.left, icon.top, StatusIcon(contact, settings, content.now, content.snoozedUntil), icon.Width(),
             icon.Height(), 0, nullptr, DI_NORMAL | DI_COMPAT);

  SetBkMode(dc, TRANSPARENT);
  const COLORREF textColour = GetSysColor(COLOR_BTNTEXT);
  // Texts stop short of the tick box, and a long status line gives way to the
  // "(Undo)" link, so that neither is ever hidden under the other or pushed
  // past the edge of a narrow window.
  const int left = metrics_.textLeft;
  const int textRight = TextRight(metrics_, width);
  const int nameWidth = DrawRowText(dc, nameFont_.get(), textColour, FitWorkBuffer(contact.name), left, textRight,
                                    metrics_.nameTop, metrics_.nameBottom);
  int markLeft = GroupLeft(metrics_, nameWidth);
  if (content.group && markLeft < textRight) {
    const std::wstring group = L"(" + content.group->name + L")";
    markLeft += DrawRowText(dc, groupFont_.get(), textColour, FitWorkBuffer(group), markLeft, textRight,
                            metrics_.nameTop, metrics_.nameBottom);
  }
  if (content.dateMark && !content.dateMark->empty() && markLeft < textRight) {
    const std::wstring mark = (content.group ? L" \u00B7 " : L"\u00B7 ") + *content.dateMark;
    DrawRowText(dc, groupFont_.get(), kDateMarkColour, FitWorkBuffer(mark), markLeft, textRight, metrics_.nameTop,
                metrics_.nameBottom);
  }
  painted.undoWidth = UndoWidth(dc, content.undo);
  painted.statusWidth = DrawRowText(dc, statusFont_.get(), kStatusColour,
                                    StatusText(contact, settings.showLastContacted, content.now, content.snoozedUntil),
                                    left, StatusRight(metrics_, textRight, painted.undoWidth), metrics_.statusTop,
                                    metrics_.statusBottom);
  return painted;
}

HICON RowPainter::StatusIcon(const Contact& contact, const DisplaySettings& settings, Time now,
                             Time snoozedUntil) const {
  if (IsSnoozeActive(contact, snoozedUntil, now)) return iconSnoozed_.get();
  if (contact.IsExpired(now)) return iconExpired_.get();
  if (contact.IsWarning(settings.warnPercent, settings.warnDays, now)) return iconWarning_.get();
  return iconNormal_.get();
}

int RowPainter::DrawRowText(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, int left, int maxRight,
                            int top, int bottom) {
  SelectionGuard selected(dc, font);
  SetTextColor(dc, colour);
  const int width = std::min(TextWidth(dc, text), std::max(0, maxRight - left));
  RECT area{left, top, left + width, bottom};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, kTextFormat);
  return width;
}

int RowPainter::UndoWidth(HDC dc, const WTL_EX::ButtonEx* undo) {
  if (!undo) return 0;
  SelectionGuard font(dc, undo->Font());
  return TextWidth(dc, undo->Text());
}

}  // namespace lists
