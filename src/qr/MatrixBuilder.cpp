#include "qr/MatrixBuilder.h"

#include "qr/IntList.h"
#include "qr/MaskUtil.h"
#include "qr/QrCode.h"
#include "qr/Texts.h"
#include "qr/VersionTable.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace sorvane::qr {

namespace {

constexpr std::string_view kFinderPatternText = "1,1,1,1,1,1,1\r\n1,0,0,0,0,0,1\r\n1,0,1,1,1,0,1\r\n"
                                                "1,0,1,1,1,0,1\r\n1,0,1,1,1,0,1\r\n1,0,0,0,0,0,1\r\n"
                                                "1,1,1,1,1,1,1";
constexpr std::string_view kHorizontalSeparatorText = "0,0,0,0,0,0,0,0";
constexpr std::string_view kVerticalSeparatorText = "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0";
constexpr std::string_view kAlignmentPatternText
    = "1,1,1,1,1\r\n1,0,0,0,1\r\n1,0,1,0,1\r\n1,0,0,0,1\r\n1,1,1,1,1";
constexpr std::string_view kFormatInfoCoordinatesText
    = "8,0\r\n8,1\r\n8,2\r\n8,3\r\n8,4\r\n8,5\r\n8,7\r\n8,8\r\n"
      "7,8\r\n5,8\r\n4,8\r\n3,8\r\n2,8\r\n1,8\r\n0,8";
constexpr std::string_view kRowSeparator = "\r\n";
constexpr int kFormatInfoGenerator = 0x537;
constexpr int kFormatInfoMask = 0x5412;
constexpr int kVersionInfoGenerator = 0x1F25;

// One row per version: the alignment centres of the version table, padded to seven
// values with −1.
std::string alignmentCentresText()
{
    std::string text;
    for (const tables::VersionRow &row : tables::kVersions) {
        if (!text.empty())
            text += kRowSeparator;
        std::vector<int> centres = parseIntList(row.alignmentCentres, ",");
        centres.resize(7, -1);
        for (std::size_t i = 0; i < centres.size(); ++i) {
            if (i > 0)
                text += ',';
            text += std::to_string(centres[i]);
        }
    }
    return text;
}

IntTable parseIntTable(std::string_view text)
{
    return parseTable(text, kRowSeparator, ",").integers;
}

const 矩阵应用类::Tables &builderTables()
{
    static const 矩阵应用类::Tables tables {
        parseIntTable(kFinderPatternText),
        parseIntTable(kHorizontalSeparatorText),
        parseIntTable(kVerticalSeparatorText),
        parseIntTable(kAlignmentPatternText),
        parseIntTable(alignmentCentresText()),
        parseIntTable(kFormatInfoCoordinatesText),
    };
    return tables;
}

bool hasShape(const IntTable &table, std::size_t rows, std::size_t columns)
{
    return table.size() == rows && !table.empty() && table[0].size() == columns;
}

std::vector<std::string_view> split(std::string_view text, std::string_view separator)
{
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = separator.empty() ? std::string_view::npos : text.find(separator, start);
        if (at == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
}

int truncatedNumber(std::string_view piece)
{
    const std::string s(piece);
    const double value = std::strtod(s.c_str(), nullptr);
    if (!std::isfinite(value) || value >= 2147483648.0 || value <= -2147483649.0)
        return 0;
    return static_cast<int>(value); // truncates toward zero
}

std::uint8_t cellValue(int value)
{
    return static_cast<std::uint8_t>(value);
}

} // namespace

MatrixData parseTable(std::string_view text, std::string_view rowSeparator, std::string_view columnSeparator)
{
    MatrixData out;
    const std::vector<std::string_view> rows = split(text, rowSeparator);
    const std::size_t columns = split(rows.front(), columnSeparator).size();
    out.integers.reserve(rows.size());
    for (std::string_view rowText : rows) {
        const std::vector<std::string_view> values = split(rowText, columnSeparator);
        std::vector<std::int32_t> row(columns, 0);
        for (std::size_t i = 0; i < columns && i < values.size(); ++i)
            row[i] = truncatedNumber(values[i]);
        out.integers.push_back(std::move(row));
    }
    return out;
}

std::vector<int> tableRow(const IntTable &table, int row)
{
    if (row < 1 || row > static_cast<int>(table.size()))
        return {};
    return table[static_cast<std::size_t>(row - 1)];
}

int unsignedShiftRight(int value, int count)
{
    if (count <= 0)
        return value;
    if (count >= 32)
        return 0;
    return static_cast<int>(static_cast<std::uint32_t>(value) >> count);
}

void 矩阵应用类::init()
{
    m_tables = &builderTables();
}

void 矩阵应用类::buildMatrix(
    const 位向量类 &dataBits, const EcLevel &ecLevel, int version, int mask, 字节矩阵类 &matrix) const
{
    clearMatrix(matrix);
    embedBasicPatterns(version, matrix);
    embedTypeInfo(ecLevel, mask, matrix);
    embedVersionInfo(version, matrix);
    插入数据信息位(dataBits, mask, matrix);
}

void 矩阵应用类::clearMatrix(字节矩阵类 &matrix) const
{
    matrix.clear(255);
}

void 矩阵应用类::embedBasicPatterns(int version, 字节矩阵类 &matrix) const
{
    embedFindersAndSeparators(matrix);
    左下角插入黑点(matrix);
    embedAlignmentPatterns(version, matrix);
    插入定位基线(matrix);
}

void 矩阵应用类::embedFindersAndSeparators(字节矩阵类 &matrix) const
{
    const Tables &t = tables();
    const int f = t.finderPattern.empty() ? 0 : static_cast<int>(t.finderPattern[0].size());
    const int h = t.horizontalSeparator.empty() ? 0 : static_cast<int>(t.horizontalSeparator[0].size());
    const int v = static_cast<int>(t.verticalSeparator.size());
    const int width = matrix.width();
    const int height = matrix.height();
    插入位置探测图(0, 0, matrix);
    插入位置探测图(width - f, 0, matrix);
    插入位置探测图(0, width - f, matrix);
    插入水平分割图(0, h - 1, matrix);
    插入水平分割图(width - h, h - 1, matrix);
    插入水平分割图(0, width - h, matrix);
    插入垂直分割图(v, 0, matrix);
    插入垂直分割图(height - v - 1, 0, matrix);
    插入垂直分割图(v, height - v, matrix);
}

void 矩阵应用类::插入位置探测图(int xStart, int yStart, 字节矩阵类 &matrix) const
{
    const IntTable &pattern = tables().finderPattern;
    if (!hasShape(pattern, 7, 7))
        fail(texts::kMatrixBuilder, texts::kEmbedFinder, texts::kFinderNot7x7);
    for (int dy = 0; dy < 7; ++dy) {
        for (int dx = 0; dx < 7; ++dx) {
            if (!isEmpty(matrix.cellAt(xStart + dx, yStart + dy)))
                fail(texts::kMatrixBuilder, texts::kEmbedFinder,
                    std::string(texts::kFinderCellTaken) + std::to_string(xStart + dx + 1)
                        + std::string(texts::kColumnIndex) + std::to_string(yStart + dy + 1));
            matrix.setCell(xStart + dx, yStart + dy, cellValue(pattern[dy][dx]));
        }
    }
}

void 矩阵应用类::左下角插入黑点(字节矩阵类 &matrix) const
{
    if (matrix.cellAt(8, matrix.height() - 8) == 0)
        fail(texts::kMatrixBuilder, texts::kEmbedDarkModule, texts::kEmptyValue);
    matrix.setCell(8, matrix.height() - 8, 1);
}

void 矩阵应用类::embedAlignmentPatterns(int version, 字节矩阵类 &matrix) const
{
    if (version < 2)
        return;
    const std::vector<int> centres = tableRow(tables().alignmentCentres, version);
    for (int y : centres) {
        for (int x : centres) {
            if (x == -1 || y == -1)
                continue;
            // A centre on a finder pattern finds its cell taken and is skipped.
            if (isEmpty(matrix.cellAt(x, y)))
                插入方位调整标识(x - 2, y - 2, matrix);
        }
    }
}

void 矩阵应用类::插入方位调整标识(int xStart, int yStart, 字节矩阵类 &matrix) const
{
    const IntTable &pattern = tables().alignmentPattern;
    if (!hasShape(pattern, 5, 5))
        fail(texts::kMatrixBuilder, texts::kEmbedAlignment, texts::kAlignmentNot5x5);
    for (int dy = 0; dy < 5; ++dy) {
        for (int dx = 0; dx < 5; ++dx) {
            if (!isEmpty(matrix.cellAt(xStart + dx, yStart + dy)))
                fail(texts::kMatrixBuilder, texts::kEmbedAlignment, texts::kValueEmpty);
            matrix.setCell(xStart + dx, yStart + dy, cellValue(pattern[dy][dx]));
        }
    }
}

void 矩阵应用类::插入定位基线(字节矩阵类 &matrix) const
{
    for (int i = 8; i < matrix.width() - 8; ++i) {
        const std::uint8_t bit = static_cast<std::uint8_t>((i + 1) % 2);
        if (!isValidValue(matrix.cellAt(i, 6)))
            fail(texts::kMatrixBuilder, texts::kEmbedTiming, texts::kInvalidValue);
        if (isEmpty(matrix.cellAt(i, 6)))
            matrix.setCell(i, 6, bit);
        if (!isValidValue(matrix.cellAt(6, i)))
            fail(texts::kMatrixBuilder, texts::kEmbedTiming, texts::kInvalidValue);
        if (isEmpty(matrix.cellAt(6, i)))
            matrix.setCell(6, i, bit);
    }
}

int 矩阵应用类::findMsbSet(int value)
{
    int count = 0;
    while (value != 0) {
        value = unsignedShiftRight(value, 1);
        ++count;
    }
    return count;
}

int 矩阵应用类::bchCode(int value, int generator)
{
    const int m = findMsbSet(generator);
    if (m == 0)
        return value; // no generator, nothing to divide by
    auto v = static_cast<std::uint32_t>(value) << (m - 1);
    const auto g = static_cast<std::uint32_t>(generator);
    for (int msb = findMsbSet(static_cast<int>(v)); msb >= m; msb = findMsbSet(static_cast<int>(v)))
        v ^= g << (msb - m);
    return static_cast<int>(v);
}

void 矩阵应用类::标记类型信息位(const EcLevel &ecLevel, int mask, 位向量类 &bits) const
{
    if (!二维码类::isValidMaskPattern(mask))
        fail(texts::kMatrixBuilder, texts::kMarkTypeInfo, texts::kMaskInvalid);
    const int typeInfo = (ecLevel.bits() << 3) | mask;
    bits.appendBits(typeInfo, 5);
    bits.appendBits(bchCode(typeInfo, kFormatInfoGenerator), 10);
    位向量类 maskBits;
    maskBits.appendBits(kFormatInfoMask, 15);
    位向量子类 combiner;
    combiner.setInner(bits);
    bits = combiner.异或(maskBits);
    if (bits.size() != 15)
        fail(texts::kMatrixBuilder, texts::kMarkTypeInfo, texts::kTypeInfoLength);
}

void 矩阵应用类::embedTypeInfo(const EcLevel &ecLevel, int mask, 字节矩阵类 &matrix) const
{
    位向量类 bits;
    标记类型信息位(ecLevel, mask, bits);
    const IntTable &coordinates = tables().formatInfoCoordinates;
    if (!hasShape(coordinates, 15, 2))
        failIndex(texts::kMatrixBuilder, "embedTypeInfo");
    for (int i = 0; i < 15; ++i) {
        const std::uint8_t bit = static_cast<std::uint8_t>(bits.取位值(14 - i));
        matrix.setCell(coordinates[i][0], coordinates[i][1], bit);
        if (i < 8)
            matrix.setCell(matrix.width() - 1 - i, 8, bit);
        else
            matrix.setCell(8, matrix.height() - 7 + (i - 8), bit);
    }
}

void 矩阵应用类::标记版本信息位(int version, 位向量类 &bits) const
{
    bits.appendBits(version, 6);
    bits.appendBits(bchCode(version, kVersionInfoGenerator), 12);
    if (bits.size() != 18)
        fail(texts::kMatrixBuilder, texts::kMarkVersionInfo, texts::kVersionInfoLength);
}

void 矩阵应用类::embedVersionInfo(int version, 字节矩阵类 &matrix) const
{
    if (version < 7)
        return;
    位向量类 bits;
    标记版本信息位(version, bits);
    int k = 17;
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < 3; ++j) {
            const std::uint8_t bit = static_cast<std::uint8_t>(bits.取位值(k));
            --k;
            matrix.setCell(i, matrix.height() - 11 + j, bit);
            matrix.setCell(matrix.height() - 11 + j, i, bit);
        }
    }
}

