// QR code pictures: a text encoded into a QR symbol, scaled with a quiet zone to the
// requested size and returned as the bytes of a 24-bit BMP file.
//
// Errors (no content, a wrong level, a content too long for version 40 at its level, a
// picture side above kMaxPictureSide) throw qr::ModuleError; nothing else is changed
// except qr::moduleQrCode(), which holds the last symbol encoded.
#pragma once

#include "qr/ByteMatrix.h"
#include "qr/QrCode.h"
#include "share/Bitmap.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace sorvane::share {

using Picture = std::vector<std::uint8_t>; // BMP file bytes

// Our cap on each side of a picture: a larger request to any of the routines below is
// reported (创建二维码()), never gigabytes allocated.
inline constexpr int kMaxPictureSide = 4096;

// content: GB18030 text. level: "L", "M", "Q" or "H" in either case; omitted gives L.
// width, height: omitted, 0 or negative give 100. Colours are 0x00BBGGRR.
// The share panel calls 创建二维码(link, "M", 144, 144, 0xFFFFFF, 0x000000).
Picture 创建二维码(std::string_view content, std::optional<std::string_view> level,
    std::optional<std::int64_t> width, std::optional<int> height, Colour lightColour, Colour darkColour);

// Encodes content into qr::moduleQrCode() and renders its matrix.
qr::字节矩阵类 encodeToMatrix(std::string_view content, const qr::EcLevel &ecLevel, int width, int height);

// The symbol with a quiet zone of 2 modules, scaled by the largest whole factor that fits
// width × height and centred; the result is at least width × height. 1 dark, 0 light.
qr::字节矩阵类 renderMatrix(const qr::二维码类 &qrCode, int width, int height);

// A width × height picture of lightColour with darkColour where cells.bytes holds 1.
Picture matrixToBitmap(
    const qr::MatrixData &cells, int width, int height, Colour lightColour, Colour darkColour);

// The argument checks of 创建二维码, for callers that encode without a picture: content
// must hold something besides ASCII and full-width spaces; the level text must name one
// of the four levels (omitted: L).
void requireContent(std::string_view content);
qr::EcLevel levelFromText(std::optional<std::string_view> level);

} // namespace sorvane::share
