#include "interchange/vcard_lines.h"

#include <algorithm>
#include <cctype>

#include "interchange/person.h"

namespace interchange {

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool IsBase64Line(std::string_view line) {
  if (line.empty()) return false;
  for (const char c : line) {
    const bool ok = std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/' || c == '=' || c == ' ' ||
                    c == '\t';
    if (!ok) return false;
  }
  return true;
}

// The part before the first colon outside quotes (name and parameters).
std::size_t ValueStart(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"')
      quoted = !quoted;
    else if (line[i] == ':' && !quoted)
      return i;
  }
  return std::string_view::npos;
}

bool HeadMentions(std::string_view head, std::string_view word) {
  if (word.size() > head.size()) return false;
  for (std::size_t i = 0; i + word.size() <= head.size(); ++i)
    if (EqualsNoCase(head.substr(i, word.size()), word)) return true;
  return false;
}

void Parse(std::string_view logical, ContentLine& line) {
  const std::size_t colon = ValueStart(logical);
  if (colon == std::string_view::npos) return;
  const std::string_view head = logical.substr(0, colon);
  line.value.assign(logical.substr(colon + 1));
  std::size_t at = 0;
  bool quoted = false;
  std::vector<std::string_view> parts;
  for (std::size_t i = 0; i <= head.size(); ++i) {
    if (i < head.size() && head[i] == '"') quoted = !quoted;
    if (i == head.size() || (head[i] == ';' && !quoted)) {
      parts.push_back(head.substr(at, i - at));
      at = i + 1;
    }
  }
  std::string_view name = parts.front();
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) {
    line.group.assign(name.substr(0, dot));
    name.remove_prefix(dot + 1);
  }
  for (const char c : name) line.name += Upper(c);
  for (std::size_t i = 1; i < parts.size(); ++i) {
    const std::string_view part = parts[i];
    const std::size_t equals = part.find('=');
    std::string key;
    std::string value(equals == std::string_view::npos ? part : part.substr(equals + 1));
    if (equals != std::string_view::npos)
      for (const char c : part.substr(0, equals)) key += Upper(c);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    // Parameter names may be separated by spaces from their values in old files.
    while (!key.empty() && key.back() == ' ') key.pop_back();
    line.parameters.emplace_back(std::move(key), std::move(value));
  }
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

bool ContentLine::Has(std::string_view parameter, std::string* value) const {
  for (const auto& [key, text] : parameters) {
    if (EqualsNoCase(key, parameter)) {
      if (value) *value = text;
      return true;
    }
  }
  return false;
}

bool ContentLine::HasBare(std::string_view word) const {
  for (const auto& [key, text] : parameters) {
    if (!key.empty() && !EqualsNoCase(key, "TYPE")) continue;
    // "TYPE=HOME,VOICE" and bare "HOME" both count.
    std::size_t at = 0;
    while (at <= text.size()) {
      const std::size_t comma = std::min(text.find(',', at), text.size());
      if (EqualsNoCase(std::string_view(text).substr(at, comma - at), word)) return true;
      at = comma + 1;
    }
  }
  return false;
}

bool VCardLines::Physical(std::string_view& line) {
  if (at_ >= text_.size()) return false;
  std::size_t end = at_;
  while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r') ++end;
  line = text_.substr(at_, end - at_);
  at_ = end;
  if (at_ < text_.size() && text_[at_] == '\r') ++at_;
  if (at_ < text_.size() && text_[at_] == '\n') ++at_;
  ++lineNumber_;
  return true;
}

bool VCardLines::PeekPhysical(std::string_view& line) {
  const std::size_t at = at_;
  const std::int64_t number = lineNumber_;
  const bool found = Physical(line);
  at_ = at;
  lineNumber_ = number;
  return found;
}

void VCardLines::Append(std::string& logical, std::string_view part, bool& tooLong) const {
  if (tooLong) return;
  if (logical.size() + part.size() > kMaxLineBytes) {
    tooLong = true;
    logical.clear();
    return;
  }
  logical.append(part);
}

bool VCardLines::Next(ContentLine& line, bool& tooLong) {
  line = ContentLine();
  tooLong = false;
  std::string_view physical;
  do {
    if (!Physical(physical)) return false;
  } while (physical.find_first_not_of(" \t") == std::string_view::npos);
  line.line = lineNumber_;
  std::string logical;
  Append(logical, physical, tooLong);
  std::string_view next;
  while (PeekPhysical(next) && !next.empty() && (next[0] == ' ' || next[0] == '\t')) {
    Physical(next);
    Append(logical, next.substr(1), tooLong);
  }
  const std::size_t colon = ValueStart(logical);
  const std::string_view head = colon == std::string_view::npos ? std::string_view()
                                                                : std::string_view(logical).substr(0, colon);
  if (HeadMentions(head, "QUOTED-PRINTABLE")) {
    // A soft break: the value goes on in the next line, folded or not.
    while (!tooLong && !logical.empty() && logical.back() == '=' && PeekPhysical(next)) {
      Physical(next);
      logical.pop_back();
      if (!next.empty() && (next[0] == ' ' || next[0] == '\t')) next.remove_prefix(1);
      Append(logical, next, tooLong);
    }
  } else if (HeadMentions(head, "BASE64") || HeadMentions(head, "ENCODING=B")) {
    // Version 2.1 lets base64 run on over unindented lines up to a blank one.
    while (PeekPhysical(next) && IsBase64Line(next) && next.find(':') == std::string_view::npos) {
      Physical(next);
      Append(logical, next, tooLong);
    }
  }
  if (tooLong) return true;
  Parse(logical, line);
  line.raw = std::move(logical);
  return true;
}

}  // namespace interchange
