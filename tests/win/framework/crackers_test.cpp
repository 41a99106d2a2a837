#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/crackers.h"
#include "framework/window.h"
#include "model/contact.h"
#include "model/group.h"
#include "model/groups.h"
#include "model/messages.h"

namespace {

constexpr UINT kDeclineAndNest = WM_APP + 1;
constexpr UINT kKeepAndNestDeclined = WM_APP + 2;
constexpr UINT kInnerHandled = WM_APP + 3;
constexpr UINT kInnerDeclined = WM_APP + 4;
constexpr int kHighCommandId = 0xE801;  // above the signed 16-bit range
constexpr int kNotifier = 300;

// Every handler takes typed arguments and writes down what it got.
class Typed : public CWindowImpl<Typed> {
 public:
  DECLARE_WND_CLASS(L"Amicord.Test.Typed")

  BEGIN_MSG_MAP(Typed)
    MSG_WM_SIZE(OnSize)
    MSG_WM_CONTEXTMENU(OnContextMenu)
    MSG_WM_MOUSEMOVE(OnMouseMove)
    MSG_WM_QUERYENDSESSION(OnQueryEndSession)
    COMMAND_HANDLER_EX(kHighCommandId, BN_CLICKED, OnCommand)
    COMMAND_RANGE_HANDLER_EX(10, 20, OnCommandRange)
    NOTIFY_HANDLER_EX(kNotifier, NM_CLICK, OnNotify)
    MSG_WM_CONTACT_ADDED(OnContactAdded)
    MSG_WM_GROUP_ADDED(OnGroupAdded)
    MSG_PLAIN(kDeclineAndNest, OnDeclineAndNest)
    MSG_PLAIN(kKeepAndNestDeclined, OnKeepAndNestDeclined)
    MSG_PLAIN(kInnerHandled, OnInnerHandled)
    MSG_PLAIN(kInnerDeclined, OnInnerDeclined)
    MSG_PLAIN(kDeclineAndNest, OnLaterEntry)
    MSG_PLAIN(kKeepAndNestDeclined, OnLaterEntry)
  END_MSG_MAP()

  std::vector<std::string> log;
  SIZE size{};
  POINT point{};
  UINT keys = 0;
  UINT code = 0;
  int id = 0;
  HWND control = nullptr;
  NMHDR* header = nullptr;
  Contact* contact = nullptr;
  const Group* group = nullptr;
  bool declineEndSession = false;
  bool throwOnEndSession = false;

 private:
  void OnSize(UINT, SIZE s) { size = s; }
  void OnContextMenu(HWND, POINT p) { point = p; }
  void OnMouseMove(UINT k, POINT p) {
    keys = k;
    point = p;
  }
  BOOL OnQueryEndSession(UINT, UINT) {
    log.push_back("end session");
    if (throwOnEndSession) throw std::runtime_error("could not save");
    if (declineEndSession) SetMsgHandled(false);
    return FALSE;
  }
  void OnCommand(UINT c, int i, HWND w) {
    code = c;
    id = i;
    control = w;
  }
  void OnCommandRange(UINT, int i, HWND) { id = i; }
  LRESULT OnNotify(NMHDR* h) {
    header = h;
    return 42;
  }
  void OnContactAdded(Contact& c) { contact = &c; }
  void OnGroupAdded(const Groups::Item& g) { group = g.get(); }
  void OnDeclineAndNest() {
    log.push_back("decline");
    SetMsgHandled(false);
    SendMessage(kInnerHandled);
  }
  void OnKeepAndNestDeclined() {
    log.push_back("keep");
    SendMessage(kInnerDeclined);
  }
  void OnInnerHandled() { log.push_back("inner"); }
  void OnInnerDeclined() {
    log.push_back("inner declined");
    SetMsgHandled(false);
  }
  void OnLaterEntry() { log.push_back("later"); }
};

bool CreateHidden(Typed& window) {
  RECT place{0, 0, 100, 80};
  return window.Create(nullptr, place, L"typed", WS_OVERLAPPEDWINDOW) != nullptr;
}

TEST(Crackers, HandlersGetTypedArgumentsWithSignedPointsAndUnsignedSizes) {
  Typed window;
  ASSERT_TRUE(CreateHidden(window));

  window.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(40000, 30));
  EXPECT_EQ(window.size.cx, 40000);
  EXPECT_EQ(window.size.cy, 30);
  // A point left of or above a monitor arrives negative; the keyboard's menu key sends (-1, -1).
  window.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.m_hWnd), MAKELPARAM(-5, -7));
  EXPECT_EQ(window.point.x, -5);
  EXPECT_EQ(window.point.y, -7);
  window.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.m_hWnd), static_cast<LPARAM>(-1));
  EXPECT_EQ(window.point.x, -1);
  EXPECT_EQ(window.point.y, -1);
  window.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(12, -3));
  EXPECT_EQ(window.keys, static_cast<UINT>(MK_LBUTTON));
  EXPECT_EQ(window.point.x, 12);
  EXPECT_EQ(window.point.y, -3);

  HWND sender = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
  EXPECT_EQ(window.SendMessage(WM_COMMAND, MAKEWPARAM(kHighCommandId, BN_CLICKED), reinterpret_cast<LPARAM>(sender)),
            0);
  EXPECT_EQ(window.id, kHighCommandId);
  EXPECT_EQ(window.code, static_cast<UINT>(BN_CLICKED));
  EXPECT_EQ(window.control, sender);
  window.SendMessage(WM_COMMAND, MAKEWPARAM(15, 0), 0);
  EXPECT_EQ(window.id, 15);
  window.SendMessage(WM_COMMAND, MAKEWPARAM(21, 0), 0);
  EXPECT_EQ(window.id, 15) << "outside the range";

  NMHDR header{};
  header.idFrom = kNotifier;
  header.code = NM_CLICK;
  EXPECT_EQ(window.SendMessage(WM_NOTIFY, kNotifier, reinterpret_cast<LPARAM>(&header)), 42);
  EXPECT_EQ(window.header, &header);
  header.code = NM_DBLCLK;
  window.header = nullptr;
  EXPECT_EQ(window.SendMessage(WM_NOTIFY, kNotifier, reinterpret_cast<LPARAM>(&header)), 0);
  EXPECT_EQ(window.header, nullptr);
  window.DestroyWindow();
}

