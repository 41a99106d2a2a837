#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/window.h"
#include "tests/win/framework/pixels.h"

namespace {

constexpr UINT kAsk = WM_APP + 1;
constexpr UINT kPassOn = WM_APP + 2;
constexpr UINT kThrow = WM_APP + 3;
constexpr UINT kRangeFirst = WM_APP + 10;
constexpr UINT kRangeLast = WM_APP + 19;
constexpr UINT kChained = WM_APP + 30;

// A mix-in with its own map, chained like the resize and owner-draw mix-ins.
template <class T>
class Greeter {
 public:
  BEGIN_MSG_MAP(Greeter<T>)
    MESSAGE_HANDLER(kChained, OnChained)
    MESSAGE_HANDLER(kAsk, OnAskFromMixIn)
  END_MSG_MAP()

  LRESULT OnChained(UINT, WPARAM, LPARAM, BOOL&) {
    static_cast<T*>(this)->log.push_back("mixin chained");
    return 77;
  }
  LRESULT OnAskFromMixIn(UINT, WPARAM, LPARAM, BOOL&) {
    static_cast<T*>(this)->log.push_back("mixin ask");
    return 2;
  }
};

class Recorder : public CWindowImpl<Recorder>, public Greeter<Recorder> {
 public:
  DECLARE_WND_CLASS(L"Amicord.Test.Recorder")

  std::vector<std::string> log;
  int finalMessages = 0;
  HWND finalWindow = nullptr;
  bool firstDeclines = false;

  BEGIN_MSG_MAP(Recorder)
    MESSAGE_HANDLER(kAsk, OnAskFirst)
    MESSAGE_HANDLER(kAsk, OnAskSecond)
    MESSAGE_HANDLER(kPassOn, OnPassOn)
    MESSAGE_HANDLER(kThrow, OnThrow)
    MESSAGE_RANGE_HANDLER(kRangeFirst, kRangeLast, OnRange)
    COMMAND_HANDLER(100, BN_CLICKED, OnExactCommand)
    COMMAND_ID_HANDLER(100, OnAnyCodeOf100)
    COMMAND_RANGE_HANDLER(200, 210, OnCommandRange)
    COMMAND_CODE_HANDLER(EN_CHANGE, OnAnyChange)
    NOTIFY_HANDLER(300, NM_CLICK, OnClick300)
    NOTIFY_CODE_HANDLER(NM_DBLCLK, OnAnyDoubleClick)
    CHAIN_MSG_MAP(Greeter<Recorder>)
  END_MSG_MAP()

  LRESULT OnAskFirst(UINT, WPARAM, LPARAM, BOOL& handled) {
    log.push_back("first");
    if (firstDeclines) handled = FALSE;
    return 10;
  }
  LRESULT OnAskSecond(UINT, WPARAM, LPARAM, BOOL&) {
    log.push_back("second");
    return 20;
  }
  LRESULT OnPassOn(UINT, WPARAM, LPARAM, BOOL& handled) {
    log.push_back("pass on");
    handled = FALSE;
    return 5;
  }
  LRESULT OnThrow(UINT, WPARAM, LPARAM, BOOL&) { throw std::runtime_error("handler failure"); }
  LRESULT OnRange(UINT message, WPARAM, LPARAM, BOOL&) { return static_cast<LRESULT>(message - kRangeFirst); }
  LRESULT OnExactCommand(WORD, WORD, HWND, BOOL&) {
    log.push_back("exact");
    return 0;
  }
  LRESULT OnAnyCodeOf100(WORD code, WORD, HWND, BOOL&) {
    log.push_back("id 100 code " + std::to_string(code));
    return 0;
  }
  LRESULT OnCommandRange(WORD, WORD id, HWND, BOOL&) {
    log.push_back("range " + std::to_string(id));
    return 0;
  }
  LRESULT OnAnyChange(WORD, WORD id, HWND, BOOL&) {
    log.push_back("change " + std::to_string(id));
    return 0;
  }
  LRESULT OnClick300(int id, LPNMHDR header, BOOL&) {
    log.push_back("click " + std::to_string(id) + " " + std::to_string(header->idFrom));
    return 31;
  }
  LRESULT OnAnyDoubleClick(int, LPNMHDR header, BOOL&) {
    log.push_back("dblclk " + std::to_string(header->idFrom));
    return 32;
  }
  void OnFinalMessage(HWND window) override {
    ++finalMessages;
    finalWindow = window;
  }
};

HWND CreateHidden(Recorder& recorder) {
  const RECT rect{0, 0, 200, 100};
  return recorder.Create(nullptr, rect, L"recorder", WS_OVERLAPPEDWINDOW);
}

TEST(MessageMap, EntriesAreTriedInOrderAndTheFirstHandledWins) {
  Recorder recorder;
  ASSERT_TRUE(CreateHidden(recorder));
  EXPECT_EQ(recorder.SendMessage(kAsk), 10);
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"first"}));

  recorder.log.clear();
  recorder.firstDeclines = true;
  EXPECT_EQ(recorder.SendMessage(kAsk), 20);
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"first", "second"}));

  // Declined by every entry: the default procedure answers (0 for an app message).
  recorder.log.clear();
  EXPECT_EQ(recorder.SendMessage(kPassOn), 0);
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"pass on"}));

  EXPECT_EQ(recorder.SendMessage(kRangeFirst + 4), 4);
  EXPECT_EQ(recorder.SendMessage(kRangeLast), 9);
  recorder.DestroyWindow();
}

