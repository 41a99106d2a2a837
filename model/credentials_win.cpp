// Windows' credential store: the password is kept encrypted for this user by
// the system, as UTF-16 the way the system's own credential manager shows it.
#include "base/windows_api.h"
// clang-format off
#include <wincred.h>
// clang-format on

#include <memory>

#include "model/credentials.h"
#include "model/text_decoding.h"

namespace credentials {

namespace {

struct CredentialDeleter {
  void operator()(PCREDENTIALW credential) const { CredFree(credential); }
};

// The password's copies in this process are wiped once handed on.
struct WipedText {
  std::wstring text;
  ~WipedText() { SecureZeroMemory(text.data(), text.size() * sizeof(wchar_t)); }
};

}  // namespace

bool Write(const std::wstring& server, const std::wstring& user, const std::string& password) {
  std::wstring target = TargetName(server, user);
  std::wstring userName = user;
  WipedText secret{text::DecodeLoose(password)};
  CREDENTIALW credential{};
  credential.Type = CRED_TYPE_GENERIC;
  credential.TargetName = target.data();
  credential.UserName = userName.data();
  credential.CredentialBlobSize = static_cast<DWORD>(secret.text.size() * sizeof(wchar_t));
  credential.CredentialBlob = reinterpret_cast<LPBYTE>(secret.text.data());
  credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
  return CredWriteW(&credential, 0) != FALSE;
}

bool Read(const std::wstring& server, const std::wstring& user, std::string& password) {
  password.clear();
  PCREDENTIALW found = nullptr;
  if (!CredReadW(TargetName(server, user).c_str(), CRED_TYPE_GENERIC, 0, &found)) return false;
  const std::unique_ptr<CREDENTIALW, CredentialDeleter> credential(found);
  WipedText secret{std::wstring(reinterpret_cast<const wchar_t*>(credential->CredentialBlob),
                                credential->CredentialBlobSize / sizeof(wchar_t))};
  SecureZeroMemory(credential->CredentialBlob, credential->CredentialBlobSize);
  password = text::EncodeUtf8(secret.text);
  return true;
}

bool Remove(const std::wstring& server, const std::wstring& user) {
  return CredDeleteW(TargetName(server, user).c_str(), CRED_TYPE_GENERIC, 0) != FALSE;
}

}  // namespace credentials
