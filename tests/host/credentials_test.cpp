// The sync password's keeping: in memory on the host, Windows' credential
// store under Wine, through the same calls.
#include <gtest/gtest.h>

#include "model/credentials.h"
#ifdef _WIN32
#include "base/windows_api.h"
// clang-format off
#include <wincred.h>
// clang-format on
#endif

TEST(Credentials, PasswordIsWrittenReadReplacedAndRemoved) {
  const std::wstring server = L"https://dav.example.org/", user = L"anna";
  std::string password = "left over";
  EXPECT_FALSE(credentials::Read(server, user, password));
  EXPECT_EQ(password, "");
  ASSERT_TRUE(credentials::Write(server, user, "p\xC3\xA4ss w\xC3\xB6rd"));
  ASSERT_TRUE(credentials::Read(server, user, password));
  EXPECT_EQ(password, "p\xC3\xA4ss w\xC3\xB6rd");
  EXPECT_FALSE(credentials::Read(server, L"bert", password)) << "another user of the same server has none";
#ifdef _WIN32
  PCREDENTIALW kept = nullptr;  // in the system's store, under the name the user sees there
  ASSERT_TRUE(CredReadW(L"Amicord sync: https://dav.example.org/ anna", CRED_TYPE_GENERIC, 0, &kept));
  EXPECT_STREQ(kept->UserName, L"anna");
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(kept->CredentialBlob), kept->CredentialBlobSize / 2),
            L"p\u00E4ss w\u00F6rd");
  CredFree(kept);
#endif
  ASSERT_TRUE(credentials::Write(server, user, "new"));
  ASSERT_TRUE(credentials::Read(server, user, password) && password == "new");
  EXPECT_TRUE(credentials::Remove(server, user));
  EXPECT_FALSE(credentials::Read(server, user, password));
  EXPECT_FALSE(credentials::Remove(server, user)) << "nothing left to remove";
}
