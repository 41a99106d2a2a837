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
#include "model/engine.h"
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
    Engine& engine = session_.GetEngine();
    engine.groups->Add(L"Work", L"", Days, 2);
    engine.groups->Add(L"Friends", L"", Days, 2);
    engine.contacts->Add(L"Anna Berg", L"", Weeks, 2, 1796000000, L"", (*engine.groups->begin())->id);
    for (const wchar_t* user : {L"anna", L"bert"}) credentials::Remove(kServer, user);
  }
  void TearDown() override {
    for (const wchar_t* user : {L"anna", L"bert"}) credentials::Remove(kServer, user);
  }

  static SyncAccount SavedAccount() {
    Engine saved;
    saved.Load();
    return saved.journal->state.sync;
  }

  static std::string Kept(const wchar_t* user) {
    std::string password;
    return credentials::Read(kServer, user, password) ? password : "(none)";
  }

  DataSession session_;
  FakeSync sync_;
};

void SetText(HWND window, int id, const wchar_t* text) { SetDlgItemTextW(window, id, text); }
bool Enabled(HWND window, int id) { return IsWindowEnabled(GetDlgItem(window, id)) != FALSE; }

TEST_F(AddressBookSetupTest, OkStoresTheAccountAndThePasswordAndAChangedUserTakesTheCredentialAlong) {
  AddressBookSetup setup(session_);
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_FALSE(Enabled(window, IDC_SYNC_NOW)) << "no background sync yet";
    test::Click(window, IDCANCEL);
  });
  setup.Run(nullptr);
  EXPECT_TRUE(session_.GetEngine().journal->state.sync.Empty());

  setup.SetSyncControl(&sync_);
  const std::int32_t friends = (*std::next(session_.GetEngine().groups->begin()))->id;
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_TRUE(Enabled(window, IDC_SYNC_NOW));
    EXPECT_FALSE(Enabled(window, IDC_SYNC_REMOVE));
    EXPECT_EQ(test::Text(window, IDC_SYNC_LAST), L"Synced 2 min ago.");
    SetText(window, IDC_SYNC_SERVER, L"dav.example");
    SetText(window, IDC_SYNC_USER, L"anna");
    SetText(window, IDC_SYNC_PASSWORD, L"pw 1");
    ListView_SetCheckState(GetDlgItem(window, IDC_SYNC_GROUPS), 0, FALSE);
    test::Click(window, IDOK);
  });
  setup.Run(nullptr);
  const SyncAccount& account = session_.GetEngine().journal->state.sync;
  EXPECT_EQ(account.server, kServer);
  EXPECT_EQ(account.user, L"anna");
  EXPECT_EQ(account.groups, std::vector<std::int32_t>{friends});
  EXPECT_EQ(Kept(L"anna"), "pw 1");
  EXPECT_EQ(sync_.changes, 1);
  EXPECT_EQ(SavedAccount(), account) << "saved in journal.dat";

  driver.Expect(kCaption, [](HWND window) {
    EXPECT_EQ(test::Text(window, IDC_SYNC_PASSWORD), L"");
    EXPECT_EQ(test::Text(window, IDC_SYNC_PASSWORD_NOTE), L"A password is kept. Type one only to replace it.");
    EXPECT_TRUE(Enabled(window, IDC_SYNC_REMOVE));
    SetText(window, IDC_SYNC_USER, L"bert");
    test::Click(window, IDC_SYNC_NOW);
    test::Click(window, IDCANCEL);
  });
  setup.Run(nullptr);
  EXPECT_EQ(account.user, L"bert") << "Sync Now stores first";
  EXPECT_EQ(Kept(L"anna"), "(none)");
  EXPECT_EQ(Kept(L"bert"), "pw 1");
  EXPECT_EQ(sync_.syncs, 1);
  EXPECT_EQ(sync_.changes, 2);
  EXPECT_EQ(SavedAccount().user, L"bert");
  EXPECT_TRUE(driver.messages().empty());
}

TEST_F(AddressBookSetupTest, RemoveAccountKeepsTheContactsAndDropsLinksAccountAndPassword) {
  Engine& engine = session_.GetEngine();
  const std::int32_t anna = (*engine.contacts->begin())->id;
  engine.journal->contacts[anna].card = CardLink{L"u-1", L"https://dav.example/a/u-1.vcf", L"\"1\"", L"BEGIN:VCARD"};
  engine.journal->state.sync = SyncAccount{kServer, L"anna", L"https://dav.example/a/", L"tok", 1797000000, {}, {}};
  engine.journal->Touch();
  ASSERT_TRUE(session_.SaveAll());
  ASSERT_TRUE(credentials::Write(kServer, L"anna", "pw"));
  AddressBookSetup setup(session_);
  setup.SetSyncControl(&sync_);
  test::DialogDriver driver;
  driver.Expect(kCaption, [](HWND window) {
    EXPECT_EQ(SendDlgItemMessageW(window, IDC_SYNC_BOOK, CB_GETCOUNT, 0, 0), 1) << "the book in use";
    EXPECT_EQ(SendDlgItemMessageW(window, IDC_SYNC_BOOK, CB_GETCURSEL, 0, 0), 0);
    test::Click(window, IDC_SYNC_REMOVE);
  });
  driver.Expect(DlgAddressBookSync::kRemoveQuestion, [](HWND box) { test::Click(box, IDYES); });
  setup.Run(nullptr);
  EXPECT_TRUE(driver.AllScriptsRun());
  EXPECT_EQ(std::distance(engine.contacts->begin(), engine.contacts->end()), 1);
  EXPECT_FALSE(engine.journal->Find(anna)->card.Linked());
  EXPECT_TRUE(engine.journal->state.sync.Empty());
  EXPECT_EQ(Kept(L"anna"), "(none)");
  EXPECT_EQ(sync_.changes, 1);
  Engine saved;
  saved.Load();
  EXPECT_TRUE(saved.journal->state.sync.Empty());
  EXPECT_FALSE(saved.journal->Find(anna)->card.Linked());
}

}  // namespace
