#pragma once
#include "model/windows_api.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>

#include "framework/image.h"

namespace lists {

// Row pictures, decoded once and kept at row size. A picture is read anew
// whenever its file changes (size or last write time), so a replaced file
// shows at the next paint, and decoding a large photo is paid once instead of
// at every paint of its row.
class ThumbnailCache {
 public:
  static constexpr std::size_t kDefaultCapacity = 256;

  explicit ThumbnailCache(int width, int height, std::size_t capacity = kDefaultCapacity)
      : width_(width), height_(height), capacity_(capacity ? capacity : 1) {}
  ThumbnailCache(const ThumbnailCache&) = delete;
  ThumbnailCache& operator=(const ThumbnailCache&) = delete;

  // The picture at row size; null when the file is missing or not a picture.
  // Valid until the next call.
  const CImage* Find(const std::wstring& path);

  std::size_t size() const { return entries_.size(); }
  // Files decoded since the cache was made (for tests and benchmarks).
  std::size_t decodes() const { return decodes_; }
  void Clear() { entries_.clear(); }

 private:
  struct Stamp {
    std::uint64_t size = 0;
    std::uint64_t written = 0;
    bool operator==(const Stamp& other) const { return size == other.size && written == other.written; }
  };
  struct Entry {
    std::wstring path;
    Stamp stamp;
    CImage picture;  // empty when the file could not be decoded
  };

  static bool ReadStamp(const std::wstring& path, Stamp& stamp);

  int width_;
  int height_;
  std::size_t capacity_;
  std::list<Entry> entries_;  // most recently used first
  std::size_t decodes_ = 0;
};

}  // namespace lists
