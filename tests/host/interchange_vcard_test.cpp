// Reading vCard files as phones, mail programs and online address books write them.
#include <gtest/gtest.h>

#include <string>

#include "interchange/base64.h"
#include "interchange/vcard_reader.h"

namespace interchange {
namespace {

const std::string kPng = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + std::string(40, '\x11');

bool HasKept(const Person& person, const std::wstring& line) {
  for (const KeptProperty& kept : person.details.kept)
    if (kept.column.empty() && kept.text == line) return true;
  return false;
}

TEST(VCardReading, Version21QuotedPrintableCharsetsAndUnindentedBase64) {
  const std::string base64 = EncodeBase64(std::string("\xFF\xD8\xFF\xE0", 4) + std::string(120, 'j'));
  // Line ends of every kind; a soft break inside an encoded UTF-8 character.
  const std::string file =
      "BEGIN:VCARD\r\nVERSION:2.1\n"
      "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen;;;\r"
      "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:First line=0D=0A=\r\nSecond =C3=\r\n=A4nd\r\n"
      "TEL;CELL;VOICE:+49 170 1234567\r\n"
      "BDAY:19800512\r\n"
      "PHOTO;ENCODING=BASE64;JPEG:" +
      base64.substr(0, 40) + "\r\n" + base64.substr(40, 60) + "\r\n" + base64.substr(100) +
      "\r\n\r\n"
      "END:VCARD\r\n";
  const ReadResult result = ReadVCards(file, L"phone.vcf");
  ASSERT_EQ(result.people.size(), 1u);
  const Person& person = result.people[0];
  EXPECT_EQ(person.name, L"J\u00FCrgen M\u00FCller");  // given name first
  EXPECT_EQ(person.notes, L"First line\r\nSecond \u00E4nd");
  EXPECT_EQ(person.details.phones, (std::vector<Phone>{{L"mobile", L"+49 170 1234567"}}));
  EXPECT_EQ(person.details.dates, (std::vector<ImportantDate>{{L"birthday", 5, 12, 1980}}));
  EXPECT_TRUE(person.extras.empty()) << "nothing of these goes into the notes";
  EXPECT_EQ(person.pictureType, "jpg");
  EXPECT_EQ(person.picture, std::string("\xFF\xD8\xFF\xE0", 4) + std::string(120, 'j'));
  EXPECT_EQ(person.file, L"phone.vcf");
  EXPECT_EQ(person.line, 1);
  EXPECT_TRUE(result.problems.empty());
  EXPECT_TRUE(result.error.empty());
}

TEST(VCardReading, Version30QuirksOfRealWriters) {
  const std::string file =
      "Some text a mail program put before the card\r\n"
      "begin:vcard\r\nversion:3.0\r\n"
      "FN:J\xC3\r\n \xBCrgen Gro\xC3\r\n\t\x9F\r\n"  // folds that split two-byte characters
      "item1.EMAIL;type=INTERNET;type=pref:jg@example.org\r\n"
      "item1.X-ABLabel:_$!<Other>!$_\r\n"
      "note:one\\, two\\; three\\\\ four\\nfive\\: six C:\\Users\r\n"
      "NOTE:second note\r\n"
      "CATEGORIES:Old friends\\, close,Work\r\n"
      "ORG:Acme;Research\r\nTITLE:Engineer\r\n"
      "AGENT:BEGIN:VCARD\r\nBEGIN:VCARD\r\nFN:The agent\r\nCATEGORIES:Nope\r\nEND:VCARD\r\n"
      "PHOTO;ENCODING=b;TYPE=image/png:" +
      EncodeBase64(kPng) +
      "\r\n"
      "X-UNKNOWN;FOO=\"a:b;c\":whatever\r\n"
      "END:VCARD\r\n"
      "BEGIN:VCARD\nVERSION:3.0\nFN:\nN:Lee;Ann;;Dr.;\nPHOTO;VALUE=uri:http://example.org/ann.jpg\nEND:VCARD\n";
  const ReadResult result = ReadVCards(file, L"book.vcf");
  ASSERT_EQ(result.people.size(), 2u);
  const Person& jurgen = result.people[0];
  EXPECT_EQ(jurgen.name, L"J\u00FCrgen Gro\u00DF");
  EXPECT_EQ(jurgen.notes, L"one, two; three\\ four\nfive: six C:\\Users\nsecond note");
  EXPECT_EQ(jurgen.group, L"Old friends, close");
  EXPECT_EQ(jurgen.details.emails, (std::vector<EmailAddress>{{L"other", L"jg@example.org"}}));
  EXPECT_TRUE(HasKept(jurgen, L"ORG:Acme;Research"));
  EXPECT_TRUE(HasKept(jurgen, L"TITLE:Engineer"));
  EXPECT_TRUE(HasKept(jurgen, L"X-UNKNOWN;FOO=\"a:b;c\":whatever"));
  EXPECT_FALSE(HasKept(jurgen, L"item1.X-ABLabel:_$!<Other>!$_")) << "the address's label is its label";
  EXPECT_EQ(jurgen.picture, kPng);
  EXPECT_EQ(jurgen.pictureType, "png");
  EXPECT_EQ(jurgen.line, 2);
  // An empty FN gives way to N, given name first; a picture that is only a web address is not fetched.
  EXPECT_EQ(result.people[1].name, L"Dr. Ann Lee");
  EXPECT_TRUE(result.people[1].picture.empty());
  EXPECT_TRUE(result.problems.empty());
}

TEST(VCardReading, Version40DataUriOwnPropertiesAndNameFallbacks) {
  const std::string file =
      "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Kim\r\n"
      "PHOTO:data:image/png;base64," +
      EncodeBase64(kPng) +
      "\r\n"
      "BDAY:--0512\r\n"
      "X-AMICORD-INTERVAL:2;weeks\r\n"
      "X-AMICORD-LAST-CONTACTED:2024-05-12T14:30:00Z\r\n"
      "X-AMICORD-PREVIOUS-CONTACTED:20240501T080000Z\r\n"
      "END:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:4.0\r\nORG:Acme Ltd;Sales\r\nEMAIL:info@acme.example\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:4.0\r\nEMAIL:solo@example.org\r\nCATEGORIES:myContacts,starred,Chess\r\nEND:VCARD\r\n";
  const ReadResult result = ReadVCards(file, L"ours.vcf");
  ASSERT_EQ(result.people.size(), 3u);
  const Person& kim = result.people[0];
  EXPECT_EQ(kim.picture, kPng);
  EXPECT_EQ(kim.details.dates, (std::vector<ImportantDate>{{L"birthday", 5, 12, 0}}));
  ASSERT_TRUE(kim.unit && kim.count && kim.lastContacted && kim.previousContacted);
  EXPECT_EQ(*kim.unit, Weeks);
  EXPECT_EQ(*kim.count, 2);
  EXPECT_EQ(*kim.lastContacted, 1715524200);
  EXPECT_EQ(*kim.previousContacted, 1714550400);
  EXPECT_EQ(result.people[1].name, L"Acme Ltd, Sales");
  EXPECT_EQ(result.people[2].name, L"solo@example.org");
  EXPECT_EQ(result.people[2].group, L"Chess");  // the address book's own labels are no groups
  EXPECT_FALSE(result.people[1].unit.has_value());
  EXPECT_FALSE(result.people[1].lastContacted.has_value());
}

std::string Utf16(const std::string& ascii, bool bigEndian) {
  std::string bytes;
  for (const char c : ascii) {
    bytes += bigEndian ? '\0' : c;
    bytes += bigEndian ? c : '\0';
  }
  return bytes;
}

TEST(VCardReading, EncodingsOfWholeFilesAndOfValues) {
  const std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Lee\r\nEND:VCARD\r\n";
  for (const std::string& file : {Utf16(card, false), "\xFF\xFE" + Utf16(card, false), "\xFE\xFF" + Utf16(card, true),
                                  Utf16(card, true), "\xEF\xBB\xBF" + card}) {
    const ReadResult result = ReadVCards(file, L"x.vcf");
    ASSERT_EQ(result.people.size(), 1u);
    EXPECT_EQ(result.people[0].name, L"Ann Lee");
  }
  // Code pages named by CHARSET: Japanese, Cyrillic, Western; bytes that are
  // not UTF-8 and name none fall back to the Windows code page.
  const std::string coded =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=SHIFT_JIS:\x8E\x52\x93\x63\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=windows-1251:\xC8\xE2\xE0\xED\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Jos\xE9\r\nEND:VCARD\r\n";
  const ReadResult result = ReadVCards(coded, L"coded.vcf");
  ASSERT_EQ(result.people.size(), 3u);
  EXPECT_EQ(result.people[0].name, L"\u5C71\u7530");
  EXPECT_EQ(result.people[1].name, L"\u0418\u0432\u0430\u043D");
  EXPECT_EQ(result.people[2].name, L"Jos\u00E9");
}

TEST(VCardReading, DamagedCardsAreListedWithTheirLines) {
  const std::string huge(12u << 20, 'A');
  const std::string file = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Big\r\nPHOTO;ENCODING=b:" + huge +
                           "\r\nEND:VCARD\r\n"  // lines 1-5
                           "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Odd\r\nPHOTO;ENCODING=b:" +
                           EncodeBase64("not a picture") +
                           "\r\nEND:VCARD\r\n"
                           "BEGIN:VCARD\r\nVERSION:3.0\r\nTEL:123\r\nEND:VCARD\r\n"  // lines 11-14: no name at all
                           "BEGIN:VCARD\r\nFN:Open\r\n";                             // lines 15-16: never closed
  const ReadResult result = ReadVCards(file, L"bad.vcf");
  ASSERT_EQ(result.people.size(), 3u);
  EXPECT_EQ(result.people[0].name, L"Big");
  EXPECT_TRUE(result.people[0].picture.empty());
  EXPECT_TRUE(result.people[1].picture.empty());
  EXPECT_EQ(result.people[2].name, L"Open");
  ASSERT_EQ(result.problems.size(), 4u);
  EXPECT_EQ(result.problems[0].line, 4);
  EXPECT_NE(result.problems[0].why.find(L"8 MB"), std::wstring::npos);
  EXPECT_EQ(result.problems[1].line, 9);
  EXPECT_EQ(result.problems[2].line, 11);
  EXPECT_EQ(result.problems[3].line, 15);
  for (const Problem& problem : result.problems) EXPECT_EQ(problem.file, L"bad.vcf");

  EXPECT_FALSE(ReadVCards("just some text\r\n", L"t.vcf").error.empty());
  EXPECT_FALSE(ReadVCards("", L"e.vcf").error.empty());
}

TEST(VCardReading, EveryTruncationReadsWithoutNamelessPeople) {
  const std::string file =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;Ann\r\nNOTE:a\\nb\r\n"
      "PHOTO;ENCODING=BASE64;PNG:\r\n " +
      EncodeBase64(kPng) +
      "\r\n\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Kim\r\nPHOTO:data:image/png;base64," +
      EncodeBase64(kPng) + "\r\nEND:VCARD\r\n";
  for (std::size_t length = 0; length <= file.size(); ++length) {
    const ReadResult result = ReadVCards(file.substr(0, length), L"cut.vcf");
    for (const Person& person : result.people) {
      EXPECT_FALSE(person.name.empty()) << length;
      EXPECT_TRUE(person.picture.empty() || person.pictureType == "png") << length;
    }
    if (length == file.size()) {
      ASSERT_EQ(result.people.size(), 2u);
      EXPECT_EQ(result.people[0].picture, kPng);
      EXPECT_EQ(result.people[1].picture, kPng);
    }
  }
}

}  // namespace
}  // namespace interchange
