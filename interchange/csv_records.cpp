#include "interchange/csv_records.h"

#include "interchange/person.h"

namespace interchange {

namespace {

constexpr std::size_t kMaxFields = 1000;

}  // namespace

CsvRecords::CsvRecords(std::wstring_view text) : text_(text) {
  std::size_t counts[3] = {0, 0, 0};
  bool quoted = false;
  for (const wchar_t c : text_) {
    if (c == L'"') quoted = !quoted;
    if (quoted) continue;
    if (c == L'\r' || c == L'\n') break;
    counts[0] += c == L',';
    counts[1] += c == L';';
    counts[2] += c == L'\t';
  }
  if (counts[1] > counts[0] && counts[1] >= counts[2])
    separator_ = L';';
  else if (counts[2] > counts[0] && counts[2] > counts[1])
    separator_ = L'\t';
}

bool CsvRecords::Next(std::vector<std::wstring>& fields, std::int64_t& line, bool& unterminated) {
  fields.clear();
  unterminated = false;
  if (at_ >= text_.size()) return false;
  line = line_;
  fields.emplace_back();
  bool quoted = false;
  bool wasQuoted = false;
  const auto add = [&](wchar_t c) {
    if (fields.back().size() < kMaxFieldChars) fields.back() += c;
  };
  while (at_ < text_.size()) {
    const wchar_t c = text_[at_++];
    const bool lineEnd = c == L'\r' || c == L'\n';
    if (lineEnd) {
      if (c == L'\r' && at_ < text_.size() && text_[at_] == L'\n') ++at_;
      ++line_;
    }
    if (quoted) {
      if (c == L'"') {
        if (at_ < text_.size() && text_[at_] == L'"') {
          add(L'"');
          ++at_;
        } else {
          quoted = false;
        }
      } else {
        add(lineEnd ? L'\n' : c);
      }
      continue;
    }
    if (lineEnd) return true;
    if (c == separator_) {
      if (fields.size() < kMaxFields)
        fields.emplace_back();
      else
        fields.back().clear();
      wasQuoted = false;
    } else if (c == L'"' && !wasQuoted && fields.back().find_first_not_of(L" \t") == std::wstring::npos) {
      fields.back().clear();
      quoted = wasQuoted = true;
    } else {
      add(c);  // text after a closing quote, or a stray quote mid-field, is kept as it stands
    }
  }
  unterminated = quoted;
  return true;
}

}  // namespace interchange