TEST(MessageMap, CommandAndNotifyEntriesMatchIdsCodesAndRanges) {
  Recorder recorder;
  ASSERT_TRUE(CreateHidden(recorder));
  recorder.SendMessage(WM_COMMAND, MAKEWPARAM(100, BN_CLICKED));
  recorder.SendMessage(WM_COMMAND, MAKEWPARAM(100, BN_SETFOCUS));
  recorder.SendMessage(WM_COMMAND, MAKEWPARAM(205, 0));
  recorder.SendMessage(WM_COMMAND, MAKEWPARAM(211, EN_CHANGE));
  recorder.SendMessage(WM_COMMAND, MAKEWPARAM(211, 0));

  NMHDR click{nullptr, 300, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(recorder.SendMessage(WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&click)), 31);
  NMHDR otherClick{nullptr, 301, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(recorder.SendMessage(WM_NOTIFY, 301, reinterpret_cast<LPARAM>(&otherClick)), 0);
  NMHDR doubleClick{nullptr, 301, static_cast<UINT>(NM_DBLCLK)};
  EXPECT_EQ(recorder.SendMessage(WM_NOTIFY, 301, reinterpret_cast<LPARAM>(&doubleClick)), 32);

  EXPECT_EQ(recorder.log, (std::vector<std::string>{"exact", "id 100 code " + std::to_string(BN_SETFOCUS), "range 205",
                                                    "change 211", "click 300 300", "dblclk 301"}));
  recorder.DestroyWindow();
}

TEST(MessageMap, ChainedMapRunsAfterTheOwnEntries) {
  Recorder recorder;
  ASSERT_TRUE(CreateHidden(recorder));
  EXPECT_EQ(recorder.SendMessage(kChained), 77);
  // kAsk is answered by the window's own entry; the mix-in's entry is never reached.
  EXPECT_EQ(recorder.SendMessage(kAsk), 10);
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"mixin chained", "first"}));
  recorder.DestroyWindow();
}

TEST(WindowImpl, ExceptionsStopAtTheWindowProcedure) {
  Recorder recorder;
  ASSERT_TRUE(CreateHidden(recorder));
  EXPECT_EQ(recorder.SendMessage(kThrow), 0);
  EXPECT_TRUE(recorder.IsWindow());
  EXPECT_EQ(recorder.SendMessage(kAsk), 10);
  recorder.DestroyWindow();
}

