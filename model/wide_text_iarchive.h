#pragma once
// The library's wide text input archive, with every length it reads from the
// file checked against what the rest of the file can still hold. The library's
// own string loaders size their buffer to whatever length the file claims, so a
// damaged file could ask for gigabytes (or keep the loader busy for minutes)
// before the first character is read.
#include <cstddef>
#include <istream>
#include <locale>
#include <set>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include <boost/archive/text_wiarchive.hpp>

#include "model/wide_file_buf.h"

class WideTextInArchive : public boost::archive::text_wiarchive_impl<WideTextInArchive> {
 public:
  // Reads and checks the header (signature and library version), exactly as the
  // library's own archive does when constructed with flags 0.
  WideTextInArchive(std::wistream& stream, const WideInBuf& source);
  ~WideTextInArchive() override;
  WideTextInArchive(const WideTextInArchive&) = delete;
  WideTextInArchive& operator=(const WideTextInArchive&) = delete;

  // Throws the archive's stream error when `count` elements of at least
  // `minUnitsEach` characters each cannot fit in the rest of the file.
  void RefuseImpossibleCount(std::size_t count, std::size_t minUnitsEach) const;

  // The library resolves a pointer that refers back to an earlier object by its
  // number alone, whatever that object's type: a damaged file could make a
  // record pointer point at the collection or at a shared pointer. Every record
  // this archive created is noted, and a pointer to anything else is refused.
  template <class T>
  void NoteRecord(const T* record) {
    records_.emplace(record, &typeid(T));
  }
  template <class T>
  void RefuseUnknownRecord(const T* record) const {
    if (record && records_.count({record, &typeid(T)}) == 0) RefuseDamaged();
  }

  // A record read through a pointer whose load failed: the library (1.74) drops
  // such an object without freeing it. It is deleted when this archive ends,
  // once nothing of the library can still refer to it.
  template <class T>
  void DiscardWhenDone(T* record) {
    discarded_.emplace_back(record, [](void* object) { delete static_cast<T*>(object); });
  }

 protected:
  friend class boost::archive::detail::interface_iarchive<WideTextInArchive>;
  friend class boost::archive::load_access;

  using boost::archive::text_wiarchive_impl<WideTextInArchive>::load;
  void load(std::string& text);
  void load(std::wstring& text);
  // The library indexes its class table with this number unchecked: below -1
  // (the null pointer) it would read before the table's start.
  void load(boost::archive::class_id_type& id);
  // Numbers are most of a journal: read straight from the buffer, they load in
  // half the time the stream's locale-driven extraction took. What is taken is
  // what the stream takes (white space, a sign, decimal digits, in range).
  void load(short& value);
  void load(unsigned short& value);
  void load(int& value);
  void load(unsigned int& value);
  void load(long& value);
  void load(unsigned long& value);
  void load(long long& value);
  void load(unsigned long long& value);

 private:
  template <class T>
  void LoadInteger(T& value);
  std::size_t LoadLength();
  [[noreturn]] static void RefuseDamaged();

  const WideInBuf& source_;
  const std::ctype<wchar_t>* space_;  // of the locale the archive gave its stream, kept as long as the archive
  std::vector<std::pair<void*, void (*)(void*)>> discarded_;
  std::set<std::pair<const void*, const std::type_info*>> records_;
};
