#include <gtest/gtest.h>

#include <vector>

#include "framework/ddx.h"
#include "framework/dialog.h"
#include "framework/dialog_resize.h"
#include "tests/win/framework/modal_answer.h"
#include "tests/win/framework/test_resources.h"

namespace {

constexpr UINT kEndFromInside = WM_APP + 40;

class DlgSample : public CDialogImpl<DlgSample>, public CDialogResize<DlgSample>, public CWinDataExchange<DlgSample> {
 public:
  enum { IDD = IDD_TEST_DIALOG };

  LPARAM initParam = 0;
  bool endAtOnce = false;
  bool useGripper = true;
  int finals = 0;
  std::vector<UINT> ownSizes;

  BEGIN_DLGRESIZE_MAP(DlgSample)
    DLGRESIZE_CONTROL(IDC_TEST_LIST, DLSZ_SIZE_X | DLSZ_SIZE_Y)
    DLGRESIZE_CONTROL(IDC_TEST_BUTTON, DLSZ_MOVE_Y)
    DLGRESIZE_CONTROL(IDC_TEST_CORNER, DLSZ_MOVE_X | DLSZ_MOVE_Y)
  END_DLGRESIZE_MAP()

  BEGIN_DDX_MAP(DlgSample)
  END_DDX_MAP()

  BEGIN_MSG_MAP(DlgSample)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(kEndFromInside, OnEndFromInside)
    MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnColourStatic)
    NOTIFY_CODE_HANDLER(NM_CLICK, OnClick)
    COMMAND_ID_HANDLER(IDOK, OnCloseCommand)
    COMMAND_ID_HANDLER(IDCANCEL, OnCloseCommand)
    CHAIN_MSG_MAP(CDialogResize<DlgSample>)
  END_MSG_MAP()

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&) {
    initParam = lParam;
    DlgResize_Init(useGripper);
    DoDataExchange(false);
    if (endAtOnce) PostMessage(kEndFromInside);
    return TRUE;
  }
  LRESULT OnEndFromInside(UINT, WPARAM, LPARAM, BOOL&) {
    EndDialog(7);
    return 0;
  }
  LRESULT OnColourStatic(UINT, WPARAM, LPARAM, BOOL&) { return reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)); }
  LRESULT OnClick(int, LPNMHDR, BOOL&) { return 1234; }
  LRESULT OnCloseCommand(WORD, WORD id, HWND, BOOL&) {
    EndDialog(id);
    return 0;
  }
  void OnFinalMessage(HWND) override { ++finals; }
};

