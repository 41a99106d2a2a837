#include "model/journal_records.h"

#include <algorithm>
#include <exception>
#include <istream>
#include <locale>
#include <sstream>
#include <vector>

#include <boost/archive/basic_archive.hpp>
#include <boost/archive/text_woarchive.hpp>
#include <boost/crc.hpp>

#include "model/journal_serialization.h"
#include "model/wide_text_iarchive.h"

BOOST_CLASS_VERSION(JournalRecord, 1)
BOOST_SERIALIZATION_SPLIT_FREE(JournalRecord)

namespace boost {
namespace serialization {

template <class Archive>
void save(Archive& ar, const JournalRecord& record, unsigned /*version*/) {
  const std::int32_t hasState = record.state ? 1 : 0;
  ar << record.sequence << record.offset << record.baseTime << hasState;
  if (record.state) ar << *record.state;
  ar << collection_size_type(record.removed.size());
  for (const std::int32_t id : record.removed) ar << id;
  ar << collection_size_type(record.changed.size());
  for (const auto& [id, history] : record.changed) ar << id << *history;
}

// Bounded as the base is: counts against what the record can still hold,
// every history through the base's own loader; ids ascending, each once.
template <class Archive>
void load(Archive& ar, JournalRecord& record, unsigned /*version*/) {
  std::int32_t hasState = 0;
  ar >> record.sequence >> record.offset >> record.baseTime >> hasState;
  if (hasState != 0) {
    ProgramState state;
    ar >> state;
    record.state = std::move(state);
  }
  std::size_t count = amicord::LoadCount(ar, 2);
  for (std::size_t i = 0; i < count; ++i) {
    std::int32_t id = 0;
    ar >> id;
    if (!record.removed.empty() && id <= record.removed.back()) amicord::RefuseJournal();
    record.removed.push_back(id);
  }
  count = amicord::LoadCount(ar, 8);
  for (std::size_t i = 0; i < count; ++i) {
    std::int32_t id = 0;
    auto history = std::make_shared<ContactHistory>();
    ar >> id >> *history;
    if (!record.changed.empty() && id <= record.changed.back().first) amicord::RefuseJournal();
    record.changed.emplace_back(id, std::move(history));
  }
}

}  // namespace serialization
}  // namespace boost

