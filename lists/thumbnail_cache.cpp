#include "lists/thumbnail_cache.h"

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <new>

namespace lists {

struct ThumbnailCache::Job {
  std::shared_ptr<Outbox> outbox;
  std::wstring path;
  Stamp stamp;
  int width;
  int height;
  HWND notify;  // not owned; may be gone when the job ends
  UINT message;
};

namespace {

// Jobs queued and not yet finished, over every cache of the process.
std::atomic<int> jobsUnfinished{0};
std::atomic<bool> jobsStopping{false};

}  // namespace

bool ThumbnailCache::FinishWorkers(DWORD milliseconds) {
  jobsStopping = true;
  const DWORD start = GetTickCount();
  while (jobsUnfinished > 0 && GetTickCount() - start < milliseconds) Sleep(5);
  jobsStopping = false;
  return jobsUnfinished == 0;
}

ThumbnailCache::ThumbnailCache(int width, int height, std::size_t capacity)
    : width_(width), height_(height), capacity_(capacity ? capacity : 1), outbox_(std::make_shared<Outbox>()) {}

void ThumbnailCache::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  entries_.clear();
}

bool ThumbnailCache::ReadStamp(const std::wstring& path, Stamp& stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.written = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                  data.ftLastWriteTime.dwLowDateTime;
  return true;
}

std::unique_ptr<CImage> ThumbnailCache::Decode(const std::wstring& path, int width, int height) {
  std::unique_ptr<CImage> picture(new (std::nothrow) CImage);
  if (!picture) return picture;
  CImage full;
  if (SUCCEEDED(full.Load(path)) && !full.IsNull()) picture->CreateScaled(full, width, height);
  return picture;
}

const CImage* ThumbnailCache::Find(const std::wstring& path, HWND notify, UINT message) {
  if (path.empty()) return nullptr;
  Stamp stamp;
  auto entry = std::find_if(entries_.begin(), entries_.end(), [&path](const Entry& e) { return e.path == path; });
  if (!ReadStamp(path, stamp)) {
    // Gone: nothing to show, and nothing to keep for it.
    if (entry != entries_.end()) Forget(entry);
    return nullptr;
  }
  if (entry != entries_.end() && entry->stamp == stamp) {
    entries_.splice(entries_.begin(), entries_, entry);
    Entry& found = entries_.front();
    if (found.pending) {
      if (notify && std::find(found.waiting.begin(), found.waiting.end(), notify) == found.waiting.end())
        found.waiting.push_back(notify);
      return nullptr;
    }
    return Shown(found);
  }
  // A changed file: what a worker may still bring for the old one is dropped
  // when it arrives, since no entry waits for its stamp.
  if (entry != entries_.end()) Forget(entry);

  entries_.emplace_front();
  Entry& fresh = entries_.front();
  fresh.path = path;
  fresh.stamp = stamp;
  ++decodes_;
  bool queued = false;
  if (notify && stamp.size >= kBackgroundBytes) {
    auto* job = new (std::nothrow) Job{outbox_, path, stamp, width_, height_, notify, message};
    if (job) ++jobsUnfinished;
    queued = job && QueueUserWorkItem(&ThumbnailCache::RunJob, job, WT_EXECUTELONGFUNCTION);
    if (job && !queued) {
      delete job;
      --jobsUnfinished;
    }
  }
  if (queued) {
    fresh.pending = true;
    fresh.waiting.push_back(notify);
  } else {
    fresh.picture = Decode(path, width_, height_);
  }
  while (entries_.size() > capacity_) Forget(std::prev(entries_.end()));
  return Shown(entries_.front());
}

void ThumbnailCache::Forget(std::list<Entry>::iterator entry) {
  for (HWND window : entry->waiting)
    if (std::find(orphanedWaiting_.begin(), orphanedWaiting_.end(), window) == orphanedWaiting_.end())
      orphanedWaiting_.push_back(window);
  entries_.erase(entry);
}

const CImage* ThumbnailCache::Shown(const Entry& entry) {
  if (entry.pending || !entry.picture || entry.picture->IsNull()) return nullptr;
  return entry.picture.get();
}

// On a pool thread: it touches only the job and the outbox, and tells the
// window by a posted message, which a window destroyed meanwhile never gets.
DWORD WINAPI ThumbnailCache::RunJob(void* parameter) {
  std::unique_ptr<Job> job(static_cast<Job*>(parameter));
  if (!jobsStopping) {
    // The picture decoders are COM objects.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    Decoded decoded{job->path, job->stamp, Decode(job->path, job->width, job->height)};
    if (SUCCEEDED(com)) CoUninitialize();
    {
      std::lock_guard<std::mutex> hold(job->outbox->lock);
      job->outbox->done.push_back(std::move(decoded));
    }
    PostMessageW(job->notify, job->message, 0, 0);
  }
  job.reset();
  --jobsUnfinished;
  return 0;
}

std::vector<HWND> ThumbnailCache::Collect() {
  std::vector<Decoded> done;
  {
    std::lock_guard<std::mutex> hold(outbox_->lock);
    done.swap(outbox_->done);
  }
  std::vector<HWND> windows;
  for (Decoded& decoded : done) {
    auto entry = std::find_if(entries_.begin(), entries_.end(), [&decoded](const Entry& e) {
      return e.pending && e.path == decoded.path && e.stamp == decoded.stamp;
    });
    if (entry == entries_.end()) {
      // Its entry was dropped while it was decoded: the rows that waited for
      // it are painted again, and ask anew.
      for (HWND window : orphanedWaiting_)
        if (std::find(windows.begin(), windows.end(), window) == windows.end()) windows.push_back(window);
      orphanedWaiting_.clear();
      continue;
    }
    // Decoded for a row size given up since: the decode at today's size is on its way.
    if (decoded.picture && !decoded.picture->IsNull() && decoded.picture->GetWidth() != width_) continue;
    entry->pending = false;
    entry->picture = std::move(decoded.picture);
    for (HWND window : entry->waiting)
      if (std::find(windows.begin(), windows.end(), window) == windows.end()) windows.push_back(window);
    entry->waiting.clear();
  }
  return windows;
}

std::size_t ThumbnailCache::pending() const {
  return static_cast<std::size_t>(
      std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return e.pending; }));
}

}  // namespace lists
