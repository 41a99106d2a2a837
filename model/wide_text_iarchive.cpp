#include "model/wide_text_iarchive.h"

#include <boost/archive/archive_exception.hpp>
#include <boost/archive/impl/archive_serializer_map.ipp>
#include <boost/archive/impl/basic_text_iarchive.ipp>
#include <boost/archive/impl/text_wiarchive_impl.ipp>

namespace boost {
namespace archive {
template class detail::archive_serializer_map<WideTextInArchive>;
template class basic_text_iarchive<WideTextInArchive>;
template class text_wiarchive_impl<WideTextInArchive>;
}  // namespace archive
}  // namespace boost

namespace {

[[noreturn]] void StreamError() {
  boost::serialization::throw_exception(
      boost::archive::archive_exception(boost::archive::archive_exception::input_stream_error));
}

}  // namespace

WideTextInArchive::WideTextInArchive(std::wistream& stream, const WideInBuf& source)
    : text_wiarchive_impl<WideTextInArchive>(stream, 0), source_(source) {
  init();
}

void WideTextInArchive::RefuseDamaged() { StreamError(); }

WideTextInArchive::~WideTextInArchive() {
  for (const auto& [record, destroy] : discarded_) destroy(record);
}

void WideTextInArchive::RefuseImpossibleCount(std::size_t count, std::size_t minUnitsEach) const {
  const std::uint64_t room = source_.RemainingUnitsBound();
  if (minUnitsEach == 0) minUnitsEach = 1;
  if (count > room / minUnitsEach) StreamError();
}

std::size_t WideTextInArchive::LoadLength() {
  std::size_t length = 0;
  *this >> length;
  is.get();  // the one space between the length and the characters
  if (is.fail() || length > source_.RemainingUnitsBound()) StreamError();
  return length;
}

void WideTextInArchive::load(std::string& text) {
  const std::size_t length = LoadLength();
  text.clear();
  text.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    const std::wistream::int_type unit = is.get();
    if (std::wistream::traits_type::eq_int_type(unit, std::wistream::traits_type::eof())) StreamError();
    text += is.narrow(std::wistream::traits_type::to_char_type(unit), '\0');
  }
}

void WideTextInArchive::load(std::wstring& text) {
  const std::size_t length = LoadLength();
  text.resize(length);
  if (length != 0) is.read(&text[0], static_cast<std::streamsize>(length));
  if (is.fail()) StreamError();
}

void WideTextInArchive::load(boost::archive::class_id_type& id) {
  text_wiarchive_impl<WideTextInArchive>::load(id);
  if (static_cast<int>(id) < -1) StreamError();
}
