// The archive reads numbers itself, without the stream's extraction: it must
// take exactly the texts the stream takes, stop where the stream stops, and
// refuse what the stream refuses (damage, then, never a wrong value).
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <locale>
#include <sstream>
#include <string>

#include "model/wide_file_buf.h"
#include "model/wide_text_iarchive.h"

namespace {

template <class T>
struct Read {
  bool ok = false;
  T value{};
  std::wistream::int_type next = 0;
};

template <class T>
Read<T> ByStream(const std::wstring& text) {
  std::wistringstream stream(text);
  stream.imbue(std::locale::classic());
  Read<T> read;
  read.ok = static_cast<bool>(stream >> read.value);
  read.next = stream.rdbuf()->sgetc();
  return read;
}

template <class T>
Read<T> ByArchive(const std::wstring& text) {
  const std::wstring units = L"22 serialization::archive 3 " + text;
  WideInBuf source;
  source.OpenUnits(units.data(), units.size());
  std::wistream stream(&source);
  stream.imbue(std::locale::classic());
  Read<T> read;
  try {
    WideTextInArchive archive(stream, source);
    archive >> read.value;
    read.ok = true;
  } catch (const std::exception&) {
  }
  read.next = source.sgetc();
  return read;
}

template <class T>
void ExpectSameAsStream(const std::wstring& text) {
  const Read<T> stream = ByStream<T>(text), archive = ByArchive<T>(text);
  const std::string shown(text.begin(), text.end());
  ASSERT_EQ(archive.ok, stream.ok) << '"' << shown << "\" as " << sizeof(T) << "-byte "
                                   << (std::numeric_limits<T>::is_signed ? "signed" : "unsigned");
  if (!stream.ok) return;
  EXPECT_EQ(archive.value, stream.value) << '"' << shown << '"';
  EXPECT_EQ(archive.next, stream.next) << '"' << shown << "\": the next unit";
}

template <class... T>
void ExpectAllSameAsStream(const std::wstring& text) {
  (ExpectSameAsStream<T>(text), ...);
}

}  // namespace

TEST(ArchiveNumbers, EveryIntegerTypeTakesWhatTheStreamTakes) {
  // Separated by '|': the empty text and texts of white space alone are among them.
  const std::wstring texts =
      L"0|7 |-7|+7|  \n\t 42|007|12x|12 34|\r\n5|| |x|-|+|+-1|--1|- "
      L"1|32767|32768|-32768|-32769|65535|65536|2147483647|2147483648|-2147483648|-2147483649|4294967295|4294967296|-1|"
      L"-4294967295|-4294967296|9223372036854775807|9223372036854775808|-9223372036854775808|-9223372036854775809|"
      L"18446744073709551615|18446744073709551616|-18446744073709551615|000000000000000000000000000001|"
      L"99999999999999999999999999|\u0663|\u00A012";
  for (std::size_t from = 0, to = 0; from <= texts.size(); from = to + 1) {
    to = std::min(texts.find(L'|', from), texts.size());
    ExpectAllSameAsStream<short, unsigned short, int, unsigned int, long, unsigned long, long long, unsigned long long>(
        texts.substr(from, to - from));
  }
}
