#pragma once
#include "base/windows_api.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/image.h"

namespace lists {

// Row pictures, decoded once and kept at row size. A picture is read anew
// whenever its file changes (size or last write time), so a replaced file
// shows at the next paint, and decoding a large photo is paid once instead of
// at every paint of its row.
//
// A large file (a photo straight from a camera takes a good part of a second)
// is decoded on a worker thread when the caller names a window to tell: the
// row is painted at once without its picture, and the window receives the
// message when the picture is ready, whereupon it calls Collect and paints
// again. Small pictures are decoded on the spot, as before.
class ThumbnailCache {
 public:
  static constexpr std::size_t kDefaultCapacity = 256;
  static constexpr std::uint64_t kBackgroundBytes = 256 * 1024;

  explicit ThumbnailCache(int width, int height, std::size_t capacity = kDefaultCapacity);
  ThumbnailCache(const ThumbnailCache&) = delete;
  ThumbnailCache& operator=(const ThumbnailCache&) = delete;

  // The picture at row size; null when the file is missing or not a picture,
  // or while a large one is being decoded for `notify` (which then receives
  // `message`, once). Valid until the next call.
  const CImage* Find(const std::wstring& path, HWND notify = nullptr, UINT message = 0);
  // Takes in what the worker threads decoded; answers the windows that are
  // waiting for those pictures, each once.
  std::vector<HWND> Collect();

  std::size_t size() const { return entries_.size(); }
  // Files decoded since the cache was made, counted when decoding starts
  // (for tests and benchmarks).
  std::size_t decodes() const { return decodes_; }
  // Pictures being decoded on worker threads.
  std::size_t pending() const;

  // For the end of the program, before GDI+ is shut down: decodes queued
  // meanwhile are skipped, and those running are waited for, at most this
  // long. False when some were still running at the end.
  static bool FinishWorkers(DWORD milliseconds);
  void Clear() { entries_.clear(); }
  // The row size changed (the list moved to a screen of another scale): the
  // pictures are decoded again at the new size as they are asked for.
  void SetSize(int width, int height);
  int Width() const { return width_; }

 private:
  struct Stamp {
    std::uint64_t size = 0;
    std::uint64_t written = 0;
    bool operator==(const Stamp& other) const { return size == other.size && written == other.written; }
  };
  struct Entry {
    std::wstring path;
    Stamp stamp;
    std::unique_ptr<CImage> picture;  // null or empty when the file could not be decoded, or not yet
    bool pending = false;
    std::vector<HWND> waiting;  // not owned
  };
  // What a worker hands back. It outlives the cache while a worker still
  // holds it.
  struct Decoded {
    std::wstring path;
    Stamp stamp;
    std::unique_ptr<CImage> picture;
  };
  struct Outbox {
    std::mutex lock;
    std::vector<Decoded> done;
  };
  struct Job;

  static const CImage* Shown(const Entry& entry);
  // Before an entry goes: the windows still waiting for it must not be forgotten.
  void Forget(std::list<Entry>::iterator entry);

  static bool ReadStamp(const std::wstring& path, Stamp& stamp);
  static std::unique_ptr<CImage> Decode(const std::wstring& path, int width, int height);
  static DWORD WINAPI RunJob(void* job);

  int width_;
  int height_;
  std::size_t capacity_;
  std::list<Entry> entries_;  // most recently used first
  // Windows that waited for a picture whose entry was dropped (by the capacity,
  // or a change of the file) before it came: they are told when it comes.
  std::vector<HWND> orphanedWaiting_;  // not owned
  std::size_t decodes_ = 0;
  std::shared_ptr<Outbox> outbox_;
};

}  // namespace lists
