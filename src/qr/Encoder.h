// The data encoder: turns a text and an error-correction level into a finished symbol in
// a QR code record (mode, version, codewords, mask and matrix).
#pragma once

#include "qr/BitVector.h"
#include "qr/QrCode.h"

#include <array>
#include <string_view>
#include <vector>

namespace sorvane::qr {

// A byte array with a fill count: the codewords of one block.
class ByteBuffer
{
public:
    bool isEmpty() const { return m_size == 0; }
    void initWithSize(int n);
    void setBytes(std::vector<std::uint8_t> array);
    int at(int index) const;
    int size() const { return m_size; }
    void set(int index, int value);
    // storage ← source[offset … offset + count − 1]
    void setRange(const std::vector<std::uint8_t> &source, int offset, int count);
    void appendByte(int value);
    void reserve(int capacity);
    const std::vector<std::uint8_t> &bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
    int m_size = 0;
};

// The data codewords of one Reed-Solomon block and its error-correction codewords.
class CodewordBlock
{
public:
    const ByteBuffer &dataPart() const { return m_data; }
    const ByteBuffer &ecPart() const { return m_ec; }
    void init(ByteBuffer data, ByteBuffer ec);

private:
    ByteBuffer m_data;
    ByteBuffer m_ec;
};

class 编码类
{
public:
    编码类();

    // Encodes content (GB18030) at the level into record. Byte data is written as UTF-8.
    // A content too long for version 40 at that level is reported by 初始化二维码; after
    // any report the record is unchanged.
    void 编码(std::string_view content, const EcLevel &level, 二维码类 &record) const;
    // Chooses the smallest version whose data codewords hold numInputBytes + 3 and fills
    // the record's numbers.
    void 初始化二维码(int numInputBytes, const EcLevel &level, const Mode &mode, 二维码类 &record) const;
    void appendSegment(std::string_view content, const Mode &mode, 位向量类 &bits) const;
    void appendNumeric(std::string_view content, 位向量类 &bits) const;
    void 追加字母数字字节(std::string_view content, 位向量类 &bits) const;
    void appendBytesUtf8(std::string_view content, 位向量类 &bits) const;
    Mode selectMode(std::string_view content) const;
    int alphanumericCode(int code) const;
    void appendModeIndicator(const Mode &mode, 位向量类 &bits) const;
    void 追加长度信息(int numLetters, int versionNumber, const Mode &mode, 位向量类 &bits) const;
    void 结束数据位(int numDataBytes, 位向量类 &bits) const;
    void 交错容错字节(
        const 位向量类 &bits, int numTotalBytes, int numDataBytes, int numRSBlocks, 位向量类 &result) const;
    void 根据块ID取数据字节数和容错字节数(int numTotalBytes, int numDataBytes, int numRSBlocks, int blockId,
        int &numDataBytesInBlock, int &numEcBytesInBlock) const;
    ByteBuffer makeEcBytes(const ByteBuffer &data, int numEcBytes) const;
    // The sum of the four penalty rules.
    int maskPenalty(const 字节矩阵类 &matrix) const;
    // Builds the symbol with each mask 0..7 in matrix and returns the one with the lowest
    // penalty (the lower mask on a tie).
    int pickMaskPattern(
        const 位向量类 &bits, const EcLevel &ecLevel, int versionNumber, 字节矩阵类 &matrix) const;
    // Characters as the encoder counts them: a byte below 123 alone, otherwise with the
    // byte after it.
    std::vector<GbString> splitCharacters(std::string_view content) const;

private:
    std::array<int, 96> m_alphanumericTable;
};

} // namespace sorvane::qr
