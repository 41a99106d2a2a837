#pragma once
// The content lines of a vCard file as the many writers out there produce them:
// any mix of line ends, folded lines (also where a fold splits a character),
// quoted-printable soft breaks and version 2.1's unfolded base64 blocks.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace interchange {

struct ContentLine {
  std::string name;   // upper case, without its group ("item1.")
  std::string group;  // "item1" as written; empty for none
  std::string raw;    // the whole unfolded line as it stood
  // Parameter names upper case; version 2.1's bare parameters ("HOME",
  // "QUOTED-PRINTABLE") have an empty name.
  std::vector<std::pair<std::string, std::string>> parameters;
  std::string value;  // raw bytes
  std::int64_t line = 0;

  // The value of a named parameter, or of a bare one equal to name; empty when absent.
  bool Has(std::string_view parameter, std::string* value = nullptr) const;
  bool HasBare(std::string_view word) const;
};

class VCardLines {
 public:
  explicit VCardLines(std::string_view text) : text_(text) {}

  // The next logical line, parsed. False at the end of the text. Lines longer
  // than the limit come back with tooLong set and no value; stray lines
  // without a colon come back with an empty name.
  bool Next(ContentLine& line, bool& tooLong);

 private:
  bool Physical(std::string_view& line);
  bool PeekPhysical(std::string_view& line);
  void Append(std::string& logical, std::string_view part, bool& tooLong) const;

  std::string_view text_;
  std::size_t at_ = 0;
  std::int64_t lineNumber_ = 0;
};

bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace interchange
