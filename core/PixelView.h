// SPDX-License-Identifier: GPL-3.0-or-later
// A view of 24-bit pixels owned elsewhere: the rows of a working bitmap, padded as the owner pads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace quorra {

// TByte is std::uint8_t for pixels that may be changed and const std::uint8_t for pixels that are only read. Each
// pixel is three bytes, blue, green and red, rows from the top; a row takes Stride bytes, of which the bytes past
// the pixels (the padding) belong to the owner and are never touched.
template <typename TByte>
class BasicPixelView
{
public:
    static constexpr int BytesPerPixel = 3;

    constexpr BasicPixelView() = default;
    constexpr BasicPixelView(TByte *bits, int width, int height, std::ptrdiff_t stride)
        : m_bits(bits), m_width(width), m_height(height), m_stride(stride)
    {
    }

    // Pixels that may be written can always be read.
    template <typename TOther>
    requires std::is_same_v<TOther, std::uint8_t> && std::is_same_v<TByte, const std::uint8_t>
    constexpr BasicPixelView(const BasicPixelView<TOther> &other)
        : BasicPixelView(other.bits(), other.width(), other.height(), other.stride())
    {
    }

    constexpr TByte *bits() const { return m_bits; }
    constexpr int width() const { return m_width; }
    constexpr int height() const { return m_height; }
    constexpr std::ptrdiff_t stride() const { return m_stride; }
    constexpr std::ptrdiff_t rowBytes() const { return std::ptrdiff_t(m_width) * BytesPerPixel; }
    constexpr TByte *row(int y) const { return m_bits + std::ptrdiff_t(y) * m_stride; }

    // A view with pixels whose rows do not overlap: one that fails this has nothing that may be touched.
    constexpr bool hasPixels() const { return m_bits && m_width > 0 && m_height > 0 && m_stride >= rowBytes(); }

private:
    TByte *m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    std::ptrdiff_t m_stride = 0;
};

using PixelView = BasicPixelView<std::uint8_t>;
using ConstPixelView = BasicPixelView<const std::uint8_t>;

} // namespace quorra