RECT ChildRect(HWND dialog, int id) {
  RECT rect{};
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST(DialogImpl, ModelessDialogGetsItsInitParamAndAnswersThroughMsgResult) {
  DlgSample dialog;
  HWND window = dialog.Create(nullptr, 99);
  ASSERT_TRUE(window);
  EXPECT_EQ(dialog.initParam, 99);
  EXPECT_FALSE(IsWindowVisible(window));

  NMHDR click{GetDlgItem(window, IDC_TEST_LIST), IDC_TEST_LIST, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(SendMessageW(window, WM_NOTIFY, IDC_TEST_LIST, reinterpret_cast<LPARAM>(&click)), 1234);
  EXPECT_EQ(GetWindowLongPtrW(window, DWLP_MSGRESULT), 1234);
  // Colour messages answer with the brush itself.
  HWND label = GetDlgItem(window, IDC_TEST_LABEL);
  HDC dc = GetDC(label);
  EXPECT_EQ(SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)),
            reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)));
  ReleaseDC(label, dc);

  EXPECT_TRUE(dialog.DestroyWindow());
  EXPECT_EQ(dialog.finals, 1);
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(DialogImpl, ModalDialogEndsFromAPostedMessageWithItsCode) {
  DlgSample dialog;
  dialog.endAtOnce = true;
  EXPECT_EQ(dialog.DoModal(nullptr, 5), 7);
  EXPECT_EQ(dialog.initParam, 5);
  EXPECT_EQ(dialog.finals, 1);
  EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(DialogImpl, ModalDialogAnsweredByACbtHook) {
  test::ModalAnswer answer(IDCANCEL);
  ASSERT_TRUE(answer.installed());
  DlgSample dialog;
  EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  EXPECT_NE(answer.answered(), nullptr);
  // The object can run again.
  dialog.endAtOnce = true;
  EXPECT_EQ(dialog.DoModal(nullptr), 7);
}

TEST(DialogResize, ControlsMoveAndGrowByTheChangeOfTheClientArea) {
  DlgSample dialog;
  HWND window = dialog.Create(nullptr);
  ASSERT_TRUE(window);
  const RECT list = ChildRect(window, IDC_TEST_LIST);
  const RECT button = ChildRect(window, IDC_TEST_BUTTON);
  const RECT corner = ChildRect(window, IDC_TEST_CORNER);
  const RECT label = ChildRect(window, IDC_TEST_LABEL);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(dialog.DlgResize_InitialClientSize().cx, client.right);
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & WS_CLIPCHILDREN);
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

  RECT frame{};
  GetWindowRect(window, &frame);
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + 40, frame.bottom - frame.top + 25,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT grown{};
  GetClientRect(window, &grown);
  const int dx = grown.right - client.right;
  const int dy = grown.bottom - client.bottom;
  ASSERT_EQ(dx, 40);
  ASSERT_EQ(dy, 25);

  const RECT list2 = ChildRect(window, IDC_TEST_LIST);
  EXPECT_EQ(list2.left, list.left);
  EXPECT_EQ(list2.top, list.top);
  EXPECT_EQ(list2.right, list.right + dx);
  EXPECT_EQ(list2.bottom, list.bottom + dy);
  const RECT button2 = ChildRect(window, IDC_TEST_BUTTON);
  EXPECT_EQ(button2.left, button.left);
  EXPECT_EQ(button2.top, button.top + dy);
  EXPECT_EQ(button2.right - button2.left, button.right - button.left);
  const RECT corner2 = ChildRect(window, IDC_TEST_CORNER);
  EXPECT_EQ(corner2.left, corner.left + dx);
  EXPECT_EQ(corner2.top, corner.top + dy);
  EXPECT_EQ(corner2.bottom - corner2.top, corner.bottom - corner.top);
  const RECT label2 = ChildRect(window, IDC_TEST_LABEL);
  EXPECT_EQ(label2.left, label.left) << "controls outside the map stay";
  EXPECT_EQ(label2.top, label.top);

  // The size grip sits in the lower-right corner and moves with both edges.
  HWND grip = dialog.DlgResize_Gripper();
  ASSERT_TRUE(grip);
  const RECT gripRect = ChildRect(window, framework::kSizeGripId);
  EXPECT_EQ(gripRect.right, grown.right);
  EXPECT_EQ(gripRect.bottom, grown.bottom);

  // Minimising keeps the layout.
  SendMessageW(window, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
  EXPECT_EQ(ChildRect(window, IDC_TEST_LIST).right, list2.right);
  dialog.DestroyWindow();
}

TEST(DialogResize, SizeGripHiddenWhileMaximisedAndMinimumTrackSize) {
  DlgSample dialog;
  HWND window = dialog.Create(nullptr);
  ASSERT_TRUE(window);
  HWND grip = dialog.DlgResize_Gripper();
  ASSERT_TRUE(grip);
  EXPECT_TRUE(GetWindowLongPtrW(grip, GWL_STYLE) & WS_VISIBLE);
  RECT client{};
  GetClientRect(window, &client);
  SendMessageW(window, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(client.right, client.bottom));
  EXPECT_FALSE(GetWindowLongPtrW(grip, GWL_STYLE) & WS_VISIBLE);
  SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  EXPECT_TRUE(GetWindowLongPtrW(grip, GWL_STYLE) & WS_VISIBLE);

  // The starting window size is the smallest the user can drag it to.
  RECT frame{};
  GetWindowRect(window, &frame);
  MINMAXINFO info{};
  SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, frame.right - frame.left);
  EXPECT_EQ(info.ptMinTrackSize.y, frame.bottom - frame.top);
  SetWindowPos(window, nullptr, 0, 0, 50, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT after{};
  GetWindowRect(window, &after);
  EXPECT_EQ(after.right - after.left, frame.right - frame.left);
  dialog.DestroyWindow();
}

class DlgChildPanel : public CDialogImpl<DlgChildPanel>, public CDialogResize<DlgChildPanel> {
 public:
  enum { IDD = IDD_TEST_CHILD };
  BEGIN_DLGRESIZE_MAP(DlgChildPanel)
    DLGRESIZE_CONTROL(IDC_TEST_LIST, DLSZ_SIZE_X | DLSZ_SIZE_Y)
  END_DLGRESIZE_MAP()
  BEGIN_MSG_MAP(DlgChildPanel)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    CHAIN_MSG_MAP(CDialogResize<DlgChildPanel>)
  END_MSG_MAP()
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    DlgResize_Init(false, false, 0);
    return TRUE;
  }
};

TEST(DialogResize, ChildPanelWithoutGripOrMinimumShrinksWithoutInvertingControls) {
  DlgSample owner;
  ASSERT_TRUE(owner.Create(nullptr));
  DlgChildPanel panel;
  HWND window = panel.Create(owner);
  ASSERT_TRUE(window);
  EXPECT_EQ(panel.DlgResize_Gripper(), nullptr);
  EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  MINMAXINFO info{};
  info.ptMinTrackSize = POINT{3, 4};
  SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 3) << "no minimum asked for: left to the default";

  const RECT list = ChildRect(window, IDC_TEST_LIST);
  MoveWindow(window, 0, 0, 10, 10, FALSE);
  const RECT shrunk = ChildRect(window, IDC_TEST_LIST);
  EXPECT_EQ(shrunk.left, list.left);
  EXPECT_EQ(shrunk.top, list.top);
  EXPECT_EQ(shrunk.right, list.left);
  EXPECT_EQ(shrunk.bottom, list.top);
  owner.DestroyWindow();
  EXPECT_EQ(panel.m_hWnd, nullptr);
}

}  // namespace
