#pragma once
// RFC 4180 records of decoded text: quoted fields may hold separators, quotes
// and line breaks; line ends may be CR LF, LF or CR.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace interchange {

class CsvRecords {
 public:
  explicit CsvRecords(std::wstring_view text);

  // The separator the header row uses most: ',' ';' or tab.
  wchar_t separator() const { return separator_; }
  // The next record and the line it starts on; false at the end. Fields longer
  // than the limit are cut; unterminated is set when a quote runs to the end.
  bool Next(std::vector<std::wstring>& fields, std::int64_t& line, bool& unterminated);

 private:
  std::wstring_view text_;
  std::size_t at_ = 0;
  std::int64_t line_ = 1;
  wchar_t separator_ = L',';
};

}  // namespace interchange
