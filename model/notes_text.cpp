#include "model/notes_text.h"

#include <cstdint>
#include <string>
#include <vector>

#include "model/text_decoding.h"

namespace text {

namespace {

constexpr std::size_t kMaxDepth = 256;

bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Destinations whose content is not part of the text.
bool IsSkippedDestination(const std::wstring& word) {
  static const wchar_t* const kSkipped[] = {
      L"fonttbl", L"colortbl",  L"stylesheet", L"info",         L"pict",
      L"object",  L"header",    L"footer",     L"headerl",      L"headerr",
      L"footerl", L"footerr",   L"footnote",   L"listtable",    L"listoverridetable",
      L"rsidtbl", L"generator", L"themedata",  L"latentstyles", L"datastore"};
  for (const wchar_t* skipped : kSkipped)
    if (word == skipped) return true;
  return false;
}

class RtfText {
 public:
  explicit RtfText(std::wstring_view rtf) : rtf_(rtf) {}

  std::wstring Read() {
    std::vector<State> stack;
    State state;
    while (at_ < rtf_.size()) {
      const wchar_t c = rtf_[at_++];
      if (c == L'{') {
        FlushBytes();
        if (stack.size() >= kMaxDepth) {
          SkipGroup();
          continue;
        }
        stack.push_back(state);
        state.destinationPending = true;
      } else if (c == L'}') {
        FlushBytes();
        if (stack.empty()) break;
        state = stack.back();
        stack.pop_back();
      } else if (c == L'\\') {
        ControlWord(state);
      } else if (c == L'\r' || c == L'\n') {
      } else {
        state.destinationPending = false;
        Emit(state, c);
      }
    }
    FlushBytes();
    while (!text_.empty() && text_.back() == L'\n') text_.pop_back();
    return text_;
  }

 private:
  struct State {
    bool skip = false;
    bool destinationPending = false;
    int unicodeSkip = 1;
  };

  void SkipGroup() {
    std::size_t depth = 1;
    while (at_ < rtf_.size() && depth > 0) {
      const wchar_t c = rtf_[at_++];
      if (c == L'\\' && at_ < rtf_.size())
        ++at_;
      else if (c == L'{')
        ++depth;
      else if (c == L'}')
        --depth;
    }
  }

  void Emit(State& state, wchar_t c) {
    if (state.skip) return;
    FlushBytes();
    text_ += c;
  }

  void EmitByte(const State& state, unsigned char byte) {
    if (!state.skip) bytes_ += static_cast<char>(byte);
  }

  void FlushBytes() {
    if (bytes_.empty()) return;
    std::wstring decoded;
    if (!DecodeCodePage(codePage_, bytes_, decoded)) decoded = DecodeLoose(bytes_);
    text_ += decoded;
    bytes_.clear();
  }

  // The fallback characters that follow a \uN: plain characters, \'hh escapes
  // or control words each count as one.
  void SkipFallback(int count) {
    while (count > 0 && at_ < rtf_.size()) {
      const wchar_t c = rtf_[at_];
      if (c == L'{' || c == L'}') return;
      ++at_;
      if (c == L'\\' && at_ < rtf_.size()) {
        if (rtf_[at_] == L'\'') {
          at_ += 3;
        } else if (IsLetter(rtf_[at_])) {
          while (at_ < rtf_.size() && IsLetter(rtf_[at_])) ++at_;
          if (at_ < rtf_.size() && rtf_[at_] == L'-') ++at_;
          while (at_ < rtf_.size() && IsDigit(rtf_[at_])) ++at_;
          if (at_ < rtf_.size() && rtf_[at_] == L' ') ++at_;
        } else {
          ++at_;
        }
      }
      --count;
    }
    if (at_ > rtf_.size()) at_ = rtf_.size();
  }

