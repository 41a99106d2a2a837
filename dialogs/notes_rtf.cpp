#include "dialogs/notes_rtf.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace dialogs {

namespace {

struct ReadSource {
  const char* bytes;
  size_t left;
};

DWORD CALLBACK ReadBytes(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
  auto* source = reinterpret_cast<ReadSource*>(cookie);
  const size_t count = std::min(source->left, static_cast<size_t>(wanted > 0 ? wanted : 0));
  std::memcpy(buffer, source->bytes, count);
  source->bytes += count;
  source->left -= count;
  *given = static_cast<LONG>(count);
  return 0;
}

DWORD CALLBACK WriteBytes(DWORD_PTR cookie, LPBYTE buffer, LONG delivered, LONG* taken) {
  auto* target = reinterpret_cast<std::vector<char>*>(cookie);
  *taken = 0;
  if (delivered <= 0) return 0;
  try {
    target->insert(target->end(), buffer, buffer + delivered);
  } catch (...) {
    return 1;  // out of memory: stop the stream rather than lose what came before silently
  }
  *taken = delivered;
  return 0;
}

}  // namespace

void StreamNotesIn(HWND richEdit, const std::wstring& notes) {
  std::string bytes;
  if (!notes.empty()) {
    const int size = WideCharToMultiByte(CP_ACP, 0, notes.data(), static_cast<int>(notes.size()), nullptr, 0, nullptr,
                                         nullptr);
    if (size > 0) {
      bytes.resize(static_cast<size_t>(size));
      WideCharToMultiByte(CP_ACP, 0, notes.data(), static_cast<int>(notes.size()), &bytes[0], size, nullptr, nullptr);
    }
  }
  ReadSource source{bytes.data(), bytes.size()};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = &ReadBytes;
  SendMessageW(richEdit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

bool StreamNotesOut(HWND richEdit, std::wstring& notes) {
  std::vector<char> bytes;
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&bytes);
  stream.pfnCallback = &WriteBytes;
  SendMessageW(richEdit, EM_STREAMOUT, SF_RTF | SFF_PLAINRTF, reinterpret_cast<LPARAM>(&stream));
  if (stream.dwError != 0) return false;
  // Some rich edit versions deliver the document's terminating zero byte too;
  // RTF never holds one, and kept it would travel on into the data file.
  while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  std::wstring text;
  if (!bytes.empty()) {
    const int chars = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (chars <= 0) return false;
    text.assign(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], chars);
  }
  notes = std::move(text);
  return true;
}

}  // namespace dialogs
