#include "dialogs/address_book_search.h"

#include <cwctype>

#include "model/text_decoding.h"

namespace dialogs {

namespace {

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return text;
}

std::wstring Trimmed(const std::wstring& text) {
  const std::size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

}  // namespace

std::wstring ServerAddress(const std::wstring& typed) {
  const std::wstring address = Trimmed(typed);
  if (address.empty() || address.find(L"://") != std::wstring::npos) return address;
  return L"https://" + address;
}

std::wstring SearchProblem(const carddav::Outcome& outcome) {
  if (outcome.Unauthorized()) return L"The server did not accept the user name and password.";
  switch (outcome.failure) {
    case http::Failure::Tls:
      return L"The server's certificate could not be trusted, so no connection was made.";
    case http::Failure::Network:
    case http::Failure::Timeout:
      return L"The server could not be reached. Please, check the address and the connection.";
    case http::Failure::Refused:
      return L"Please, give an https:// address; plain http:// is only for this computer.";
    default:
      break;
  }
  if (outcome.status == 404) return L"The server has no address book at this address.";
  return L"The server did not answer as an address book server does (" + text::DecodeLoose(outcome.why) + L").";
}

BookSearch SearchAddressBooks(const std::wstring& server, const std::wstring& user, const std::string& password) {
  BookSearch search;
  carddav::Client client(text::EncodeUtf8(user), password);
  std::vector<carddav::AddressBook> books;
  const carddav::Outcome outcome = client.Discover(text::EncodeUtf8(ServerAddress(server)), books);
  if (!outcome.ok) {
    search.problem = SearchProblem(outcome);
    return search;
  }
  for (const carddav::AddressBook& book : books)
    search.books.push_back(FoundBook{text::DecodeLoose(book.url), text::DecodeLoose(book.displayName)});
  if (search.books.empty()) search.problem = L"The server has no address book for this user.";
  return search;
}

std::size_t DefaultBook(const std::vector<FoundBook>& books) {
  for (std::size_t i = 0; i < books.size(); ++i) {
    std::wstring said = Lower(books[i].name);
    std::wstring path = Lower(books[i].url);
    while (!path.empty() && path.back() == L'/') path.pop_back();
    said += L" " + path.substr(path.find_last_of(L'/') + 1);
    if (said.find(L"default") != std::wstring::npos || said.find(L"contacts") != std::wstring::npos) return i;
  }
  return 0;
}

}  // namespace dialogs
