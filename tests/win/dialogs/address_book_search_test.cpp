// The address book search against radicale and an untrusted TLS server on
// 127.0.0.1, which with_servers.py starts and names in the environment.
#include <gtest/gtest.h>

#include "base/windows_api.h"

#include <cstdlib>
#include <string>

#include "dialogs/dlg_address_book_sync.h"
#include "model/text_decoding.h"
#include "tests/win/dialogs/dialog_driver.h"

namespace {

std::wstring Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? text::DecodeLoose(value) : std::wstring();
}

TEST(AddressBookSearch, FindsTheBookAndNamesWhyNot) {
  const std::wstring dav = Env("AMICORD_TEST_DAV"), user = Env("AMICORD_TEST_DAV_USER");
  const std::string password = text::EncodeUtf8(Env("AMICORD_TEST_DAV_PASSWORD"));
  ASSERT_FALSE(dav.empty()) << "run through with_servers.py";
  const dialogs::BookSearch found = dialogs::SearchAddressBooks(dav, user, password);
  EXPECT_EQ(found.problem, L"");
  ASSERT_EQ(found.books.size(), 1u);
  EXPECT_EQ(found.books[0].url, Env("AMICORD_TEST_DAV_BOOK"));

  struct Case {
    std::wstring server;
    std::string password;
    std::wstring problem;
  };
  const Case cases[] = {
      {dav, "wrong", L"The server did not accept the user name and password."},
      {Env("AMICORD_TEST_TLS"), password, L"The server's certificate could not be trusted, so no connection was made."},
      {Env("AMICORD_TEST_CLOSED"), password,
       L"The server could not be reached. Please, check the address and the connection."},
  };
  for (const Case& c : cases) {
    const dialogs::BookSearch failed = dialogs::SearchAddressBooks(c.server, user, c.password);
    EXPECT_EQ(failed.problem, c.problem) << text::EncodeUtf8(c.server);
    EXPECT_TRUE(failed.books.empty());
  }

  // From the dialog, with its own search on its worker thread.
  DlgAddressBookSync dialog;
  test::DialogDriver driver;
  driver.Expect(L"Address Book Sync", [&](HWND window) {
    SetDlgItemTextW(window, IDC_SYNC_SERVER, dav.c_str());
    SetDlgItemTextW(window, IDC_SYNC_USER, user.c_str());
    SetDlgItemTextW(window, IDC_SYNC_PASSWORD, Env("AMICORD_TEST_DAV_PASSWORD").c_str());
    test::Click(window, IDC_SYNC_FIND);
    MSG message{};
    while (!IsWindowEnabled(GetDlgItem(window, IDC_SYNC_FIND)) && GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    EXPECT_EQ(test::Text(window, IDC_SYNC_FIND_STATUS), L"1 address book found.");
    test::Click(window, IDOK);
  });
  ASSERT_EQ(dialog.DoModal(nullptr), IDOK);
  EXPECT_EQ(dialog.book, Env("AMICORD_TEST_DAV_BOOK"));
}

}  // namespace
