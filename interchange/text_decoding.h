#pragma once
// Text decoding lives with the data core beside the notes reader that needs
// it; the interchange code uses it under its own names.
#include "model/text_decoding.h"

namespace interchange {

using text::CodePageOf;
using text::DecodeCodePage;
using text::DecodeLoose;
using text::DecodeUtf16;
using text::DecodeUtf8;
using text::EncodeUtf8;
using text::Encoding;
using text::FallbackCodePage;
using text::kUtf8CodePage;
using text::SniffEncoding;

}  // namespace interchange