TEST(WindowImpl, CreatedWindowFindsItsObjectAndGetsOneFinalMessage) {
  Recorder recorder;
  HWND window = CreateHidden(recorder);
  ASSERT_TRUE(window);
  EXPECT_EQ(recorder.m_hWnd, window);
  EXPECT_FALSE(IsWindowVisible(window));
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  EXPECT_STREQ(className, L"Amicord.Test.Recorder");
  EXPECT_EQ(recorder.GetWindowText(), L"recorder");

  // A second object of the class gets its own window.
  Recorder second;
  ASSERT_TRUE(CreateHidden(second));
  EXPECT_NE(second.m_hWnd, window);
  EXPECT_EQ(second.SendMessage(kAsk), 10);
  EXPECT_EQ(second.log.size(), 1u);
  EXPECT_TRUE(recorder.log.empty());
  EXPECT_EQ(recorder.Create(nullptr), nullptr) << "an attached object cannot create again";

  DestroyWindow(window);
  EXPECT_EQ(recorder.finalMessages, 1);
  EXPECT_EQ(recorder.finalWindow, window);
  EXPECT_EQ(recorder.m_hWnd, nullptr);
  second.DestroyWindow();
  EXPECT_EQ(second.finalMessages, 1);
}

TEST(WindowImpl, ObjectDestroyedBeforeItsWindowLeavesAWorkingWindow) {
  HWND window = nullptr;
  {
    Recorder recorder;
    window = CreateHidden(recorder);
    ASSERT_TRUE(window);
  }
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(SendMessageW(window, kAsk, 0, 0), 0) << "no object: the default procedure answers";
  EXPECT_TRUE(DestroyWindow(window));
}

// A created button: the system BUTTON class does everything the map leaves alone.
class SuperButton : public CWindowImpl<SuperButton> {
 public:
  DECLARE_WND_SUPERCLASS(L"Amicord.Test.SuperButton", L"BUTTON")
  int clicksSeen = 0;
  BEGIN_MSG_MAP(SuperButton)
    MESSAGE_HANDLER(BM_CLICK, OnClick)
  END_MSG_MAP()
  LRESULT OnClick(UINT, WPARAM, LPARAM, BOOL& handled) {
    ++clicksSeen;
    handled = FALSE;  // let the button click itself
    return 0;
  }
};

TEST(WindowImpl, SuperclassOfButtonKeepsButtonBehaviour) {
  Recorder parent;
  ASSERT_TRUE(CreateHidden(parent));
  SuperButton button;
  const RECT rect{0, 0, 60, 20};
  ASSERT_TRUE(button.Create(parent, rect, L"Tick", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0, 100));
  EXPECT_EQ(button.GetDlgCtrlID(), 100);
  EXPECT_EQ(button.SendMessage(BM_GETCHECK), BST_UNCHECKED);
  button.SendMessage(BM_CLICK);
  EXPECT_EQ(button.clicksSeen, 1);
  EXPECT_EQ(button.SendMessage(BM_GETCHECK), BST_CHECKED);
  // The click reached the parent as a command from control 100.
  ASSERT_FALSE(parent.log.empty());
  EXPECT_EQ(parent.log.front(), "exact");
  parent.DestroyWindow();
  EXPECT_EQ(button.m_hWnd, nullptr) << "destroyed with its parent";
}

class EditSpy : public CWindowImpl<EditSpy> {
 public:
  std::vector<UINT> seen;
  BEGIN_MSG_MAP(EditSpy)
    MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
    MESSAGE_HANDLER(kAsk, OnAsk)
  END_MSG_MAP()
  LRESULT OnSetText(UINT message, WPARAM, LPARAM, BOOL& handled) {
    seen.push_back(message);
    handled = FALSE;
    return 0;
  }
  LRESULT OnAsk(UINT, WPARAM, LPARAM, BOOL&) { return 42; }
  void OnFinalMessage(HWND) override { ++finals; }
  int finals = 0;
};

