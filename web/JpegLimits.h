// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's limits on a puzzle's JPEG stream, checked on its bytes before a browser is asked to decode them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quorra {

// The same figures as the desktop's reader: more scans than this are a stream built to make the decoder loop,
// and more bytes besides the pixels than this are no photograph's.
constexpr int MaxJpegScans = 100;
constexpr std::int64_t MaxJpegNonPictureBytes = std::int64_t(8) * 1024 * 1024;
// No JPEG is wider or taller than 65535 pixels; the pixel count is the desktop's size guard.
constexpr std::int64_t MaxPicturePixels = 256LL * 1024 * 1024;

enum class JpegVerdict : std::uint8_t {
    Fine,
    NotJpeg, // no start-of-image marker, or no frame before the first scan
    TooManyScans,
    TooMuchBesidesPicture,
    TooLarge, // beyond the size guard: the browser would decode it whole, at four bytes a pixel
};

struct JpegCheck {
    JpegVerdict verdict = JpegVerdict::NotJpeg;
    int width = 0;
    int height = 0;
};

// Walks the stream's markers up to its end-of-image (or the bytes' end, which a browser mends as the desktop's
// reader does), counting scans and the bytes of segments that are not picture data.
JpegCheck checkJpegStream(std::span<const std::uint8_t> bytes);

} // namespace quorra
