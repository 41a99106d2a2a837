// A file is read to its very end: exactly the closing line break must follow
// the last record, and files of the original form match ours byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "model/archive.h"
#include "model/engine.h"
#include "tests/common/archive_files.h"

using namespace testfiles;

namespace {

// UTF-16LE spelled out token by token, independent of the test helpers' Bytes:
// a space between tokens, and the line break as 0D 0A 00.
class OriginalForm {
 public:
  OriginalForm& operator<<(const std::string& token) {
    if (!bytes_.empty() && !newLine_) bytes_ += std::string(" \0", 2);
    newLine_ = false;
    for (const char c : token) bytes_ += std::string(1, c) + '\0';
    return *this;
  }
  OriginalForm& operator<<(long long number) { return *this << std::to_string(number); }
  OriginalForm& Text(const std::string& ascii) { return *this << std::to_string(ascii.size()) + " " + ascii; }
  OriginalForm& NewLine() {
    bytes_ += std::string("\r\n\0", 3);
    newLine_ = true;
    return *this;
  }
  std::string End() { return NewLine().bytes_; }

 private:
  std::string bytes_;
  bool newLine_ = false;
};

std::wstring TwoGroups() {
  return CollectionFile(3, 30, {GroupRecord(1, L"Work", L"", 0, 0), GroupRecord(2, L"Club", L"", 1, 30)});
}

}  // namespace

TEST(FileEnding, OursAndTheOriginalProgramsFilesAreByteIdentical) {
  TempFolder folder;
  Engine engine(folder.path());
  engine.groups->Add(L"Family", L"", Weeks, 2);
  engine.contacts->Add(L"Ann Lee", L"C:\\a.png", Days, 3, 1700000000, L"{\\rtf1 x}", 1);
  engine.contacts->Add(L"Bo", L"", Months, 1, 1600000000, L"", 1);
  engine.contacts->items[0]->previousContacted = 0;
  engine.contacts->items[1]->previousContacted = 5;
  ASSERT_TRUE(engine.Save());

  OriginalForm groups;
  groups.Text("serialization::archive") << 3 << 0 << 1 << 1 << 0 << 0 << 1 << 0 << 1 << 3 << 1 << 1;
  groups.NewLine() << 0 << 1;
  groups.Text("Family").Text("") << 1 << 2;
  EXPECT_EQ(ReadBytes(engine.groupsPath), groups.End());

  OriginalForm contacts;
  contacts.Text("serialization::archive") << 3 << 0 << 1 << 2 << 0 << 0 << 2 << 0 << 1 << 3 << 1 << 1;
  contacts.NewLine() << 0 << 1;
  contacts.Text("Ann Lee").Text("C:\\a.png") << 0 << 3 << 1700000000 << 0;
  contacts.Text("{\\rtf1 x}") << 1 << 3;
  contacts.NewLine() << 1 << 2;
  contacts.Text("Bo").Text("") << 2 << 1 << 1600000000 << 5;
  contacts.Text("") << 1;
  EXPECT_EQ(ReadBytes(engine.contactsPath), contacts.End());

  OriginalForm options;
  options.Text("serialization::archive") << 3 << 0 << 2 << 1 << 75 << 2 << 0 << -1 << -1 << -1 << -1 << 1;
  EXPECT_EQ(ReadBytes(engine.optionsPath), options.End());
  EXPECT_EQ(ReadBytes(engine.optionsPath).substr(ReadBytes(engine.optionsPath).size() - 5),
            std::string("1\0\r\n\0", 5));

  // The original program's files load as complete, with nothing to report.
  Engine loaded(folder.path());
  const Engine::LoadReport report = loaded.Load();
  EXPECT_FALSE(report.AnyDamaged());
  EXPECT_EQ(report.contacts, FileStatus::Ok);
  ASSERT_EQ(loaded.contacts->items.size(), 2u);
  EXPECT_EQ(loaded.contacts->items[1]->previousContacted, 5);
}

