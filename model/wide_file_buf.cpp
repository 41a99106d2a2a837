#include "model/wide_file_buf.h"

#include <algorithm>
#include <type_traits>

#include "model/file_system.h"

namespace {

constexpr std::size_t kRawChunk = 1 << 16;
constexpr std::size_t kUnitChunk = 1 << 14;
constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;

}  // namespace

WideInBuf::WideInBuf() : units_(kUnitChunk) {}

WideInBuf::~WideInBuf() {
  if (file_) std::fclose(file_);
}

bool WideInBuf::Open(const std::wstring& path) {
  file_ = files::OpenBinary(path, false);
  if (!file_) return false;
  const long long size = files::SizeOf(file_);
  // Size unknown: still read to the end, but allow no more than the bound says.
  fileBytesLeft_ = size < 0 ? 0 : static_cast<std::uint64_t>(size);
  raw_.resize(kRawChunk);
  rawPos_ = rawEnd_ = raw_.data();
  return true;
}

void WideInBuf::OpenMemory(const void* data, std::size_t size) {
  rawPos_ = static_cast<const unsigned char*>(data);
  rawEnd_ = rawPos_ + size;
  fileBytesLeft_ = 0;
}

std::uint64_t WideInBuf::RemainingUnitsBound() const {
  const std::uint64_t rawLeft = static_cast<std::uint64_t>(rawEnd_ - rawPos_) + fileBytesLeft_;
  return static_cast<std::uint64_t>(egptr() - gptr()) + rawLeft / 2;
}

bool WideInBuf::Refill() {
  if (!file_) return false;
  const std::size_t got = std::fread(raw_.data(), 1, raw_.size(), file_);
  rawPos_ = raw_.data();
  rawEnd_ = rawPos_ + got;
  fileBytesLeft_ = got >= fileBytesLeft_ ? 0 : fileBytesLeft_ - got;
  return got != 0;
}

int WideInBuf::NextByte() {
  if (rawPos_ == rawEnd_ && !Refill()) return -1;
  const unsigned char byte = *rawPos_++;
  if (byte == kCr) {
    if (rawPos_ == rawEnd_ && !Refill()) return byte;
    if (*rawPos_ == kLf) {
      ++rawPos_;
      return kLf;
    }
  }
  return byte;
}

WideInBuf::int_type WideInBuf::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  wchar_t* const out = units_.data();
  std::size_t count = 0;
  while (count < units_.size()) {
    // Almost every unit is two plain bytes: take those without the byte-wise path.
    const std::size_t pairs = std::min<std::size_t>((rawEnd_ - rawPos_) / 2, units_.size() - count);
    std::size_t i = 0;
    for (; i < pairs; ++i) {
      const unsigned char low = rawPos_[0];
      const unsigned char high = rawPos_[1];
      if (low == kCr || high == kCr) break;
      out[count++] = static_cast<wchar_t>(low | (high << 8));
      rawPos_ += 2;
    }
    if (i < pairs || rawPos_ == rawEnd_ || rawEnd_ - rawPos_ == 1) {
      if (count == units_.size()) break;
      const int low = NextByte();
      if (low < 0) break;
      const int high = NextByte();
      if (high < 0) {
        endedInsideUnit_ = true;
        break;
      }
      out[count++] = static_cast<wchar_t>(low | (high << 8));
    }
  }
  if (count == 0) return traits_type::eof();
  setg(out, out, out + count);
  return traits_type::to_int_type(*gptr());
}

WideOutBuf::WideOutBuf() : units_(kUnitChunk) { bytes_.reserve(kUnitChunk * 4); }

WideOutBuf::~WideOutBuf() {
  if (file_) std::fclose(file_);
}

bool WideOutBuf::Open(const std::wstring& path) {
  file_ = files::OpenBinary(path, true);
  if (!file_) {
    SetError(files::LastError());
    return false;
  }
  setp(units_.data(), units_.data() + units_.size());
  return true;
}

void WideOutBuf::SetError(std::wstring reason) {
  if (error_.empty()) error_ = reason.empty() ? L"write error" : std::move(reason);
}

bool WideOutBuf::WritePending() {
  const wchar_t* unit = pbase();
  const wchar_t* const end = pptr();
  setp(units_.data(), units_.data() + units_.size());
  if (!file_ || !error_.empty()) return false;
  bytes_.clear();
  for (; unit != end; ++unit) {
    const auto value = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<wchar_t>>(*unit));
    if constexpr (sizeof(wchar_t) > 2) {
      // The file holds 16-bit units only; such a character would change the
      // meaning of every length that follows.
      if (value > 0xFFFF) {
        SetError(L"a character beyond U+FFFF cannot be stored");
        return false;
      }
    }
    const auto low = static_cast<unsigned char>(value & 0xFF);
    const auto high = static_cast<unsigned char>(value >> 8);
    if (low == kLf) bytes_.push_back(kCr);
    bytes_.push_back(low);
    if (high == kLf) bytes_.push_back(kCr);
    bytes_.push_back(high);
  }
  if (!bytes_.empty() && std::fwrite(bytes_.data(), 1, bytes_.size(), file_) != bytes_.size()) {
    SetError(L"the disk refused the data (is it full?)");
    return false;
  }
  return true;
}

WideOutBuf::int_type WideOutBuf::overflow(int_type unit) {
  if (!file_) return traits_type::eof();
  if (!WritePending()) return traits_type::eof();
  if (!traits_type::eq_int_type(unit, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(unit);
    pbump(1);
  }
  return traits_type::not_eof(unit);
}

int WideOutBuf::sync() {
  if (!file_) return 0;
  return WritePending() ? 0 : -1;
}

bool WideOutBuf::Close() {
  if (!file_) return false;
  bool ok = WritePending();
  if (ok && !files::FlushToDisk(file_)) {
    SetError(files::LastError());
    ok = false;
  }
  if (std::fclose(file_) != 0 && ok) {
    SetError(L"the file could not be closed");
    ok = false;
  }
  file_ = nullptr;
  setp(nullptr, nullptr);
  return ok && error_.empty();
}