TEST(WindowImpl, SubclassingRunsTheMapFirstAndUnsubclassingRestores) {
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(edit);
  EditSpy spy;
  ASSERT_TRUE(spy.SubclassWindow(edit));
  EXPECT_FALSE(spy.SubclassWindow(edit)) << "already attached";
  EXPECT_EQ(SendMessageW(edit, kAsk, 0, 0), 42);
  SetWindowTextW(edit, L"hello");
  EXPECT_EQ(spy.seen.size(), 1u);
  EXPECT_EQ(spy.GetWindowText(), L"hello") << "the edit's own procedure still stored the text";

  EXPECT_EQ(spy.UnsubclassWindow(), edit);
  EXPECT_EQ(spy.m_hWnd, nullptr);
  EXPECT_EQ(SendMessageW(edit, kAsk, 0, 0), 0);
  SetWindowTextW(edit, L"again");
  EXPECT_EQ(spy.seen.size(), 1u);

  // Subclassed again, the window's destruction detaches the object once.
  ASSERT_TRUE(spy.SubclassWindow(edit));
  DestroyWindow(edit);
  EXPECT_EQ(spy.finals, 1);
  EXPECT_EQ(spy.m_hWnd, nullptr);
}

// Reflection: a parent sends its children's notifications back to them.
class ReflectingParent : public CWindowImpl<ReflectingParent> {
 public:
  DECLARE_WND_CLASS(L"Amicord.Test.ReflectingParent")
  int ownCommands = 0;
  BEGIN_MSG_MAP(ReflectingParent)
    COMMAND_ID_HANDLER(7, OnOwnCommand)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
  LRESULT OnOwnCommand(WORD, WORD, HWND, BOOL&) {
    ++ownCommands;
    return 0;
  }
};

class ReflectedButton : public CWindowImpl<ReflectedButton> {
 public:
  std::vector<UINT> reflected;
  UINT drawnState = 0;
  HDC drawnDC = nullptr;
  BEGIN_MSG_MAP(ReflectedButton)
    MESSAGE_HANDLER(OCM_COMMAND, OnReflected)
    MESSAGE_HANDLER(OCM_NOTIFY, OnReflected)
    MESSAGE_HANDLER(OCM_DRAWITEM, OnDrawItem)
    MESSAGE_HANDLER(OCM_MEASUREITEM, OnReflected)
    DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()
  LRESULT OnReflected(UINT message, WPARAM, LPARAM, BOOL&) {
    reflected.push_back(message);
    return 5;
  }
  LRESULT OnDrawItem(UINT message, WPARAM, LPARAM lParam, BOOL&) {
    reflected.push_back(message);
    auto* draw = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
    drawnState = draw->itemState;
    drawnDC = draw->hDC;
    RECT rect = draw->rcItem;
    FillRect(draw->hDC, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return TRUE;
  }
};

TEST(Reflection, ChildNotificationsReturnToTheChildAsOcmMessages) {
  ReflectingParent parent;
  const RECT rect{0, 0, 200, 100};
  ASSERT_TRUE(parent.Create(nullptr, rect, L"parent", WS_OVERLAPPEDWINDOW));
  HWND raw = CreateWindowExW(0, L"BUTTON", L"Draw", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 30, 12, parent,
                             reinterpret_cast<HMENU>(7), nullptr, nullptr);
  ASSERT_TRUE(raw);
  ReflectedButton button;
  ASSERT_TRUE(button.SubclassWindow(raw));

  // A real click: the button's BN_CLICKED reaches the parent, whose own entry
  // for id 7 comes before the reflection and takes it.
  button.SendMessage(BM_CLICK);
  EXPECT_EQ(parent.ownCommands, 1);
  EXPECT_TRUE(button.reflected.empty());

  // A real owner-draw request, painted into a memory DC.
  test::Canvas canvas(30, 12, RGB(255, 255, 255));
  button.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  ASSERT_EQ(button.reflected, (std::vector<UINT>{OCM_DRAWITEM}));
  EXPECT_EQ(canvas.Pixel(15, 6), RGB(0, 0, 0)) << "the child drew itself";

  NMHDR header{raw, 7, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header)), 5);
  MEASUREITEMSTRUCT measure{ODT_BUTTON, 7, 0, 0, 0, 0};
  parent.SendMessage(WM_MEASUREITEM, 7, reinterpret_cast<LPARAM>(&measure));
  EXPECT_EQ(button.reflected, (std::vector<UINT>{OCM_DRAWITEM, OCM_NOTIFY, OCM_MEASUREITEM}));

  // Commands from other controls are reflected too; menus (no control) are not.
  parent.SendMessage(WM_COMMAND, MAKEWPARAM(8, BN_CLICKED), reinterpret_cast<LPARAM>(raw));
  EXPECT_EQ(button.reflected.back(), static_cast<UINT>(OCM_COMMAND));
  const size_t count = button.reflected.size();
  parent.SendMessage(WM_COMMAND, MAKEWPARAM(9, 0), 0);
  // A menu item's draw request (wParam 0) belongs to the window, not a child.
  DRAWITEMSTRUCT menuDraw{};
  menuDraw.CtlType = ODT_MENU;
  menuDraw.hwndItem = reinterpret_cast<HWND>(raw);
  parent.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menuDraw));
  EXPECT_EQ(button.reflected.size(), count);

  // Unhandled reflections get the default answer of the original message.
  HBRUSH brush = reinterpret_cast<HBRUSH>(
      parent.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(canvas.dc()), reinterpret_cast<LPARAM>(raw)));
  EXPECT_EQ(brush, reinterpret_cast<HBRUSH>(DefWindowProcW(raw, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(canvas.dc()),
                                                           reinterpret_cast<LPARAM>(raw))));
  parent.DestroyWindow();
}