namespace {

// Places the data bits into the empty cells in placement order: column pairs from the
// right, upward and downward in turn, passing over the vertical timing column; cells left
// over get 0. Each bit is inverted where maskHolds(x, y). Returns the number of bits placed.
// Everything the walk keeps is local, so that it stays in registers while cells are written.
template <class MaskHolds>
int placeBits(
    std::uint8_t *cells, int width, int height, const std::uint8_t *bits, int size, MaskHolds maskHolds)
{
    int n = 0;
    const auto place = [&](std::uint8_t &cell, int x, int y) {
        int bit = 0;
        if (n < size) {
            bit = (bits[n >> 3] >> (7 - (n & 7))) & 1;
            ++n;
        }
        cell = static_cast<std::uint8_t>(bit ^ static_cast<int>(maskHolds(x, y)));
    };
    int direction = -1;
    int x = width - 1;
    int y = height - 1;
    while (x > 0) {
        if (x == 6)
            x = 5;
        while (y >= 0 && y < height) {
            std::uint8_t *row = cells + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
            if (row[x] == 255)
                place(row[x], x, y);
            if (row[x - 1] == 255)
                place(row[x - 1], x - 1, y);
            y += direction;
        }
        direction = -direction;
        y += direction;
        x -= 2;
    }
    return n;
}

} // namespace

