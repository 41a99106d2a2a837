#include "model/credentials.h"

namespace credentials {

std::wstring TargetName(const std::wstring& server, const std::wstring& user) {
  return L"Amicord sync: " + server + L" " + user;
}

}  // namespace credentials
