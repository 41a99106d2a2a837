#pragma once
#include <string>

#include <boost/shared_ptr.hpp>

#include "model/contacts.h"
#include "model/groups.h"
#include "model/options.h"

class Engine {
 public:
  struct Paths {
    std::wstring groups;
    std::wstring contacts;
    std::wstring options;
  };

  // Data lives in the settings folder beside the executable.
  Engine();
  // Data lives in the given folder (the data tool and tests use this).
  explicit Engine(const std::wstring& settingsFolder);
  virtual ~Engine() = default;

  // The three file paths for an executable at exePath: empty when the path has
  // no folder separator.
  static Paths PathsBesideExecutable(const std::wstring& exePath, wchar_t separator);

  void Load();
  bool Save();

  boost::shared_ptr<Groups> groups;
  boost::shared_ptr<Contacts> contacts;
  boost::shared_ptr<Options> options;
  std::wstring groupsPath;
  std::wstring contactsPath;
  std::wstring optionsPath;

 private:
  void UsePaths(const Paths& paths);
};
