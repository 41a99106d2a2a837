#include <gtest/gtest.h>

#include "base/windows_api.h"
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/dlg_corvane.h"
#include "app/reach_out.h"
#include "framework/scheduler.h"
#include "model/platform.h"
#include "model/reach.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/app/menu_watch.h"
#include "tests/win/app/message_box_watch.h"

namespace {

using apptest::MainWindowFixture;
using apptest::MenuSeen;
using apptest::OpenMenu;

std::vector<std::wstring> openedLinks;
bool linksTaken = true;

bool RecordLink(HWND, const std::wstring& link) {
  openedLinks.push_back(link);
  return linksTaken;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

class ContactDetailsRows : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    previousClock_ = platform::ReplaceClock([this] { return now_; });
    previousOpener_ = reach::ReplaceLinkOpener(&RecordLink);
    openedLinks.clear();
    linksTaken = true;
  }
  void TearDown() override {
    MainWindowFixture::TearDown();
    reach::ReplaceLinkOpener(previousOpener_);
    platform::ReplaceClock(previousClock_);
  }

  // Ann (id 1) and Bob (id 2) in "Friends"; Ann with the details given.
  void StartWithAnn(const ContactDetails& details) {
    Engine data;
    data.groups->Add(L"Friends", L"", Days, 7);
    data.contacts->Add(L"Ann", L"", Days, 7, kStart, L"", 1);
    data.contacts->Add(L"Bob", L"", Days, 7, kStart, L"", 1);
    ASSERT_TRUE(data.Save());
    HWND window = Start();
    SetWindowPos(window, nullptr, 40, 40, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, SW_SHOWNA);
    engine().journal->SetDetails(1, details);
    Contacts::Item ann;
    ASSERT_TRUE(engine().contacts->Find(1, ann));
    Change changed{Change::Kind::JournalChanged};
    changed.contact = ann.get();
    session().Tell(changed);
    UpdateWindow(List());
  }

  DlgGroupEntry& Panel() { return *groupTabs().AllPanel(); }
  GroupEntryListView& List() { return Panel().List(); }
  void Select(int row) {
    List().SetItemState(-1, 0, LVIS_SELECTED);
    List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  MenuSeen RowMenu(int row) {
    Select(row);
    NMHDR rightClick{List(), IDC_CONTACT_LIST, static_cast<UINT>(NM_RCLICK)};
    return OpenMenu(Panel().m_hWnd, Panel().m_hWnd, WM_NOTIFY, IDC_CONTACT_LIST, reinterpret_cast<LPARAM>(&rightClick));
  }
  // What a screen reader reads of the row.
  std::wstring RowText(int row) {
    wchar_t text[512] = {};
    LVITEMW item{};
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
  }
  // The local day `days` after now, as a date without a year.
  ImportantDate DateIn(int days, const wchar_t* label, std::int32_t year = 0) const {
    const platform::LocalTime day = platform::ToLocalTime(now_ + days * 86400);
    return ImportantDate{label, day.month, day.day, year};
  }

  static constexpr Time kStart = 1700000000;
  framework::ManualScheduler scheduler_;
  framework::ScopedUiScheduler scopedScheduler_{scheduler_};
  Time now_ = kStart + 3 * 86400 + 3600;
  platform::Clock previousClock_;
  reach::LinkOpener previousOpener_ = nullptr;
};

TEST_F(ContactDetailsRows, TheRowMenuCallsTheFirstFivePhonesAndWritesToEachAddressInStoredOrder) {
  ContactDetails details;
  details.phones = {{L"mobile", L"+49 170 1234567"},
                    {L"work", L"030 & 12"},
                    {L"", L"555"},
                    {L"home", L"1"},
                    {L"other", L"2"},
                    {L"sixth", L"6"}};
  details.emails = {{L"home", L"anna@example.org"}, {L"work", L"ann@work.example"}};
  StartWithAnn(details);
  const MenuSeen menu = RowMenu(List().FindRow(1));
  const std::vector<std::wstring> expected = {
      L"Call mobile +49 170 1234567", L"Call work 030 && 12",    L"Call 555", L"Call home 1", L"Call other 2",
      L"E-mail anna@example.org",     L"E-mail ann@work.example"};
  ASSERT_GE(menu.texts.size(), 2 + expected.size() + 2);
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(menu.texts[2 + i], expected[i]) << i;
  EXPECT_EQ(menu.ids[2], static_cast<UINT>(ID_CALL_FIRST));
  EXPECT_EQ(menu.ids[7], static_cast<UINT>(ID_EMAIL_FIRST));
  EXPECT_TRUE(menu.states[9] & MF_SEPARATOR);
  EXPECT_EQ(menu.ids[10], static_cast<UINT>(ID_CONTACT_OPEN));

  // Bob has nothing to call: his menu is as it always was.
  const MenuSeen plain = RowMenu(List().FindRow(2));
  ASSERT_GE(plain.ids.size(), 3u);
  EXPECT_EQ(plain.ids[2], static_cast<UINT>(ID_CONTACT_OPEN));
}

TEST_F(ContactDetailsRows, ALinkNoProgramTakesLeavesTheNumberOrAddressOnTheClipboardAndSaysSo) {
  ContactDetails details;
  details.phones = {{L"mobile", L"+49 170 1234567"}, {L"work", L"030 12;ext=5"}};
  details.emails = {{L"home", L"anna@example.org"}};
  StartWithAnn(details);
  struct Case {
    int command;
    bool taken;
    std::wstring link, clipboard, message;
  } const cases[] = {
      {ID_CALL_FIRST, true, TelUri(L"+49 170 1234567"), L"", L""},
      {ID_CALL_FIRST + 1, false, TelUri(L"030 12;ext=5"), L"030 12;ext=5",
       L"No program opens phone numbers on this computer. The number was copied to the clipboard."},
      {ID_EMAIL_FIRST, true, MailtoUri(L"anna@example.org"), L"", L""},
      {ID_EMAIL_FIRST, false, MailtoUri(L"anna@example.org"), L"anna@example.org",
       L"No program opens e-mail addresses on this computer. The address was copied to the clipboard."},
  };
  Select(List().FindRow(1));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    openedLinks.clear();
    linksTaken = c.taken;
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      CloseClipboard();
    }
    test::MessageBoxWatch boxes;
    SendMessageW(Panel().m_hWnd, WM_COMMAND, MAKEWPARAM(c.command, 0), 0);
    EXPECT_EQ(openedLinks, std::vector<std::wstring>{c.link});
    EXPECT_EQ(ClipboardText(), c.clipboard);
    if (c.message.empty()) {
      EXPECT_TRUE(boxes.texts().empty());
    } else {
      ASSERT_EQ(boxes.texts().size(), 1u);
      EXPECT_EQ(boxes.texts()[0], c.message);
      EXPECT_EQ(boxes.captions()[0], L"Amicord");
    }
  }
  // A command past the stored ones opens nothing.
  openedLinks.clear();
  SendMessageW(Panel().m_hWnd, WM_COMMAND, MAKEWPARAM(ID_EMAIL_FIRST + 1, 0), 0);
  EXPECT_TRUE(openedLinks.empty());
}

