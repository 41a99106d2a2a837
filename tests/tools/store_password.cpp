// store-password SERVER USER < password: puts the sync account's password into
// this computer's credential store (under Wine: the prefix's), as the
// program's settings do, for the end-to-end runs that set an account up
// without its dialog.
#include <iostream>
#include <string>

#include "model/credentials.h"
#include "model/text_decoding.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::cerr << "usage: store-password SERVER USER < password\n";
    return 2;
  }
  std::string password;
  std::getline(std::cin, password);
  if (!password.empty() && password.back() == '\r') password.pop_back();
  return credentials::Write(argv[1], argv[2], password) ? 0 : 1;
}
