#include "share/QrPicture.h"

#include "qr/Encoder.h"
#include "qr/Texts.h"
#include "text/Encoding.h"

#include <algorithm>
#include <string>

namespace sorvane::share {

namespace {

// The share module's own texts (UTF-8; reports convert them).
constexpr std::string_view kMethodEncode = "编码()";
constexpr std::string_view kNoContent = "没有编码内容";
constexpr std::string_view kMethodCreate = "创建二维码()";
constexpr std::string_view kBadLevel = "容错等级必须为L、M、Q、H四个之一。";
constexpr std::string_view kPictureTooLarge = "图片尺寸过大，最大边长：";

constexpr int kDefaultSide = 100;

bool isSpaceOnly(std::string_view content)
{
    // Walk by character so that the bytes A1 A1 inside two other characters are not
    // taken for a full-width space.
    std::size_t i = 0;
    while (i < content.size()) {
        const std::size_t length = text::charLength(content, i);
        const std::string_view c = content.substr(i, length);
        if (c != " " && c != "\xA1\xA1")
            return false;
        i += length;
    }
    return true;
}

Picture matrixToBitmap(
    const qr::字节矩阵类 &matrix, int width, int height, Colour lightColour, Colour darkColour);

void requireSize(std::int64_t width, std::int64_t height)
{
    if (width > kMaxPictureSide || height > kMaxPictureSide)
        qr::fail(qr::texts::kModule, kMethodCreate,
            std::string(kPictureTooLarge) + std::to_string(kMaxPictureSide));
}

} // namespace

void requireContent(std::string_view content)
{
    if (isSpaceOnly(content))
        qr::fail(qr::texts::kModule, kMethodEncode, kNoContent);
}

qr::EcLevel levelFromText(std::optional<std::string_view> level)
{
    const qr::LevelRegistry &levels = qr::levelRegistry();
    if (!level)
        return levels.L;
    if (level->size() == 1) {
        switch (*level->data()) {
        case 'L':
        case 'l':
            return levels.L;
        case 'M':
        case 'm':
            return levels.M;
        case 'Q':
        case 'q':
            return levels.Q;
        case 'H':
        case 'h':
            return levels.H;
        default:
            break;
        }
    }
    qr::fail(qr::texts::kModule, kMethodCreate, kBadLevel);
}

Picture 创建二维码(std::string_view content, std::optional<std::string_view> level,
    std::optional<std::int64_t> width, std::optional<int> height, Colour lightColour, Colour darkColour)
{
    requireContent(content);
    const qr::EcLevel ecLevel = levelFromText(level);
    const std::int64_t w = width.value_or(0) > 0 ? *width : kDefaultSide;
    const int h = height.value_or(0) > 0 ? *height : kDefaultSide;
    requireSize(w, h);
    const qr::字节矩阵类 matrix = encodeToMatrix(content, ecLevel, static_cast<int>(w), h);
    // Reads the cells in place; the same picture as matrixToBitmap(matrix.cellArray(), …).
    return matrixToBitmap(matrix, static_cast<int>(w), h, lightColour, darkColour);
}

qr::字节矩阵类 encodeToMatrix(std::string_view content, const qr::EcLevel &ecLevel, int width, int height)
{
    qr::二维码类 &record = qr::moduleQrCode();
    {
        const qr::编码类 encoder;
        encoder.编码(content, ecLevel, record);
    }
    return renderMatrix(record, width, height);
}

qr::字节矩阵类 renderMatrix(const qr::二维码类 &qrCode, int width, int height)
{
    requireSize(width, height);
    const qr::字节矩阵类 &input = qrCode.matrix();
    const int inputWidth = input.width();
    const int inputHeight = input.height();
    const int qrWidth = inputWidth + 4;
    const int qrHeight = inputHeight + 4;
    const int outputWidth = std::max(width, qrWidth);
    const int outputHeight = std::max(height, qrHeight);
    const int multiple = static_cast<int>(
        std::min(static_cast<double>(outputWidth) / qrWidth, static_cast<double>(outputHeight) / qrHeight));
    const int leftMargin = static_cast<int>((outputWidth - inputWidth * multiple) / 2.0);
    const int topMargin = static_cast<int>((outputHeight - inputHeight * multiple) / 2.0);

    qr::字节矩阵类 output;
    output.init(outputWidth, outputHeight);
    std::uint8_t *cells = output.data();
    const std::uint8_t *modules = input.data();
    for (int y = 0; y < inputHeight; ++y) {
        for (int x = 0; x < inputWidth; ++x) {
            if (modules[static_cast<std::size_t>(y) * static_cast<std::size_t>(inputWidth)
                    + static_cast<std::size_t>(x)]
                != 1)
                continue; // the output starts light
            for (int dy = 0; dy < multiple; ++dy) {
                std::uint8_t *row = cells
                    + static_cast<std::size_t>(topMargin + y * multiple + dy)
                        * static_cast<std::size_t>(outputWidth)
                    + static_cast<std::size_t>(leftMargin + x * multiple);
                std::fill(row, row + multiple, std::uint8_t { 1 });
            }
        }
    }
    return output;
}

namespace {

// The dark runs of each row become runs of pixels; light is the picture's background. A
// scaled symbol repeats each row, so a row like the one before is copied.
template <class RowAt>
Picture paint(RowAt rowAt, int rows, int width, int height, Colour lightColour, Colour darkColour)
{
    Bitmap picture(width, height, lightColour);
    const std::uint8_t *previous = nullptr;
    int previousEnd = -1;
    for (int y = 0; y < height && y < rows; ++y) {
        const auto [cells, length] = rowAt(y);
        const int end = std::min(width, length);
        if (previous && end == previousEnd && std::equal(cells, cells + end, previous)) {
            picture.copyRow(y - 1, y);
            continue;
        }
        previous = cells;
        previousEnd = end;
        for (int x = 0; x < end;) {
            if (cells[x] != 1) {
                ++x;
                continue;
            }
            int run = 1;
            while (x + run < end && cells[x + run] == 1)
                ++run;
            picture.fillRun(x, y, run, darkColour);
            x += run;
        }
    }
    return std::move(picture).bmpBytes();
}

Picture matrixToBitmap(
    const qr::字节矩阵类 &matrix, int width, int height, Colour lightColour, Colour darkColour)
{
    const auto rowAt = [&](int y) {
        return std::pair { matrix.data()
                + static_cast<std::size_t>(y) * static_cast<std::size_t>(matrix.width()),
            matrix.width() };
    };
    return paint(rowAt, matrix.height(), width, height, lightColour, darkColour);
}

} // namespace

Picture matrixToBitmap(
    const qr::MatrixData &cells, int width, int height, Colour lightColour, Colour darkColour)
{
    requireSize(width, height);
    const auto rowAt = [&](int y) {
        const auto &row = cells.bytes[static_cast<std::size_t>(y)];
        return std::pair { row.data(), static_cast<int>(row.size()) };
    };
    return paint(rowAt, static_cast<int>(cells.bytes.size()), width, height, lightColour, darkColour);
}

} // namespace sorvane::share
