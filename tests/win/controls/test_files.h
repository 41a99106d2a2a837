#pragma once
#include "base/windows_api.h"

#include <cstdint>
#include <functional>
#include <string>

// A folder of its own under the temporary folder, removed with its files.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Writes a PNG through GDI+; pixel(x, y) gives 0xAARRGGBB.
bool WritePng(const std::wstring& path, int width, int height, const std::function<std::uint32_t(int, int)>& pixel);
bool WriteText(const std::wstring& path, const std::string& text);

// Opaque pixels no encoder can squeeze, so a picture of them is as large as a
// photo's file; each `variant` gives other pixels.
std::uint32_t NoisePixel(int x, int y, std::uint32_t variant);