  void ControlWord(State& state) {
    if (at_ >= rtf_.size()) return;
    const wchar_t c = rtf_[at_];
    if (!IsLetter(c)) {
      ++at_;
      state.destinationPending = state.destinationPending && c == L'*';
      if (c == L'*')
        state.skip = true;
      else if (c == L'\'')
        Hex(state);
      else if (c == L'~')
        Emit(state, 0x00A0);
      else if (c == L'_')
        Emit(state, L'-');
      else if (c == L'\\' || c == L'{' || c == L'}')
        Emit(state, c);
      else if (c == L'\r' || c == L'\n')
        Emit(state, L'\n');
      return;
    }
    std::wstring word;
    while (at_ < rtf_.size() && IsLetter(rtf_[at_]) && word.size() < 32) word += rtf_[at_++];
    bool hasParameter = false;
    bool negative = false;
    std::int64_t parameter = 0;
    if (at_ < rtf_.size() && rtf_[at_] == L'-') negative = true, ++at_;
    for (int digits = 0; at_ < rtf_.size() && IsDigit(rtf_[at_]); ++at_) {
      if (++digits <= 10) parameter = parameter * 10 + (rtf_[at_] - L'0');
      hasParameter = true;
    }
    if (negative) parameter = -parameter;
    if (at_ < rtf_.size() && rtf_[at_] == L' ') ++at_;
    const bool first = state.destinationPending;
    state.destinationPending = false;
    if (first && IsSkippedDestination(word)) {
      state.skip = true;
    } else if (word == L"par" || word == L"line" || word == L"row") {
      Emit(state, L'\n');
    } else if (word == L"tab" || word == L"cell") {
      Emit(state, L'\t');
    } else if (word == L"ansicpg" && hasParameter && parameter > 0 && parameter < 100000) {
      codePage_ = static_cast<unsigned>(parameter);
    } else if (word == L"uc" && hasParameter) {
      state.unicodeSkip = parameter < 0 ? 0 : static_cast<int>(parameter > 8 ? 8 : parameter);
    } else if (word == L"u" && hasParameter) {
      Emit(state, static_cast<wchar_t>(static_cast<std::uint16_t>(parameter)));
      SkipFallback(state.unicodeSkip);
    } else if (word == L"emdash") {
      Emit(state, 0x2014);
    } else if (word == L"endash") {
      Emit(state, 0x2013);
    } else if (word == L"bullet") {
      Emit(state, 0x2022);
    } else if (word == L"lquote" || word == L"rquote") {
      Emit(state, word == L"lquote" ? 0x2018 : 0x2019);
    } else if (word == L"ldblquote" || word == L"rdblquote") {
      Emit(state, word == L"ldblquote" ? 0x201C : 0x201D);
    } else if (word == L"bin" && hasParameter) {
      at_ += static_cast<std::size_t>(parameter < 0 ? 0 : parameter);
      if (at_ > rtf_.size()) at_ = rtf_.size();
    }
  }

  void Hex(const State& state) {
    unsigned value = 0;
    for (int i = 0; i < 2; ++i) {
      if (at_ >= rtf_.size()) return;
      const wchar_t h = rtf_[at_];
      unsigned digit;
      if (IsDigit(h))
        digit = h - L'0';
      else if (h >= L'a' && h <= L'f')
        digit = h - L'a' + 10;
      else if (h >= L'A' && h <= L'F')
        digit = h - L'A' + 10;
      else
        return;
      value = value * 16 + digit;
      ++at_;
    }
    EmitByte(state, static_cast<unsigned char>(value));
  }

  std::wstring_view rtf_;
  std::size_t at_ = 0;
  std::wstring text_;
  std::string bytes_;
  unsigned codePage_ = 1252;
};

}  // namespace

std::wstring NotesRtf(std::wstring_view text) {
  if (text.empty()) return {};
  std::wstring rtf =
      L"{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}}\r\n"
      L"\\viewkind4\\uc1\\pard\\f0\\fs16 ";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      rtf += L"\\par\r\n";
    } else if (c == L'\\' || c == L'{' || c == L'}') {
      rtf += L'\\';
      rtf += c;
    } else if (c == L'\t') {
      rtf += L"\\tab ";
    } else if (c < 0x20) {
    } else if (c < 0x80) {
      rtf += c;
    } else {
      rtf += L"\\u" + std::to_wstring(static_cast<std::int16_t>(static_cast<std::uint16_t>(c))) + L"?";
    }
  }
  rtf += L"\\par\r\n}\r\n";
  return rtf;
}

std::wstring NotesPlainText(std::wstring_view notes) {
  std::size_t start = 0;
  while (start < notes.size() && (notes[start] == L' ' || notes[start] == L'\r' || notes[start] == L'\n')) ++start;
  if (notes.compare(start, 5, L"{\\rtf") != 0) return std::wstring(notes);
  return RtfText(notes.substr(start)).Read();
}

}  // namespace text
