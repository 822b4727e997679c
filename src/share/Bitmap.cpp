#include "share/Bitmap.h"

#include <algorithm>
#include <cstring>

namespace sorvane::share {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize;

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

void putColour(std::uint8_t *p, Colour c)
{
    p[0] = static_cast<std::uint8_t>(c >> 16); // blue
    p[1] = static_cast<std::uint8_t>(c >> 8); // green
    p[2] = static_cast<std::uint8_t>(c); // red
}

} // namespace

Bitmap::Bitmap(int width, int height, Colour fill)
    : m_width(std::max(width, 0))
    , m_height(std::max(height, 0))
    , m_rowBytes((static_cast<std::size_t>(m_width) * 3 + 3) / 4 * 4)
    , m_file(kPixelOffset + m_rowBytes * static_cast<std::size_t>(m_height), 0)
{
    std::uint8_t *p = m_file.data();
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, static_cast<std::uint32_t>(m_file.size()));
    // bytes 6–9: two reserved zero words
    put32(p + 10, static_cast<std::uint32_t>(kPixelOffset));
    std::uint8_t *info = p + kFileHeaderSize;
    put32(info, static_cast<std::uint32_t>(kInfoHeaderSize));
    put32(info + 4, static_cast<std::uint32_t>(m_width));
    put32(info + 8, static_cast<std::uint32_t>(m_height));
    put16(info + 12, 1); // planes
    put16(info + 14, 24); // bits per pixel
    // compression, image size, resolutions and colour counts stay 0

    if (m_height == 0)
        return;
    std::uint8_t *first = p + kPixelOffset;
    for (int x = 0; x < m_width; ++x)
        putColour(first + 3 * x, fill);
    for (int y = 1; y < m_height; ++y)
        std::memcpy(first + m_rowBytes * static_cast<std::size_t>(y), first, m_rowBytes);
}

std::uint8_t *Bitmap::pixel(int x, int y)
{
    return m_file.data() + kPixelOffset + m_rowBytes * static_cast<std::size_t>(m_height - 1 - y)
        + 3 * static_cast<std::size_t>(x);
}

void Bitmap::setPixel(int x, int y, Colour colour)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    putColour(pixel(x, y), colour);
}

void Bitmap::fillRun(int x, int y, int count, Colour colour)
{
    if (y < 0 || y >= m_height)
        return;
    const int from = std::max(x, 0);
    const int to = std::min(x + std::max(count, 0), m_width);
    std::uint8_t *p = from < to ? pixel(from, y) : nullptr;
    for (int i = from; i < to; ++i, p += 3)
        putColour(p, colour);
}

void Bitmap::copyRow(int from, int to)
{
    if (from < 0 || to < 0 || from >= m_height || to >= m_height || from == to || m_width == 0)
        return;
    std::memcpy(pixel(0, to), pixel(0, from), m_rowBytes);
}

} // namespace sorvane::share
