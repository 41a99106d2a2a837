#include "lists/thumbnail_cache.h"

#include <algorithm>

namespace lists {

bool ThumbnailCache::ReadStamp(const std::wstring& path, Stamp& stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.written =
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  return true;
}

const CImage* ThumbnailCache::Find(const std::wstring& path) {
  if (path.empty()) return nullptr;
  Stamp stamp;
  auto entry = std::find_if(entries_.begin(), entries_.end(), [&path](const Entry& e) { return e.path == path; });
  if (!ReadStamp(path, stamp)) {
    // Gone: nothing to show, and nothing to keep for it.
    if (entry != entries_.end()) entries_.erase(entry);
    return nullptr;
  }
  if (entry != entries_.end() && entry->stamp == stamp) {
    entries_.splice(entries_.begin(), entries_, entry);
    return entries_.front().picture.IsNull() ? nullptr : &entries_.front().picture;
  }
  if (entry != entries_.end()) entries_.erase(entry);

  entries_.emplace_front();
  Entry& fresh = entries_.front();
  fresh.path = path;
  fresh.stamp = stamp;
  ++decodes_;
  CImage full;
  if (SUCCEEDED(full.Load(path)) && !full.IsNull()) fresh.picture.CreateScaled(full, width_, height_);
  while (entries_.size() > capacity_) entries_.pop_back();
  return fresh.picture.IsNull() ? nullptr : &fresh.picture;
}

}  // namespace lists