namespace {

using Traits = std::wistream::traits_type;

const std::wstring kFrameStart = L"journal-record ";
// The frame line's longest form: its start, two numbers and a space.
constexpr std::size_t kMaxFrameLine = 64;

bool SameHistory(const ContactHistory& a, const ContactHistory& b) {
  if (a.snoozedUntil != b.snoozedUntil || a.knownLastContacted != b.knownLastContacted || a.known != b.known ||
      !(a.details == b.details) || !(a.card == b.card) || a.entries.size() != b.entries.size())
    return false;
  for (std::size_t i = 0; i < a.entries.size(); ++i)
    if (a.entries[i].time != b.entries[i].time || a.entries[i].text != b.entries[i].text) return false;
  return true;
}

bool SameState(const ProgramState& a, const ProgramState& b) { return a.reminders == b.reminders && a.sync == b.sync; }

std::uint32_t Checksum(const std::wstring& text) {
  boost::crc_32_type crc;
  for (const wchar_t unit : text) {
    const auto value = static_cast<std::uint32_t>(unit);
    crc.process_byte(static_cast<unsigned char>(value & 0xFF));
    crc.process_byte(static_cast<unsigned char>((value >> 8) & 0xFF));
  }
  return crc.checksum();
}

// Whether a frame line cut off here could still have become a whole one.
bool CouldBeFrame(const std::wstring& line) {
  const std::size_t start = std::min(line.size(), kFrameStart.size());
  if (line.compare(0, start, kFrameStart, 0, start) != 0) return false;
  int spaces = 0;
  for (std::size_t i = kFrameStart.size(); i < line.size(); ++i) {
    if (line[i] == L' ') {
      if (i == kFrameStart.size() || line[i - 1] == L' ' || ++spaces > 1) return false;
    } else if (line[i] < L'0' || line[i] > L'9') {
      return false;
    }
  }
  return line.size() <= kMaxFrameLine;
}

bool ParseNumber(const std::wstring& text, std::uint64_t limit, std::uint64_t& value) {
  if (text.empty() || text.size() > 19) return false;
  value = 0;
  for (const wchar_t unit : text) {
    if (unit < L'0' || unit > L'9') return false;
    value = value * 10 + static_cast<std::uint64_t>(unit - L'0');
  }
  return value <= limit;
}

enum class Read { Record, End, Torn, Bad };

bool AtEnd(WideInBuf& source) { return Traits::eq_int_type(source.sgetc(), Traits::eof()); }

// A torn frame line or archive is only ever the last thing in the file.
Read ReadFrame(WideInBuf& source, std::uint64_t& units, std::uint64_t& crc) {
  std::wstring line;
  for (;;) {
    const Traits::int_type unit = source.sbumpc();
    if (Traits::eq_int_type(unit, Traits::eof())) return CouldBeFrame(line) ? Read::Torn : Read::Bad;
    if (Traits::eq_int_type(unit, Traits::to_int_type(L'\n'))) break;
    line += Traits::to_char_type(unit);
    if (!CouldBeFrame(line)) return Read::Bad;
  }
  const std::size_t space = line.find(L' ', kFrameStart.size());
  if (line.size() <= kFrameStart.size() || space == std::wstring::npos) return Read::Bad;
  const std::wstring count = line.substr(kFrameStart.size(), space - kFrameStart.size());
  if (!ParseNumber(count, std::uint64_t(1) << 40, units) || !ParseNumber(line.substr(space + 1), 0xFFFFFFFFu, crc))
    return Read::Bad;
  return Read::Record;
}

bool ParseBody(const std::wstring& body, JournalRecord& record) {
  WideInBuf source;
  source.OpenUnits(body.data(), body.size());
  std::wistream stream(&source);
  stream.imbue(std::locale::classic());
  try {
    WideTextInArchive archive(stream, source);
    archive >> record;
  } catch (const std::exception&) {
    return false;
  }
  // Exactly the archive's closing line break follows.
  return Traits::eq_int_type(source.sbumpc(), Traits::to_int_type(L'\n')) && AtEnd(source);
}

// A record longer than the rest of the file: cut off while it was added,
// unless another record's frame line follows (its length is wrong).
Read CutOffOrDamaged(WideInBuf& source) {
  const std::wstring next = L"\n" + kFrameStart;
  std::wstring window;
  std::vector<wchar_t> chunk(1 << 14);
  for (;;) {
    const std::streamsize got = source.sgetn(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    if (got <= 0) return Read::Torn;
    window.append(chunk.data(), static_cast<std::size_t>(got));
    if (window.find(next) != std::wstring::npos) return Read::Bad;
    window.erase(0, window.size() - std::min(window.size(), next.size()));
  }
}

// One record from here: its frame, its characters and their checksum, and
// its archive. A record whose checksum fails is torn when the file ends with
// it (the disk kept the length of a write it had not finished), damage when
// anything follows.
Read ReadOne(WideInBuf& source, JournalRecord& record) {
  if (AtEnd(source)) return source.EndedInsideUnit() ? Read::Torn : Read::End;
  std::uint64_t units = 0;
  std::uint64_t crc = 0;
  const Read frame = ReadFrame(source, units, crc);
  if (frame != Read::Record) return frame;
  if (units > source.RemainingUnitsBound()) return CutOffOrDamaged(source);
  std::wstring body(static_cast<std::size_t>(units), L'\0');
  const auto wanted = static_cast<std::streamsize>(units);
  if (units != 0 && source.sgetn(&body[0], wanted) != wanted) return Read::Torn;
  if (Checksum(body) != crc) return AtEnd(source) ? Read::Torn : Read::Bad;
  return ParseBody(body, record) ? Read::Record : Read::Bad;
}

// All or nothing: a record that removes a contact the journal does not hold
// was not made from it.
bool Apply(const JournalRecord& record, Journal& journal) {
  for (const std::int32_t id : record.removed)
    if (journal.contacts.count(id) == 0) return false;
  if (record.state) journal.state = *record.state;
  for (const std::int32_t id : record.removed) journal.contacts.erase(id);
  for (const auto& [id, history] : record.changed) journal.contacts[id] = *history;
  return true;
}

}  // namespace

JournalRecord RecordBetween(const JournalSnapshot& disk, const JournalSnapshot& now) {
  JournalRecord record;
  if (!SameState(disk.state, now.state)) record.state = now.state;
  auto before = disk.contacts.begin();
  for (const auto& [id, history] : now.contacts) {
    for (; before != disk.contacts.end() && before->first < id; ++before) record.removed.push_back(before->first);
    const bool held = before != disk.contacts.end() && before->first == id;
    if (!held || (before->second != history && !SameHistory(*before->second, *history)))
      record.changed.emplace_back(id, history);
    if (held) ++before;
  }
  for (; before != disk.contacts.end(); ++before) record.removed.push_back(before->first);
  return record;
}

std::wstring RecordText(const JournalRecord& record) {
  std::wostringstream stream;
  stream.imbue(std::locale::classic());
  const std::string signature = boost::archive::BOOST_ARCHIVE_SIGNATURE();
  stream << signature.size() << L' ' << std::wstring(signature.begin(), signature.end()) << L" 3 ";
  {
    boost::archive::text_woarchive archive(stream, boost::archive::no_header);
    archive << record;
  }
  const std::wstring body = stream.str();
  return kFrameStart + std::to_wstring(body.size()) + L' ' + std::to_wstring(Checksum(body)) + L'\n' + body;
}

Damage ReadRecords(WideInBuf& source, Journal& journal, JournalTail& tail) {
  tail = JournalTail{};
  tail.baseBytes = tail.size = source.Position();
  for (;;) {
    const std::uint64_t at = source.Position();
    JournalRecord record;
    switch (ReadOne(source, record)) {
      case Read::End:
        tail.clean = true;
        return Damage::None;
      case Read::Torn:
        tail.torn = true;
        return Damage::None;
      case Read::Bad:
        return tail.records == 0 ? Damage::AfterLastRecord : Damage::Content;
      case Read::Record:
        break;
    }
    const bool follows = record.sequence == tail.records + 1 && record.offset == at &&
                         (tail.records == 0 || record.baseTime == tail.baseTime);
    if (!follows || !Apply(record, journal)) return Damage::Content;
    ++tail.records;
    tail.baseTime = record.baseTime;
    tail.size = source.Position();
  }
}

bool HoldsOneRecord(const std::wstring& path) {
  WideInBuf source;
  if (!source.Open(path)) return false;
  JournalRecord record;
  return ReadOne(source, record) == Read::Record && AtEnd(source) && !source.EndedInsideUnit();
}
