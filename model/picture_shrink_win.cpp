#include "model/picture_shrink.h"

#include "base/windows_api.h"

#include <objidl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include <gdiplus.h>

namespace pictures {

namespace {

// Runs on the sync's thread, which may be the only user of GDI+ in the
// process (the data tool): each use starts and ends its own session.
class Session {
 public:
  Session() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
  }
  ~Session() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  bool Started() const { return token_ != 0; }

 private:
  ULONG_PTR token_ = 0;
};

struct StreamRelease {
  void operator()(IStream* stream) const { stream->Release(); }
};
using Stream = std::unique_ptr<IStream, StreamRelease>;

bool JpegEncoder(CLSID& clsid) {
  UINT count = 0, bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<unsigned char> buffer(bytes);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (encoders[i].MimeType && lstrcmpiW(encoders[i].MimeType, L"image/jpeg") == 0) {
      clsid = encoders[i].Clsid;
      return true;
    }
  }
  return false;
}

bool Encode(Gdiplus::Image& source, int width, int height, const CLSID& encoder, std::string& jpeg) {
  Gdiplus::Bitmap scaled(width, height, PixelFormat24bppRGB);
  if (scaled.GetLastStatus() != Gdiplus::Ok) return false;
  {
    Gdiplus::Graphics graphics(&scaled);
    // Transparent parts come out white, as a phone shows a picture without them.
    graphics.Clear(Gdiplus::Color(255, 255, 255, 255));
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    if (graphics.DrawImage(&source, 0, 0, width, height) != Gdiplus::Ok) return false;
  }
  Stream out(SHCreateMemStream(nullptr, 0));
  if (!out) return false;
  ULONG quality = 85;
  Gdiplus::EncoderParameters parameters;
  parameters.Count = 1;
  parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
  parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
  parameters.Parameter[0].NumberOfValues = 1;
  parameters.Parameter[0].Value = &quality;
  if (scaled.Save(out.get(), &encoder, &parameters) != Gdiplus::Ok) return false;
  STATSTG stat{};
  if (FAILED(out->Stat(&stat, STATFLAG_NONAME))) return false;
  jpeg.assign(static_cast<std::size_t>(stat.cbSize.QuadPart), '\0');
  const LARGE_INTEGER start{};
  if (FAILED(out->Seek(start, STREAM_SEEK_SET, nullptr))) return false;
  ULONG read = 0;
  return !jpeg.empty() && SUCCEEDED(out->Read(&jpeg[0], static_cast<ULONG>(jpeg.size()), &read)) && read == jpeg.size();
}

}  // namespace

bool Shrink(const std::string& bytes, std::size_t maxBytes, std::string& jpeg) {
  jpeg.clear();
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF || maxBytes == 0) return false;
  Session session;
  if (!session.Started()) return false;
  CLSID encoder{};
  if (!JpegEncoder(encoder)) return false;
  Stream in(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
  if (!in) return false;
  Gdiplus::Bitmap source(in.get());
  if (source.GetLastStatus() != Gdiplus::Ok) return false;
  const double width = source.GetWidth(), height = source.GetHeight();
  if (width < 1 || height < 1) return false;
  // A phone shows a contact's picture at a few hundred pixels: start at a
  // long side of 1,200 and step down until the JPEG fits.
  double side = std::min(1200.0, std::max(width, height));
  for (int attempt = 0; attempt < 8 && side >= 64; ++attempt, side *= 0.7) {
    const double scale = side / std::max(width, height);
    const int w = std::max(1, static_cast<int>(std::lround(width * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(height * scale)));
    if (!Encode(source, w, h, encoder, jpeg)) break;
    if (jpeg.size() <= maxBytes) return true;
  }
  jpeg.clear();
  return false;
}

}  // namespace pictures
