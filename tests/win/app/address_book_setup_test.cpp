#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <commctrl.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "app/address_book_setup.h"
#include "app/data_session.h"
#include "app/sync_control.h"
#include "dialogs/dlg_address_book_sync.h"
#include "model/credentials.h"
#include "model/journal.h"
#include "tests/win/app/app_fixture.h"
#include "tests/win/dialogs/dialog_driver.h"

namespace {

constexpr wchar_t kCaption[] = L"Address Book Sync";
constexpr wchar_t kServer[] = L"https://dav.example";

class FakeSync : public SyncControl {
 public:
  void SyncNow() override { ++syncs; }
  void AccountChanged() override { ++changes; }
  std::wstring LastResult() const override { return L"Synced 2 min ago."; }
  int syncs = 0;
  int changes = 0;
};

class AddressBookSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(apptest::SettingsFolder());
    std::filesystem::create_directories(apptest::SettingsFolder());
    session_.Start(nullptr);
    engine_.groups->Add(L"Work", L"", Days, 2);
    engine_.groups->Add(L"Friends", L"", Days, 2);
    engine_.contacts->Add(L"Anna Berg", L"", Weeks, 2, 1796000000, L"", (*engine_.groups->begin())->id);
    TearDown();
    setup_.SetSyncControl(&sync_);
  }
  void TearDown() override {
    for (const wchar_t* user : {L"anna", L"bert"}) credentials::Remove(kServer, user);
  }

  static SyncAccount Saved() {
    Engine saved;
    saved.Load();
    return saved.journal->state.sync;
  }
  static std::string Kept(const wchar_t* user) {
    std::string password;
    return credentials::Read(kServer, user, password) ? password : "(none)";
  }

  DataSession session_;
  Engine& engine_ = session_.GetEngine();
  AddressBookSetup setup_{session_};
  FakeSync sync_;
};

TEST_F(AddressBookSetupTest, OkStoresTheAccountAndThePasswordAndAChangedUserTakesTheCredentialAlong) {
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_SYNC_NOW)));
    EXPECT_EQ(test::Text(window, IDC_SYNC_LAST), L"Synced 2 min ago.");
    SetDlgItemTextW(window, IDC_SYNC_SERVER, L"dav.example");
    SetDlgItemTextW(window, IDC_SYNC_USER, L"anna");
    SetDlgItemTextW(window, IDC_SYNC_PASSWORD, L"pw 1");
    ListView_SetCheckState(GetDlgItem(window, IDC_SYNC_GROUPS), 0, FALSE);
    test::Click(window, IDOK);
  });
  setup_.Run(nullptr);
  const SyncAccount& account = engine_.journal->state.sync;
  EXPECT_EQ(account.server + L" " + account.user, std::wstring(kServer) + L" anna");
  EXPECT_EQ(account.groups, std::vector<std::int32_t>{(*std::next(engine_.groups->begin()))->id});
  EXPECT_EQ(Kept(L"anna"), "pw 1");
  EXPECT_EQ(sync_.changes, 1);
  EXPECT_EQ(Saved(), account) << "saved in journal.dat";

  // Sync Now stores what the dialog holds first; the password goes along to the new user.
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_EQ(test::Text(window, IDC_SYNC_PASSWORD), L"");
    SetDlgItemTextW(window, IDC_SYNC_USER, L"bert");
    test::Click(window, IDC_SYNC_NOW);
    test::Click(window, IDCANCEL);
  });
  setup_.Run(nullptr);
  EXPECT_EQ(Saved().user, L"bert");
  EXPECT_EQ(Kept(L"anna") + " " + Kept(L"bert"), "(none) pw 1");
  EXPECT_EQ(sync_.syncs, 1);
  EXPECT_EQ(sync_.changes, 2);

  // Without a background sync there is no Sync Now.
  setup_.SetSyncControl(nullptr);
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_SYNC_NOW)));
    test::Click(window, IDCANCEL);
  });
  setup_.Run(nullptr);
  EXPECT_TRUE(driver.AllScriptsRun() && driver.messages().empty());
}

TEST_F(AddressBookSetupTest, RemoveAccountKeepsTheContactsAndDropsLinksAccountAndPassword) {
  const std::int32_t anna = (*engine_.contacts->begin())->id;
  engine_.journal->contacts[anna].card = CardLink{
      L"u-1", L"https://dav.example/a/u-1.vcf", L"\"1\"", L"BEGIN:VCARD", L"", false};
  engine_.journal->state.sync = SyncAccount{kServer, L"anna", L"https://dav.example/a/", L"tok", 1797000000, {}, {}};
  engine_.journal->Touch();
  ASSERT_TRUE(session_.SaveAll());
  ASSERT_TRUE(credentials::Write(kServer, L"anna", "pw"));
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_EQ(SendDlgItemMessageW(window, IDC_SYNC_BOOK, CB_GETCURSEL, 0, 0), 0) << "the book in use";
    test::Click(window, IDC_SYNC_REMOVE);
  });
  driver.Expect(DlgAddressBookSync::kRemoveQuestion, [](HWND box) { test::Click(box, IDYES); });
  setup_.Run(nullptr);
  EXPECT_TRUE(driver.AllScriptsRun());
  EXPECT_EQ(std::distance(engine_.contacts->begin(), engine_.contacts->end()), 1);
  EXPECT_TRUE(engine_.journal->state.sync.Empty());
  EXPECT_EQ(Kept(L"anna"), "(none)");
  EXPECT_EQ(sync_.changes, 1);
  Engine saved;
  saved.Load();
  EXPECT_TRUE(saved.journal->state.sync.Empty());
  EXPECT_FALSE(saved.journal->Find(anna)->card.Linked());
}

}  // namespace