TEST(Reflection, NotificationsNamingNoChildAreNotReflected) {
  ReflectingParent parent;
  const RECT rect{0, 0, 200, 100};
  ASSERT_TRUE(parent.Create(nullptr, rect, L"parent", WS_OVERLAPPEDWINDOW));
  ReflectingParent stranger;
  ASSERT_TRUE(stranger.Create(nullptr, rect, L"stranger", WS_OVERLAPPEDWINDOW));
  HWND raw = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_OWNERDRAW, 0, 0, 30, 12, stranger, nullptr, nullptr,
                             nullptr);
  ReflectedButton button;
  ASSERT_TRUE(button.SubclassWindow(raw));
  NMHDR header{raw, 1, static_cast<UINT>(NM_CLICK)};
  // Another window's child and a destroyed window are left alone.
  parent.SendMessage(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header));
  HWND gone = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 0, 1, 1, parent, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  NMHDR stale{gone, 2, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 2, reinterpret_cast<LPARAM>(&stale)), 0);
  EXPECT_TRUE(button.reflected.empty());
  stranger.DestroyWindow();
  parent.DestroyWindow();
}

}  // namespace

TEST(WindowImpl, CenterWindowCentresOverAVisibleOwnerAndStaysInTheWorkArea) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, work.left + 100, work.top + 100, 400, 300, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  HWND popup = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, owner, nullptr, GetModuleHandleW(nullptr),
                               nullptr);
  ASSERT_TRUE(owner && popup);
  CWindow window(popup);

  // A hidden owner does not count: the work area does.
  ASSERT_TRUE(window.CenterWindow());
  RECT rect{};
  GetWindowRect(popup, &rect);
  EXPECT_EQ(rect.left, work.left + (work.right - work.left - 200) / 2);
  EXPECT_EQ(rect.top, work.top + (work.bottom - work.top - 100) / 2);

  ShowWindow(owner, SW_SHOWNOACTIVATE);
  ASSERT_TRUE(window.CenterWindow());
  GetWindowRect(popup, &rect);
  EXPECT_EQ(rect.left, work.left + 200);
  EXPECT_EQ(rect.top, work.top + 200);

  // An owner hanging over the work area's corner leaves the window inside it.
  SetWindowPos(owner, nullptr, work.left - 350, work.top - 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(window.CenterWindow());
  GetWindowRect(popup, &rect);
  EXPECT_EQ(rect.left, work.left);
  EXPECT_EQ(rect.top, work.top);
  DestroyWindow(owner);
}
