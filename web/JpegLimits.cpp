// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's limits on a puzzle's JPEG stream, checked on its bytes before a browser is asked to decode them.
#include "JpegLimits.h"

#include <algorithm>

namespace quorra {

namespace {

constexpr std::uint8_t StartOfImage = 0xD8;
constexpr std::uint8_t EndOfImage = 0xD9;
constexpr std::uint8_t StartOfScan = 0xDA;

bool isFrame(std::uint8_t marker)
{
    // SOF0..SOF15 but DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool isRestart(std::uint8_t marker)
{
    return marker >= 0xD0 && marker <= 0xD7;
}

// Segments that only describe the picture's decoding; everything else (application data, comments, bytes that
// are no marker at all) counts against the budget.
bool isPictureSegment(std::uint8_t marker)
{
    return isFrame(marker) || marker == 0xC4 || marker == 0xCC || marker == 0xDB || marker == 0xDD || marker == 0xDC
           || marker == StartOfScan;
}

} // namespace

JpegCheck checkJpegStream(std::span<const std::uint8_t> bytes)
{
    JpegCheck check;
    const std::size_t n = bytes.size();
    if (n < 4 || bytes[0] != 0xFF || bytes[1] != StartOfImage)
        return check;
    std::size_t at = 2;
    std::int64_t besides = 0;
    int scans = 0;
    bool framed = false;
    while (at < n) {
        // Anything before the next marker is no picture data.
        const std::size_t from = at;
        while (at < n && bytes[at] != 0xFF)
            ++at;
        besides += std::int64_t(at - from);
        while (at < n && bytes[at] == 0xFF)
            ++at;
        if (at >= n)
            break;
        const std::uint8_t marker = bytes[at++];
        if (marker == EndOfImage)
            break;
        if (isRestart(marker) || marker == 0x01)
            continue;
        if (at + 2 > n)
            break;
        const std::size_t length = std::size_t(bytes[at]) << 8 | bytes[at + 1];
        if (length < 2)
            return check;
        const std::size_t end = std::min(n, at + length);
        if (isFrame(marker)) {
            if (at + 7 > n)
                return check;
            check.height = int(bytes[at + 3]) << 8 | bytes[at + 4];
            check.width = int(bytes[at + 5]) << 8 | bytes[at + 6];
            framed = true;
            // The declared size is refused before anything else is looked at, as the desktop refuses it.
            if (std::int64_t(check.width) * check.height > MaxPicturePixels) {
                check.verdict = JpegVerdict::TooLarge;
                return check;
            }
        } else if (!isPictureSegment(marker)) {
            besides += std::int64_t(end - at) + 2;
        }
        if (besides > MaxJpegNonPictureBytes) {
            check.verdict = JpegVerdict::TooMuchBesidesPicture;
            return check;
        }
        at = end;
        if (marker != StartOfScan)
            continue;
        if (!framed)
            return check;
        if (++scans > MaxJpegScans) {
            check.verdict = JpegVerdict::TooManyScans;
            return check;
        }
        // The entropy-coded data runs to the next marker that is neither a stuffed zero nor a restart.
        while (at + 1 < n && !(bytes[at] == 0xFF && bytes[at + 1] != 0 && !isRestart(bytes[at + 1])))
            ++at;
    }
    if (!framed || scans == 0)
        return check;
    if (check.width > 0 && check.height > 0)
        check.verdict = JpegVerdict::Fine;
    return check;
}

} // namespace quorra
