#include "model/wide_text_iarchive.h"

#include <charconv>
#include <limits>
#include <locale>
#include <system_error>

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

bool IsSpace(std::wistream::int_type unit) {
  return unit == L' ' || unit == L'\n' || unit == L'\t' || unit == L'\r' || unit == L'\v' || unit == L'\f';
}

}  // namespace

template <class T>
void WideTextInArchive::LoadInteger(T& value) {
  using Traits = std::wistream::traits_type;
  std::wstreambuf* const buffer = is.rdbuf();
  if (!is.good() || !buffer) StreamError();
  Traits::int_type unit = buffer->sgetc();
  // The stream's own idea of white space beyond the ASCII kinds (Windows' has more).
  while (IsSpace(unit) || (unit > 0x7F && !Traits::eq_int_type(unit, Traits::eof()) &&
                           space_->is(std::ctype_base::space, Traits::to_char_type(unit))))
    unit = buffer->snextc();
  bool negative = false;
  if (unit == L'-' || unit == L'+') {
    negative = unit == L'-';
    unit = buffer->snextc();
  }
  // Leading zeros are not kept: any number of them is still a number.
  char digits[24];
  std::size_t count = 0;
  bool anyDigit = false;
  while (unit >= L'0' && unit <= L'9') {
    anyDigit = true;
    if (count > 0 || unit != L'0') {
      if (count == sizeof digits) StreamError();
      digits[count++] = static_cast<char>(unit);
    }
    unit = buffer->snextc();
  }
  if (Traits::eq_int_type(unit, Traits::eof())) is.setstate(std::ios::eofbit);
  unsigned long long magnitude = 0;
  if (!anyDigit || (count > 0 && std::from_chars(digits, digits + count, magnitude).ec != std::errc())) StreamError();
  using Limits = std::numeric_limits<T>;
  const auto largest = static_cast<unsigned long long>(Limits::max());
  if constexpr (Limits::is_signed) {
    if (magnitude > largest + (negative ? 1 : 0)) StreamError();
    value = !negative             ? static_cast<T>(magnitude)
            : magnitude > largest ? Limits::min()
                                  : static_cast<T>(-static_cast<T>(magnitude));
  } else {
    // As the stream does: a minus sign before an unsigned number wraps it.
    if (magnitude > largest) StreamError();
    value = negative ? static_cast<T>(0 - static_cast<T>(magnitude)) : static_cast<T>(magnitude);
  }
}

WideTextInArchive::WideTextInArchive(std::wistream& stream, const WideInBuf& source)
    : text_wiarchive_impl<WideTextInArchive>(stream, 0),
      source_(source),
      space_(&std::use_facet<std::ctype<wchar_t>>(stream.getloc())) {
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

void WideTextInArchive::load(short& value) { LoadInteger(value); }
void WideTextInArchive::load(unsigned short& value) { LoadInteger(value); }
void WideTextInArchive::load(int& value) { LoadInteger(value); }
void WideTextInArchive::load(unsigned int& value) { LoadInteger(value); }
void WideTextInArchive::load(long& value) { LoadInteger(value); }
void WideTextInArchive::load(unsigned long& value) { LoadInteger(value); }
void WideTextInArchive::load(long long& value) { LoadInteger(value); }
void WideTextInArchive::load(unsigned long long& value) { LoadInteger(value); }

void WideTextInArchive::load(boost::archive::class_id_type& id) {
  text_wiarchive_impl<WideTextInArchive>::load(id);
  if (static_cast<int>(id) < -1) StreamError();
}
