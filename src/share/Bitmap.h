// A 24-bit picture that yields the bytes of a Windows BMP file.
#pragma once

#include <cstdint>
#include <vector>

namespace sorvane::share {

// 0x00BBGGRR: blue in bits 16–23, green in 8–15, red in 0–7.
using Colour = std::uint32_t;

class Bitmap
{
public:
    // width × height pixels of one colour (a negative side counts as 0).
    Bitmap(int width, int height, Colour fill);

    int width() const { return m_width; }
    int height() const { return m_height; }
    // (x, y) from the upper-left corner.
    void setPixel(int x, int y, Colour colour);

    // A complete BMP file: file header, 40-byte information header (positive height,
    // so rows run bottom-up), then the rows as blue, green, red bytes, each row padded
    // with zeros to a multiple of 4 bytes.
    std::vector<std::uint8_t> bmpBytes() const;

private:
    int m_width;
    int m_height;
    std::vector<Colour> m_pixels; // top row first
};

} // namespace sorvane::share
