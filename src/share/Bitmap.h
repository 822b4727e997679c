// A 24-bit picture that yields the bytes of a Windows BMP file.
#pragma once

#include <cstdint>
#include <vector>

namespace sorvane::share {

// 0x00BBGGRR: blue in bits 16–23, green in 8–15, red in 0–7.
using Colour = std::uint32_t;

// The pixels live in the file layout itself: a file header, a 40-byte information header
// (positive height, so rows run bottom-up), then the rows as blue, green, red bytes, each
// row padded with zeros to a multiple of 4 bytes.
class Bitmap
{
public:
    // width × height pixels of one colour (a negative side counts as 0).
    Bitmap(int width, int height, Colour fill);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // (x, y) from the upper-left corner; outside the picture nothing happens.
    void setPixel(int x, int y, Colour colour);
    // Sets `count` pixels of row y from x on (clipped to the picture).
    void fillRun(int x, int y, int count, Colour colour);
    // Row `to` becomes a copy of row `from`.
    void copyRow(int from, int to);

    const std::vector<std::uint8_t> &bmpBytes() const & { return m_file; }
    std::vector<std::uint8_t> bmpBytes() && { return std::move(m_file); }

private:
    std::uint8_t *pixel(int x, int y);

    int m_width;
    int m_height;
    std::size_t m_rowBytes;
    std::vector<std::uint8_t> m_file;
};

} // namespace sorvane::share