void 矩阵应用类::插入数据信息位(const 位向量类 &dataBits, int mask, 字节矩阵类 &matrix) const
{
    const int size = dataBits.size();
    const std::vector<std::uint8_t> &bytes = dataBits.bytes();
    if (static_cast<std::size_t>(dataBits.sizeInBytes()) > bytes.size())
        failIndex(texts::kMatrixBuilder, texts::kEmbedData);
    // One instantiation per mask, so that the mask condition is inlined into the walk.
    const auto walk = [&](auto maskHolds) {
        return placeBits(matrix.data(), matrix.width(), matrix.height(), bytes.data(), size, maskHolds);
    };
    int n = 0;
    switch (mask) {
    case -1:
        n = walk([](int, int) { return false; });
        break;
    case 0:
        n = walk([](int x, int y) { return 掩码辅助类::取数据掩码位(0, x, y); });
        break;
    case 1:
        n = walk([](int x, int y) { return 掩码辅助类::取数据掩码位(1, x, y); });
        break;
    case 2:
        n = walk([](int x, int y) { return 掩码辅助类::取数据掩码位(2, x, y); });
        break;
    case 3:
        n = walk([](int x, int y) { return 掩码辅助类::取数据掩码位(3, x, y); });
        break;
    case 4:
        n = walk([](int x, int y) { return 掩码辅助类::取数据掩码位(4, x, y); });
        break;
    case 5:
        n = walk([](int x, int y) { return 掩码辅助类::取数据掩码位(5, x, y); });
        break;
    case 6:
        n = walk([](int x, int y) { return 掩码辅助类::取数据掩码位(6, x, y); });
        break;
    case 7:
        n = walk([](int x, int y) { return 掩码辅助类::取数据掩码位(7, x, y); });
        break;
    default: // reported at the first data cell, where the mask condition is asked
        n = walk([mask](int x, int y) { return 掩码辅助类::取数据掩码位(mask, x, y); });
        break;
    }
    if (n != size)
        fail(texts::kMatrixBuilder, texts::kEmbedData,
            std::string(texts::kDataNotPlaced) + std::to_string(n) + std::string(texts::kBitVectorSize)
                + std::to_string(size));
}