TEST(Crackers, ModelMessagesPassTheirRecordAndNeverANullOne) {
  Typed window;
  ASSERT_TRUE(CreateHidden(window));
  Contact added(7, L"Ada", L"", Weeks, 2, 0, L"", 1);
  window.SendMessage(WM_CONTACT_ADDED, reinterpret_cast<WPARAM>(&added));
  ASSERT_EQ(window.contact, &added);
  EXPECT_EQ(window.contact->name, L"Ada");

  window.contact = nullptr;
  window.SendMessage(WM_CONTACT_ADDED, 0);
  EXPECT_EQ(window.contact, nullptr);

  Groups::Item group(new Group);
  window.SendMessage(WM_GROUP_ADDED, reinterpret_cast<WPARAM>(&group));
  EXPECT_EQ(window.group, group.get());
  window.DestroyWindow();
}

TEST(Crackers, ADeclinedMessageGoesOnAndNestedMessagesKeepTheirOwnHandledState) {
  Typed window;
  ASSERT_TRUE(CreateHidden(window));

  // The default procedure answers TRUE; the handler's own FALSE stands only when it handled the message.
  EXPECT_EQ(window.SendMessage(WM_QUERYENDSESSION, 0, 0), FALSE);
  window.declineEndSession = true;
  EXPECT_EQ(window.SendMessage(WM_QUERYENDSESSION, 0, 0), TRUE);

  window.log.clear();
  window.SendMessage(kDeclineAndNest);
  EXPECT_EQ(window.log, (std::vector<std::string>{"decline", "inner", "later"}));
  window.log.clear();
  window.SendMessage(kKeepAndNestDeclined);
  EXPECT_EQ(window.log, (std::vector<std::string>{"keep", "inner declined"}));
  window.DestroyWindow();
}

struct Reports {
  static inline int count = 0;
  static inline UINT message = 0;
  static inline std::string what;
  static void Record(UINT m, const char* w) {
    ++count;
    message = m;
    what = w;
  }
};

TEST(HandlerExceptions, AreReportedOnceAndTheMessageGetsItsDefaultHandling) {
  Typed window;
  ASSERT_TRUE(CreateHidden(window));
  Reports::count = 0;
  const framework::ExceptionReporter previous = framework::SetExceptionReporter(&Reports::Record);
  window.throwOnEndSession = true;
  EXPECT_EQ(window.SendMessage(WM_QUERYENDSESSION, 0, 0), TRUE) << "the default procedure's answer";
  EXPECT_EQ(Reports::count, 1);
  EXPECT_EQ(Reports::message, static_cast<UINT>(WM_QUERYENDSESSION));
  EXPECT_EQ(Reports::what, "could not save");
  EXPECT_TRUE(window.IsWindow());
  window.throwOnEndSession = false;
  EXPECT_EQ(window.SendMessage(WM_QUERYENDSESSION, 0, 0), FALSE) << "the window still works";

  // No reporter: the framework's own again, not ours and not none.
  EXPECT_EQ(framework::SetExceptionReporter(nullptr), &Reports::Record);
  const framework::ExceptionReporter debug = framework::SetExceptionReporter(previous);
  EXPECT_NE(debug, nullptr);
  EXPECT_NE(debug, &Reports::Record);
  EXPECT_EQ(debug, previous);
  framework::SetExceptionReporter(nullptr);
  window.throwOnEndSession = true;
  window.SendMessage(WM_QUERYENDSESSION, 0, 0);
  EXPECT_EQ(Reports::count, 1);
  framework::SetExceptionReporter(previous);
  window.DestroyWindow();
}

}  // namespace
