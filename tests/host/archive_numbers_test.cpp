// The archive reads numbers itself, without the stream's extraction: it must
// take exactly the texts the stream takes, stop where the stream stops, and
// refuse what the stream refuses (damage, then, never a wrong value).
#include <gtest/gtest.h>

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

}  // namespace

TEST(ArchiveNumbers, EveryIntegerTypeTakesWhatTheStreamTakes) {
  const wchar_t* const texts[] = {L"0",
                                  L"7 ",
                                  L"-7",
                                  L"+7",
                                  L"  \n\t 42",
                                  L"007",
                                  L"12x",
                                  L"12 34",
                                  L"\r\n5",
                                  L"",
                                  L" ",
                                  L"x",
                                  L"-",
                                  L"+",
                                  L"+-1",
                                  L"--1",
                                  L"- 1",
                                  L"32767",
                                  L"32768",
                                  L"-32768",
                                  L"-32769",
                                  L"65535",
                                  L"65536",
                                  L"2147483647",
                                  L"2147483648",
                                  L"-2147483648",
                                  L"-2147483649",
                                  L"4294967295",
                                  L"4294967296",
                                  L"-1",
                                  L"-4294967295",
                                  L"-4294967296",
                                  L"9223372036854775807",
                                  L"9223372036854775808",
                                  L"-9223372036854775808",
                                  L"-9223372036854775809",
                                  L"18446744073709551615",
                                  L"18446744073709551616",
                                  L"-18446744073709551615",
                                  L"000000000000000000000000000001",
                                  L"99999999999999999999999999",
                                  L"\u0663",
                                  L"\u00A012"};
  for (const wchar_t* text : texts) {
    ExpectSameAsStream<short>(text);
    ExpectSameAsStream<unsigned short>(text);
    ExpectSameAsStream<int>(text);
    ExpectSameAsStream<unsigned int>(text);
    ExpectSameAsStream<long>(text);
    ExpectSameAsStream<unsigned long>(text);
    ExpectSameAsStream<long long>(text);
    ExpectSameAsStream<unsigned long long>(text);
  }
}
