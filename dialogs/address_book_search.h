#pragma once
// Finding the address books a server offers to a user, as the sync dialog
// needs it: the address typed, the books found or why none, and which one to
// take when the user has not chosen.
#include <cstddef>
#include <string>
#include <vector>

#include "model/carddav_client.h"

namespace dialogs {

struct FoundBook {
  std::wstring url;
  std::wstring name;
};

struct BookSearch {
  std::vector<FoundBook> books;
  std::wstring problem;  // a sentence; empty when books were found
};

// What the user typed as the server: a host name becomes an https:// address.
std::wstring ServerAddress(const std::wstring& typed);

// Asks the server on the calling thread, which must not be a window's: it
// waits for the network.
BookSearch SearchAddressBooks(const std::wstring& server, const std::wstring& user, const std::string& password);

// The search's failure in a plain sentence.
std::wstring SearchProblem(const carddav::Outcome& outcome);

// The book to preselect: the one whose name says it is the default or the
// contacts, else the first the server listed.
std::size_t DefaultBook(const std::vector<FoundBook>& books);

}  // namespace dialogs
