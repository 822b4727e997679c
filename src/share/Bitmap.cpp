#include "share/Bitmap.h"

#include <algorithm>

namespace sorvane::share {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;

void put16(std::uint8_t *p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::uint8_t *p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

Bitmap::Bitmap(int width, int height, Colour fill)
    : m_width(std::max(width, 0))
    , m_height(std::max(height, 0))
    , m_pixels(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), fill)
{
}

void Bitmap::setPixel(int x, int y, Colour colour)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)]
        = colour;
}

std::vector<std::uint8_t> Bitmap::bmpBytes() const
{
    const std::size_t rowBytes = (static_cast<std::size_t>(m_width) * 3 + 3) / 4 * 4;
    const std::size_t offset = kFileHeaderSize + kInfoHeaderSize;
    const std::size_t fileSize = offset + rowBytes * static_cast<std::size_t>(m_height);
    std::vector<std::uint8_t> out(fileSize, 0);
    std::uint8_t *p = out.data();

    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, static_cast<std::uint32_t>(fileSize));
    // bytes 6–9: two reserved zero words
    put32(p + 10, static_cast<std::uint32_t>(offset));

    std::uint8_t *info = p + kFileHeaderSize;
    put32(info, kInfoHeaderSize);
    put32(info + 4, static_cast<std::uint32_t>(m_width));
    put32(info + 8, static_cast<std::uint32_t>(m_height));
    put16(info + 12, 1); // planes
    put16(info + 14, 24); // bits per pixel
    // compression, image size, resolutions and colour counts stay 0

    for (int y = 0; y < m_height; ++y) {
        std::uint8_t *row = p + offset + rowBytes * static_cast<std::size_t>(m_height - 1 - y);
        const Colour *pixel
            = m_pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width);
        for (int x = 0; x < m_width; ++x, ++pixel) {
            row[3 * x] = static_cast<std::uint8_t>(*pixel >> 16); // blue
            row[3 * x + 1] = static_cast<std::uint8_t>(*pixel >> 8); // green
            row[3 * x + 2] = static_cast<std::uint8_t>(*pixel); // red
        }
    }
    return out;
}

} // namespace sorvane::share
