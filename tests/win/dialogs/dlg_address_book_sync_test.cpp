#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/dlg_address_book_sync.h"
#include "tests/win/dialogs/dialog_driver.h"

namespace {

constexpr wchar_t kCaption[] = L"Address Book Sync";
using Messages = std::vector<std::wstring>;

void SetText(HWND window, int id, const std::wstring& text) { SetDlgItemTextW(window, id, text.c_str()); }
bool Enabled(HWND window, int id) { return IsWindowEnabled(GetDlgItem(window, id)) != FALSE; }

// Dispatches this thread's messages until done says so; false when it never did.
template <class Done>
bool PumpUntil(Done done) {
  for (int round = 0; round < 500 && !done(); ++round) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  return done();
}

// A search that answers only when the test lets it, and remembers what it was asked.
struct HeldSearch {
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::wstring asked;
  dialogs::BookSearch answer;
  ~HeldSearch() { CloseHandle(release); }
};

DlgAddressBookSync::Search Held(const std::shared_ptr<HeldSearch>& held) {
  return [held](const std::wstring& server, const std::wstring& user, const std::string& password) {
    held->asked = server + L" " + user + L" " + std::wstring(password.begin(), password.end());
    WaitForSingleObject(held->release, 10000);
    return held->answer;
  };
}

TEST(DlgAddressBookSync, OkChecksTheServerAndTheUserName) {
  const wchar_t* const kPlain =
      L"Please, give an https:// address; plain http:// is only for a server on this computer.";
  struct Case {
    const wchar_t* server;
    const wchar_t* user;
    const wchar_t* message;  // null: accepted, the server stored as the last field says
    const wchar_t* stored;
  };
  const Case cases[] = {
      {L"  ", L"anna", L"Please, give the address book server's name or address.", nullptr},
      {L"http://dav.example/", L"anna", kPlain, nullptr},
      {L"http://192.168.1.5:5232/", L"anna", kPlain, nullptr},
      {L"http://localhost:5232/", L"", L"Please, give the user name of the address book account.", nullptr},
      {L"http://127.0.0.1:5232/", L" anna ", nullptr, L"http://127.0.0.1:5232/"},
      {L"dav.example", L"anna", nullptr, L"https://dav.example"},
  };
  for (const Case& c : cases) {
    DlgAddressBookSync dialog;
    test::DialogDriver driver;
    Messages told;
    driver.Expect(kCaption, [&](HWND window) {
      SetText(window, IDC_SYNC_SERVER, c.server);
      SetText(window, IDC_SYNC_USER, c.user);
      test::Click(window, IDOK);
      told = driver.TakeMessages();
      if (c.message) test::Click(window, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), c.message ? IDCANCEL : IDOK) << c.server;
    EXPECT_EQ(told, c.message ? Messages{c.message} : Messages{}) << c.server;
    if (!c.message) {
      EXPECT_EQ(dialog.server + L" " + dialog.user, std::wstring(c.stored) + L" anna");
    }
  }
}

TEST(DlgAddressBookSync, GroupsTickedShowAndAllTickedIsEveryGroup) {
  struct Case {
    std::vector<std::int32_t> chosen;
    int untick;  // -1: none
    std::vector<std::int32_t> stored;
  };
  for (const Case& c : {Case{{}, -1, {}}, Case{{}, 1, {1, 7}}, Case{{4}, -1, {4}}}) {
    DlgAddressBookSync dialog;
    dialog.server = L"https://dav.example/";
    dialog.user = L"anna";
    dialog.groups = {{1, L"Work"}, {4, L"Friends"}, {7, L"Family"}};
    dialog.chosenGroups = c.chosen;
    test::DialogDriver driver;
    driver.Expect(kCaption, [&](HWND window) {
      HWND list = GetDlgItem(window, IDC_SYNC_GROUPS);
      ASSERT_EQ(ListView_GetItemCount(list), 3);
      EXPECT_EQ(ListView_GetCheckState(list, 0) != FALSE, c.chosen.empty());
      EXPECT_TRUE(ListView_GetCheckState(list, 1));
      if (c.untick >= 0) ListView_SetCheckState(list, c.untick, FALSE);
      test::Click(window, IDOK);
    });
    ASSERT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(dialog.chosenGroups, c.stored);
  }
}

TEST(DlgAddressBookSync, FindWaitsOffTheWindowsThreadAndPreselectsTheDefaultBook) {
  auto held = std::make_shared<HeldSearch>();
  held->answer.books = {{L"https://dav.example/anna/work/", L"Work"},
                        {L"https://dav.example/anna/contacts/", L""},
                        {L"https://dav.example/anna/old/", L"Old"}};
  DlgAddressBookSync dialog;
  dialog.passwordKept = true;
  dialog.search = Held(held);
  test::DialogDriver driver;
  driver.Expect(kCaption, [&](HWND window) {
    EXPECT_EQ(test::Text(window, IDC_SYNC_PASSWORD), L"") << "a kept password is never shown";
    EXPECT_EQ(test::Text(window, IDC_SYNC_PASSWORD_NOTE), L"A password is kept. Type one only to replace it.");
    EXPECT_FALSE(Enabled(window, IDC_SYNC_NOW)) << "no sync to start";
    EXPECT_FALSE(Enabled(window, IDC_SYNC_REMOVE)) << "no account to remove";
    SetText(window, IDC_SYNC_SERVER, L"dav.example");
    SetText(window, IDC_SYNC_USER, L"anna");
    SetText(window, IDC_SYNC_PASSWORD, L"pw");
    test::Click(window, IDC_SYNC_FIND);
    EXPECT_FALSE(Enabled(window, IDC_SYNC_FIND));
    EXPECT_EQ(test::Text(window, IDC_SYNC_FIND_STATUS), DlgAddressBookSync::kSearching);
    SetEvent(held->release);
    EXPECT_TRUE(PumpUntil([&] { return Enabled(window, IDC_SYNC_FIND); }));
    EXPECT_EQ(test::Text(window, IDC_SYNC_FIND_STATUS), L"3 address books found.");
    EXPECT_EQ(SendDlgItemMessageW(window, IDC_SYNC_BOOK, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendDlgItemMessageW(window, IDC_SYNC_BOOK, CB_GETCURSEL, 0, 0), 1) << "the contacts book";
    test::Click(window, IDOK);
  });
  ASSERT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(held->asked, L"https://dav.example anna pw");
  EXPECT_EQ(dialog.book, L"https://dav.example/anna/contacts/");
  EXPECT_EQ(dialog.password, L"pw");
}

TEST(DlgAddressBookSync, ASearchOutlivingTheDialogFindsNoWindowAndEnds) {
  auto late = std::make_shared<HeldSearch>();
  late->answer.books = {{L"https://dav.example/a/", L"A"}};
  std::weak_ptr<HeldSearch> watch = late;
  {
    DlgAddressBookSync dialog;
    dialog.server = L"https://dav.example/";
    dialog.search = Held(late);
    test::DialogDriver driver;
    driver.Expect(kCaption, [&](HWND window) {
      test::Click(window, IDC_SYNC_FIND);
      test::Click(window, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
  }
  SetEvent(late->release);
  late.reset();
  EXPECT_TRUE(PumpUntil([&] { return watch.expired(); })) << "the worker ended";
}

}  // namespace
