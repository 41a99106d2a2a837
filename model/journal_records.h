#pragma once
// The changes appended to journal.dat after its base, so that a save that
// changes a few contacts writes those, not every contact's history again.
//
// journal.dat is the base (the journal's whole archive, as it always was)
// followed by zero or more records. Each record is one line that frames it,
// "journal-record <units> <crc>", and then that many characters: an archive
// of its own holding the sequence number, the byte offset the record starts
// at, the time the first record after this base was made, the program state
// when it changed, the ids removed and the whole history of every contact
// that changed. The checksum (CRC-32 of the archive's UTF-16LE bytes) covers
// all of it. Loading reads the base, then applies the records in order.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/archive.h"
#include "model/journal.h"
#include "model/journal_snapshot.h"
#include "model/wide_file_buf.h"

struct JournalRecord {
  std::uint64_t sequence = 0;  // 1 for the first record after the base
  std::uint64_t offset = 0;    // bytes of journal.dat before this record
  Time baseTime = 0;           // when the base got its first record: the same in every record after it
  std::optional<ProgramState> state;
  std::vector<std::int32_t> removed;                                                    // ascending
  std::vector<std::pair<std::int32_t, std::shared_ptr<const ContactHistory>>> changed;  // ascending ids
  bool Empty() const { return !state && removed.empty() && changed.empty(); }
};

// What reading journal.dat learnt of its form.
struct JournalTail {
  std::uint64_t baseBytes = 0;
  std::uint64_t size = 0;  // the base and the records read: where the next one goes
  std::uint64_t records = 0;
  Time baseTime = 0;
  // The end of the file was the start of a record, cut off: a save that
  // stopped while it appended. It was never written; the rest reads.
  bool torn = false;
  // The file ended cleanly after the base or a record: one may be added.
  bool clean = false;
};

// What `now` holds that `disk` does not: histories that differ (by content,
// where the snapshots do not share them), ids that went, and the state when
// it changed. Sequence, offset and base time are left to the caller.
JournalRecord RecordBetween(const JournalSnapshot& disk, const JournalSnapshot& now);

// The record's characters, its frame line first, as they are appended.
std::wstring RecordText(const JournalRecord& record);

// Reads the records that follow the base's closing line break and applies
// them to the journal one at a time, each only once it read whole and agreed
// with what came before. Answers Damage::None at a clean end or a torn last
// record, and the damage otherwise (the records before it stay applied).
Damage ReadRecords(WideInBuf& source, Journal& journal, JournalTail& tail);

// Whether a file holds exactly one whole record, as a staged append must.
bool HoldsOneRecord(const std::wstring& path);
