#include <gtest/gtest.h>

#include <vector>

#include "framework/list_view.h"
#include "framework/owner_draw.h"
#include "framework/window.h"
#include "tests/win/framework/pixels.h"

namespace {

constexpr UINT kButtonId = 5;
constexpr UINT kListId = 6;

class DrawingOwner : public CWindowImpl<DrawingOwner>, public COwnerDraw<DrawingOwner> {
 public:
  DECLARE_WND_CLASS(L"Amicord.Test.DrawingOwner")
  std::vector<UINT> drawn;
  int measured = 0;
  int laterEntries = 0;
  bool declineDraw = false;

  BEGIN_MSG_MAP(DrawingOwner)
    CHAIN_MSG_MAP(COwnerDraw<DrawingOwner>)
    MESSAGE_HANDLER(WM_DRAWITEM, OnLaterDrawItem)
  END_MSG_MAP()

  void DrawItem(LPDRAWITEMSTRUCT draw) {
    if (declineDraw) {
      SetMsgHandled(false);
      return;
    }
    drawn.push_back(draw->CtlID);
    FillRect(draw->hDC, &draw->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  void MeasureItem(LPMEASUREITEMSTRUCT measure) {
    ++measured;
    if (measure->CtlType == ODT_LISTVIEW) measure->itemHeight = 40;
  }
  LRESULT OnLaterDrawItem(UINT, WPARAM, LPARAM, BOOL&) {
    ++laterEntries;
    return TRUE;
  }
};

TEST(OwnerDraw, DrawAndMeasureRequestsBecomeCallsOnTheClass) {
  DrawingOwner owner;
  const RECT rect{0, 0, 300, 200};
  ASSERT_TRUE(owner.Create(nullptr, rect, L"owner", WS_OVERLAPPEDWINDOW));
  HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 20, 10, owner,
                                reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr);
  ASSERT_TRUE(button);
  test::Canvas canvas(20, 10, RGB(255, 255, 255));
  SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  EXPECT_EQ(owner.drawn, (std::vector<UINT>{kButtonId}));
  EXPECT_EQ(canvas.Pixel(10, 5), RGB(0, 0, 0));
  EXPECT_EQ(owner.laterEntries, 0);

  // Declining passes the request on to the entries after the chain.
  owner.declineDraw = true;
  SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  EXPECT_EQ(owner.drawn.size(), 1u);
  EXPECT_EQ(owner.laterEntries, 1);

  // A fixed owner-drawn list asks its owner for the row height once.
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER, 0, 0, 200,
                              150, owner, reinterpret_cast<HMENU>(kListId), nullptr, nullptr);
  ASSERT_TRUE(list);
  CListViewCtrl view(list);
  view.InsertColumn(0, L"Contact", LVCFMT_LEFT, 200);
  view.InsertItem(0, nullptr, 1);
  RECT row{};
  ASSERT_TRUE(view.GetItemRect(0, &row, LVIR_BOUNDS));
  EXPECT_GT(owner.measured, 0);
  EXPECT_EQ(row.bottom - row.top, 40);
  owner.DestroyWindow();
}

// A control that draws itself from reflected requests only (map 1).
class SelfDrawnButton : public CWindowImpl<SelfDrawnButton>, public COwnerDraw<SelfDrawnButton> {
 public:
  int draws = 0;
  BEGIN_MSG_MAP(SelfDrawnButton)
    CHAIN_MSG_MAP_ALT(COwnerDraw<SelfDrawnButton>, 1)
  END_MSG_MAP()
  void DrawItem(LPDRAWITEMSTRUCT) { ++draws; }
};

TEST(OwnerDraw, ReflectedMapTakesOnlyReflectedRequests) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  HWND raw = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_OWNERDRAW, 0, 0, 20, 10, parent,
                             reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr);
  SelfDrawnButton button;
  ASSERT_TRUE(button.SubclassWindow(raw));
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_BUTTON;
  draw.hwndItem = raw;
  EXPECT_EQ(button.SendMessage(OCM_DRAWITEM, kButtonId, reinterpret_cast<LPARAM>(&draw)), TRUE);
  button.SendMessage(WM_DRAWITEM, kButtonId, reinterpret_cast<LPARAM>(&draw));
  EXPECT_EQ(button.draws, 1);
  DestroyWindow(parent);
}

}  // namespace