TEST(FileEnding, ALoweredCountOrBytesAfterTheLastRecordAreDamage) {
  TempFolder folder;
  Engine engine(folder.path());
  const std::wstring three = CollectionFile(
      3, 3,
      {ContactRecord(1, L"A", L"", 0, 1, 1, 1, L"", 1), ContactRecord(2, L"B", L"", 0, 1, 1, 1, L"", 1),
       ContactRecord(3, L"C", L"", 0, 1, 1, 1, L"", 1)});
  std::wstring lowered = three;
  const std::size_t count = lowered.find(L" 0 0 3 ") + 5;
  ASSERT_EQ(lowered[count], L'3');
  lowered[count] = L'1';
  WriteBytes(engine.contactsPath, Bytes(lowered));
  const Engine::LoadReport report = engine.Load();
  EXPECT_EQ(report.contacts, FileStatus::Damaged);
  ASSERT_EQ(report.damages.size(), 1u);
  EXPECT_EQ(report.damages[0], Damage::AfterLastRecord);
  EXPECT_EQ(report.keptCopies[0], engine.contactsPath + L".damaged");
  EXPECT_EQ(ReadBytes(report.keptCopies[0]), Bytes(lowered));
  ASSERT_EQ(engine.contacts->items.size(), 1u) << "what could be read stays";

  const std::string whole = Bytes(three);
  for (const std::string& after : {std::string("x\0", 2), std::string("\r\n\0", 3), std::string(" \0", 2),
                                   std::string("\0", 1), std::string(2, '\0')}) {
    Contacts contacts;
    Damage damage = Damage::None;
    EXPECT_EQ(ReadArchiveBytes((whole + after).data(), whole.size() + after.size(), contacts, &damage),
              FileStatus::Damaged);
    EXPECT_EQ(damage, Damage::AfterLastRecord) << after.size();
    EXPECT_EQ(contacts.items.size(), 3u);
  }
  Contacts contacts;
  Damage damage = Damage::Content;
  EXPECT_EQ(ReadArchiveBytes(whole.data(), whole.size(), contacts, &damage), FileStatus::Ok);
  EXPECT_EQ(damage, Damage::None);
}

TEST(FileEnding, AFileCutInsideItsLastNumberIsNotTakenAsWhole) {
  const std::string whole = Bytes(TwoGroups());
  // "... 1 30" CR LF: cut after the 3, after the 0, and inside the line break.
  ASSERT_EQ(whole.substr(whole.size() - 7), std::string("3\0"
                                                        "0\0\r\n\0",
                                                        7));
  for (const std::size_t cut : {7u, 5u, 3u, 2u, 1u}) {
    Groups groups;
    Damage damage = Damage::None;
    EXPECT_EQ(ReadArchiveBytes(whole.data(), whole.size() - cut, groups, &damage), FileStatus::Damaged) << cut;
    EXPECT_NE(damage, Damage::None);
  }
  Groups groups;
  Damage damage = Damage::None;
  EXPECT_EQ(ReadArchiveBytes(whole.data(), whole.size() - 5, groups, &damage), FileStatus::Damaged);
  EXPECT_EQ(damage, Damage::Unclosed);
  ASSERT_EQ(groups.items.size(), 2u);
  EXPECT_EQ(groups.items[1]->count, 3) << "read as far as the file goes, but not taken as whole";
}

// Files of earlier builds of this program lack only the closing line break:
// they are reported once, kept, and written complete at the next save.
TEST(FileEnding, AFileOfAnEarlierBuildIsReportedOnceAndWrittenComplete) {
  TempFolder folder;
  Engine engine(folder.path());
  std::wstring earlier = TwoGroups();
  earlier.pop_back();
  WriteBytes(engine.groupsPath, Bytes(earlier));
  const Engine::LoadReport report = engine.Load();
  EXPECT_EQ(report.groups, FileStatus::Damaged);
  ASSERT_EQ(report.damages.size(), 1u);
  EXPECT_EQ(report.damages[0], Damage::Unclosed);
  EXPECT_EQ(report.keptCopies[0], engine.groupsPath + L".damaged");
  ASSERT_EQ(engine.groups->items.size(), 2u);
  EXPECT_EQ(engine.groups->items[1]->count, 30);

  ASSERT_TRUE(engine.Save());
  EXPECT_EQ(ReadBytes(engine.groupsPath), Bytes(TwoGroups()));
  Engine again(folder.path());
  EXPECT_FALSE(again.Load().AnyDamaged());
}
