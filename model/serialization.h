#pragma once
// What goes into the data files: classes, class versions, field order. Tracking
// and implementation level are the library's defaults. The two record vectors
// have their own save and load: the files carry archive library version 3, which
// has no item-version token after an element count.
#include <cstddef>
#include <string>
#include <vector>

#include <boost/archive/archive_exception.hpp>
#include <boost/serialization/collection_size_type.hpp>
#include <boost/serialization/item_version_type.hpp>
#include <boost/serialization/library_version_type.hpp>
#include <boost/serialization/nvp.hpp>
#include <boost/serialization/shared_ptr.hpp>
#include <boost/serialization/split_free.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/version.hpp>

#include "model/contacts.h"
#include "model/groups.h"
#include "model/options.h"

BOOST_CLASS_VERSION(Group, 1)
BOOST_CLASS_VERSION(Groups, 1)
BOOST_CLASS_VERSION(Contact, 1)
BOOST_CLASS_VERSION(Contacts, 1)
BOOST_CLASS_VERSION(Options, 2)

BOOST_SERIALIZATION_SPLIT_FREE(Group)
BOOST_SERIALIZATION_SPLIT_FREE(Contact)
BOOST_SERIALIZATION_SPLIT_FREE(std::vector<boost::shared_ptr<Group>>)
BOOST_SERIALIZATION_SPLIT_FREE(std::vector<boost::shared_ptr<Contact>>)

namespace boost {
namespace serialization {

namespace amicord {

template <class Archive, class T>
void SaveRecords(Archive& ar, const std::vector<boost::shared_ptr<T>>& items) {
  const collection_size_type count(items.size());
  ar << BOOST_SERIALIZATION_NVP(count);
  for (const boost::shared_ptr<T>& item : items) ar << boost::serialization::make_nvp("item", item);
}

template <class Archive, class T>
void LoadRecords(Archive& ar, std::vector<boost::shared_ptr<T>>& items) {
  collection_size_type count;
  ar >> BOOST_SERIALIZATION_NVP(count);
  // Files written by the library's own vector code carry an item version.
  if (ar.get_library_version() > boost::serialization::library_version_type(3)) {
    item_version_type itemVersion(0);
    ar >> BOOST_SERIALIZATION_NVP(itemVersion);
  }
  items.clear();
  // Every element takes at least a class reference and a separator.
  ar.RefuseImpossibleCount(count, 2);
  for (std::size_t i = 0; i < count; ++i) {
    boost::shared_ptr<T> item;
    ar >> boost::serialization::make_nvp("item", item);
    if (!item) {
      boost::serialization::throw_exception(
          boost::archive::archive_exception(boost::archive::archive_exception::input_stream_error));
    }
    items.push_back(std::move(item));
  }
}

// As the library's own shared-pointer load, but the raw pointer is checked to
// be a record this archive made before a shared pointer takes it.
template <class Archive, class T>
void LoadRecordPointer(Archive& ar, boost::shared_ptr<T>& item) {
  T* record = nullptr;
  ar >> boost::serialization::make_nvp("px", record);
  ar.RefuseUnknownRecord(record);
  shared_ptr_helper<boost::shared_ptr>& helper = ar.template get_helper<shared_ptr_helper<boost::shared_ptr>>(
      shared_ptr_helper_id);
  helper.reset(item, record);
}

}  // namespace amicord

template <class Archive>
void load(Archive& ar, boost::shared_ptr<Group>& item, const unsigned int /*version*/) {
  amicord::LoadRecordPointer(ar, item);
}

template <class Archive>
void load(Archive& ar, boost::shared_ptr<Contact>& item, const unsigned int /*version*/) {
  amicord::LoadRecordPointer(ar, item);
}

template <class Archive>
void save(Archive& ar, const Group& group, unsigned /*version*/) {
  ar << group.id << group.name << group.imagePath << group.unit << group.count;
}

template <class Archive>
void load(Archive& ar, Group& group, unsigned /*version*/) {
  ar.NoteRecord(&group);
  try {
    ar >> group.id >> group.name >> group.imagePath >> group.unit >> group.count;
  } catch (...) {
    // Records are only ever read through pointers; the library would leak this one.
    ar.DiscardWhenDone(&group);
    throw;
  }
}

template <class Archive>
void save(Archive& ar, const Contact& contact, unsigned /*version*/) {
  ar << contact.id << contact.name << contact.imagePath << contact.unit << contact.count << contact.lastContacted
     << contact.previousContacted << contact.notes << contact.groupId;
}

template <class Archive>
void load(Archive& ar, Contact& contact, unsigned /*version*/) {
  ar.NoteRecord(&contact);
  try {
    ar >> contact.id >> contact.name >> contact.imagePath >> contact.unit >> contact.count >> contact.lastContacted >>
        contact.previousContacted >> contact.notes >> contact.groupId;
  } catch (...) {
    ar.DiscardWhenDone(&contact);
    throw;
  }
}

template <class Archive>
void save(Archive& ar, const std::vector<boost::shared_ptr<Group>>& items, unsigned /*version*/) {
  amicord::SaveRecords(ar, items);
}

template <class Archive>
void load(Archive& ar, std::vector<boost::shared_ptr<Group>>& items, unsigned /*version*/) {
  amicord::LoadRecords(ar, items);
}

template <class Archive>
void save(Archive& ar, const std::vector<boost::shared_ptr<Contact>>& items, unsigned /*version*/) {
  amicord::SaveRecords(ar, items);
}

template <class Archive>
void load(Archive& ar, std::vector<boost::shared_ptr<Contact>>& items, unsigned /*version*/) {
  amicord::LoadRecords(ar, items);
}

// The formatter reads `ar & a & b` as a declaration of references.
// clang-format off
template <class Archive>
void serialize(Archive& ar, Groups& groups, unsigned /*version*/) {
  ar & groups.lastId & groups.items;
}

template <class Archive>
void serialize(Archive& ar, Contacts& contacts, unsigned /*version*/) {
  ar & contacts.lastId & contacts.items;
}

template <class Archive>
void serialize(Archive& ar, Options& options, unsigned version) {
  ar & options.autoStart & options.warnPercent & options.warnDays & options.showLastContacted &
      options.windowX & options.windowY & options.windowWidth & options.windowHeight;
  if (version > 1) ar & options.minimizeToTray;
}
// clang-format on

}  // namespace serialization
}  // namespace boost
