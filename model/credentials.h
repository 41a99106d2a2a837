#pragma once
// Where the sync account's password is kept: Windows' credential store (a
// generic credential named after the server and the user), never a data file.
// The host build keeps them in memory, for its tests.
#include <string>

namespace credentials {

// "Amicord sync: <server> <user>", the name the credential has in the store.
std::wstring TargetName(const std::wstring& server, const std::wstring& user);

// The password is UTF-8, as the HTTP seam sends it. Write replaces what was
// kept for that server and user.
bool Write(const std::wstring& server, const std::wstring& user, const std::string& password);
// False when none is kept (password is then empty).
bool Read(const std::wstring& server, const std::wstring& user, std::string& password);
// False when none was kept.
bool Remove(const std::wstring& server, const std::wstring& user);

}  // namespace credentials