TEST_F(ContactDetailsRows, ARowMarksItsDateAndFindMatchesDigitsAndAddresses) {
  ContactDetails details;
  details.phones = {{L"mobile", L"+49 170 1234567"}};
  details.emails = {{L"home", L"Anna.Berg@Example.org"}};
  details.dates = {DateIn(20, L"anniversary"), DateIn(1, L"birthday", 1980)};
  StartWithAnn(details);
  const std::wstring ann = RowText(List().FindRow(1));
  EXPECT_NE(ann.find(L"Ann, Friends, Birthday tomorrow"), std::wstring::npos) << ann;
  EXPECT_NE(ann.find(L"Contact in"), std::wstring::npos) << "the status stays: " << ann;
  EXPECT_EQ(RowText(List().FindRow(2)).find(L"Birthday"), std::wstring::npos);

  const struct {
    const wchar_t* query;
    int rows;
  } finds[] = {{L"1701234", 1}, {L"+49 170", 1}, {L"170-1234", 1}, {L"anna.berg@example", 1},
               {L"bob", 1},     {L"99999", 0},   {L"ann", 1}};
  for (const auto& find : finds) {
    groupTabs().SetFilter(find.query);
    EXPECT_EQ(List().RowCount(), find.rows) << find.query;
  }
  groupTabs().SetFilter(L"");

  // A day on, the mark follows the clock: the birthday is today.
  now_ += 86400;
  groupTabs().RefreshDates();
  EXPECT_NE(RowText(List().FindRow(1)).find(L"Birthday today"), std::wstring::npos) << RowText(List().FindRow(1));
}

TEST_F(ContactDetailsRows, NobodyYetShowsTheWaysInUntilTheFirstContactComes) {
  HWND window = Start();
  ShowWindow(window, SW_SHOWNA);
  EmptyState& empty = window_->EmptyStateForTesting();
  ASSERT_TRUE(empty.Shown());
  EXPECT_FALSE(IsWindowVisible(Panel().m_hWnd));
  const struct {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    bool tabStop;
  } controls[] = {{IDC_EMPTY_TITLE, L"Static", L"Nobody here yet.", false},
                  {IDC_EMPTY_IMPORT, L"SysLink", L"<a>Import Contacts...</a>", true},
                  {IDC_EMPTY_ADD, L"SysLink", L"<a>Add Contact</a>", true},
                  {IDC_EMPTY_DROP, L"Static", L"You can also drop .vcf and .csv files on this window.", false}};
  RECT page{};
  GetClientRect(empty.m_hWnd, &page);
  for (const auto& control : controls) {
    HWND child = GetDlgItem(empty.m_hWnd, control.id);
    ASSERT_NE(child, nullptr) << control.id;
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    EXPECT_STREQ(name, control.className);
    wchar_t text[128] = {};
    GetWindowTextW(child, text, 128);
    EXPECT_STREQ(text, control.text);
    EXPECT_EQ((GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) != 0, control.tabStop) << control.id;
  }
  // Centred in the page, left and right.
  RECT title{};
  GetWindowRect(GetDlgItem(empty.m_hWnd, IDC_EMPTY_TITLE), &title);
  MapWindowPoints(nullptr, empty.m_hWnd, reinterpret_cast<POINT*>(&title), 2);
  EXPECT_NEAR(title.left, page.right - title.right, 2);
  // Tab from the find field goes into the links.
  HWND next = GetNextDlgTabItem(window, GetDlgItem(window, IDC_FIND), FALSE);
  EXPECT_EQ(next, GetDlgItem(empty.m_hWnd, IDC_EMPTY_IMPORT));
  EXPECT_EQ(GetNextDlgTabItem(window, next, FALSE), GetDlgItem(empty.m_hWnd, IDC_EMPTY_ADD));

  engine().groups->Add(L"Friends", L"", Days, 7);
  engine().contacts->Add(L"Ann", L"", Days, 7, kStart, L"", 1);
  EXPECT_FALSE(empty.Shown());
  EXPECT_TRUE(IsWindowVisible(Panel().m_hWnd));
  engine().contacts->Remove(engine().contacts->lastId);
  apptest::PumpMessages();
  EXPECT_TRUE(empty.Shown());
}

}  // namespace
