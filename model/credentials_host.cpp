// The host has no credential store the tests could use: passwords are kept in
// this process's memory only.
#include <map>
#include <mutex>

#include "model/credentials.h"

namespace credentials {

namespace {

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

std::map<std::wstring, std::string>& Store() {
  static std::map<std::wstring, std::string> store;
  return store;
}

}  // namespace

bool Write(const std::wstring& server, const std::wstring& user, const std::string& password) {
  const std::lock_guard<std::mutex> guard(Lock());
  Store()[TargetName(server, user)] = password;
  return true;
}

bool Read(const std::wstring& server, const std::wstring& user, std::string& password) {
  const std::lock_guard<std::mutex> guard(Lock());
  password.clear();
  const auto found = Store().find(TargetName(server, user));
  if (found == Store().end()) return false;
  password = found->second;
  return true;
}

bool Remove(const std::wstring& server, const std::wstring& user) {
  const std::lock_guard<std::mutex> guard(Lock());
  return Store().erase(TargetName(server, user)) > 0;
}

}  // namespace credentials