void 矩阵应用类::插入水平分割图(int xStart, int yStart, 字节矩阵类 &matrix) const
{
    const IntTable &separator = tables().horizontalSeparator;
    if (!hasShape(separator, 1, 8))
        fail(texts::kMatrixBuilder, texts::kEmbedHorizontalSeparator, texts::kHorizontalSeparatorInvalid);
    for (int i = 0; i < 8; ++i) {
        if (!isEmpty(matrix.cellAt(xStart + i, yStart)))
            fail(texts::kMatrixBuilder, texts::kEmbedHorizontalSeparator,
                std::string(texts::kSeparatorCellTaken) + std::to_string(i + 1)
                    + std::string(texts::kSeparatorX) + std::to_string(xStart)
                    + std::string(texts::kSeparatorY) + std::to_string(yStart));
        matrix.setCell(xStart + i, yStart, cellValue(separator[0][i]));
    }
}

void 矩阵应用类::插入垂直分割图(int xStart, int yStart, 字节矩阵类 &matrix) const
{
    const IntTable &separator = tables().verticalSeparator;
    if (!hasShape(separator, 7, 1))
        fail(texts::kMatrixBuilder, texts::kEmbedVerticalSeparator, texts::kVerticalSeparatorInvalid);
    for (int i = 0; i < 7; ++i) {
        if (!isEmpty(matrix.cellAt(xStart, yStart + i)))
            fail(texts::kMatrixBuilder, texts::kEmbedVerticalSeparator,
                std::string(texts::kSeparatorCellTaken) + std::to_string(i + 1)
                    + std::string(texts::kSeparatorX) + std::to_string(xStart)
                    + std::string(texts::kSeparatorY) + std::to_string(yStart));
        matrix.setCell(xStart, yStart + i, cellValue(separator[i][0]));
    }
}

} // namespace sorvane::qr
