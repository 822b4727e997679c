#include "qr/Encoder.h"

#include "qr/IntList.h"
#include "qr/MaskUtil.h"
#include "qr/MatrixBuilder.h"
#include "qr/RsEncoder.h"
#include "qr/Texts.h"

#include <algorithm>
#include <climits>
#include <string>

namespace sorvane::qr {

namespace {

// Values of the character codes 0–95 in alphanumeric mode, −1 where not allowed.
constexpr std::string_view kAlphanumericTableText = "-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,"
                                                    "-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,-1,"
                                                    "36,-1,-1,-1,37,38,-1,-1,-1,-1,39,40,-1,41,42,43,"
                                                    "0,1,2,3,4,5,6,7,8,9,44,-1,-1,-1,-1,-1,"
                                                    "-1,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,"
                                                    "25,26,27,28,29,30,31,32,33,34,35,-1,-1,-1,-1,-1";

const std::array<int, 96> &alphanumericTable()
{
    static const std::array<int, 96> table = [] {
        std::array<int, 96> t {};
        t.fill(-1);
        const std::vector<int> values = parseIntList(kAlphanumericTableText, ",");
        std::copy_n(values.begin(), std::min(values.size(), t.size()), t.begin());
        return t;
    }();
    return table;
}

bool sameMode(const Mode &a, const Mode &b)
{
    return a.name() == b.name();
}

} // namespace

void ByteBuffer::initWithSize(int n)
{
    if (n < 0)
        failIndex(texts::kByteBuffer, "initWithSize");
    m_bytes.assign(static_cast<std::size_t>(n), 0);
    m_size = n;
}

void ByteBuffer::setBytes(std::vector<std::uint8_t> array)
{
    m_size = static_cast<int>(array.size());
    m_bytes = std::move(array);
}

int ByteBuffer::at(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_bytes.size()))
        failIndex(texts::kByteBuffer, "at");
    return m_bytes[static_cast<std::size_t>(index)];
}

void ByteBuffer::set(int index, int value)
{
    if (index < 0 || index >= static_cast<int>(m_bytes.size()))
        failIndex(texts::kByteBuffer, "set");
    m_bytes[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(value);
}

void ByteBuffer::setRange(const std::vector<std::uint8_t> &source, int offset, int count)
{
    if (offset < 0 || count < 0
        || static_cast<std::size_t>(offset) + static_cast<std::size_t>(count) > source.size())
        failIndex(texts::kByteBuffer, "setRange");
    m_bytes.assign(source.begin() + offset, source.begin() + offset + count);
    m_size = count;
}

void ByteBuffer::appendByte(int value)
{
    if (m_size == 0 || m_size >= static_cast<int>(m_bytes.size()))
        reserve(std::max(32, 2 * m_size));
    m_bytes[static_cast<std::size_t>(m_size)] = static_cast<std::uint8_t>(value);
    ++m_size;
}

void ByteBuffer::reserve(int capacity)
{
    if (m_bytes.empty() || static_cast<int>(m_bytes.size()) < capacity)
        m_bytes.resize(static_cast<std::size_t>(std::max(capacity, 0)), 0);
}

void CodewordBlock::init(ByteBuffer data, ByteBuffer ec)
{
    m_data = std::move(data);
    m_ec = std::move(ec);
}

编码类::编码类()
    : m_alphanumericTable(alphanumericTable())
{
}

void 编码类::编码(std::string_view content, const EcLevel &level, 二维码类 &record) const
{
    位向量类 dataBits;
    位向量类 headerBits;
    位向量类 finalBits;
    位向量子类 joiner;
    字节矩阵类 matrix;
    const 矩阵应用类 builder;
    // Built aside and stored at the end: a report leaves the caller's record as it was,
    // never half old and half new.
    二维码类 symbol;

    const Mode mode = selectMode(content);
    appendSegment(content, mode, dataBits);
    const int numInputBytes = dataBits.sizeInBytes();
    初始化二维码(numInputBytes, level, mode, symbol);
    appendModeIndicator(mode, headerBits);
    const int numLetters = sameMode(mode, modeObjects()[2])
        ? dataBits.sizeInBytes()
        : static_cast<int>(splitCharacters(content).size());
    追加长度信息(numLetters, symbol.version(), mode, headerBits);
    joiner.setInner(std::move(headerBits));
    joiner.appendVector(dataBits);
    headerBits = joiner.takeInner();
    结束数据位(symbol.dataBytes(), headerBits);
    交错容错字节(headerBits, symbol.totalBytes(), symbol.dataBytes(), symbol.rsBlocks(), finalBits);
    matrix.init(symbol.matrixWidth(), symbol.matrixWidth());
    symbol.setMaskPattern(pickMaskPattern(finalBits, symbol.ecLevel(), symbol.version(), matrix));
    builder.buildMatrix(finalBits, symbol.ecLevel(), symbol.version(), symbol.maskPattern(), matrix);
    symbol.setMatrix(std::move(matrix));
    if (!symbol.isValid())
        fail(texts::kEncoder, texts::kEncode, texts::kInvalidSymbol);
    record = std::move(symbol);
}

void 编码类::初始化二维码(int numInputBytes, const EcLevel &level, const Mode &mode, 二维码类 &record) const
{
    record.setEcLevel(level);
    record.setMode(mode);
    for (const Version &version : versionList()) {
        const int numBytes = version.totalCodewords();
        const EcBlockSet &blocks = version.blocksForLevel(level);
        const int numEcBytes = blocks.totalEcCodewords();
        const int numRSBlocks = blocks.blockCount();
        const int numDataBytes = numBytes - numEcBytes;
        if (numDataBytes >= numInputBytes + 3) {
            record.setVersion(version.number());
            record.setTotalBytes(numBytes);
            record.setDataBytes(numDataBytes);
            record.setRsBlocks(numRSBlocks);
            record.setEcBytes(numEcBytes);
            record.setMatrixWidth(version.dimension());
            return;
        }
    }
    fail(texts::kEncoder, texts::kInitQrCode, "");
}

void 编码类::appendSegment(std::string_view content, const Mode &mode, 位向量类 &bits) const
{
    const auto &modes = modeObjects();
    if (sameMode(mode, modes[0]))
        appendNumeric(content, bits);
    else if (sameMode(mode, modes[1]))
        追加字母数字字节(content, bits);
    else
        appendBytesUtf8(content, bits);
}

void 编码类::appendNumeric(std::string_view content, 位向量类 &bits) const
{
    const auto digit = [&](std::size_t i) { return static_cast<unsigned char>(content[i]) - 48; };
    std::size_t i = 0;
    for (; i + 3 <= content.size(); i += 3)
        bits.appendBits(100 * digit(i) + 10 * digit(i + 1) + digit(i + 2), 10);
    if (content.size() - i == 2)
        bits.appendBits(10 * digit(i) + digit(i + 1), 7);
    else if (content.size() - i == 1)
        bits.appendBits(digit(i), 4);
}

void 编码类::追加字母数字字节(std::string_view content, 位向量类 &bits) const
{
    const auto value = [&](std::size_t i) {
        const int a = alphanumericCode(static_cast<unsigned char>(content[i]));
        if (a == -1)
            fail(texts::kEncoder, texts::kAppendAlphanumeric, texts::kInvalidValue);
        return a;
    };
    std::size_t i = 0;
    for (; i + 2 <= content.size(); i += 2) {
        const int a1 = value(i);
        const int a2 = value(i + 1);
        bits.appendBits(45 * a1 + a2, 11);
    }
    if (i < content.size())
        bits.appendBits(value(i), 6);
}

void 编码类::appendBytesUtf8(std::string_view content, 位向量类 &bits) const
{
    // GB18030 is the program's text encoding; it contains GB2312 and GBK, so reading
    // with it changes nothing for their characters. Invalid bytes become U+FFFD.
    for (const char byte : text::gbToUtf8(content))
        bits.appendBits(static_cast<unsigned char>(byte), 8);
}

Mode 编码类::selectMode(std::string_view content) const
{
    const auto &modes = modeObjects();
    bool hasNumeric = false;
    bool hasAlphanumeric = false;
    for (const GbString &character : splitCharacters(content)) {
        const int first = static_cast<unsigned char>(character[0]);
        if (first >= '0' && first <= '9')
            hasNumeric = true;
        else if (alphanumericCode(first) == -1)
            return modes[2];
        else
            hasAlphanumeric = true;
    }
    if (hasAlphanumeric)
        return modes[1];
    if (hasNumeric)
        return modes[0];
    return modes[2];
}

int 编码类::alphanumericCode(int code) const
{
    if (code >= 0 && code < static_cast<int>(m_alphanumericTable.size()))
        return m_alphanumericTable[static_cast<std::size_t>(code)];
    return -1;
}

void 编码类::appendModeIndicator(const Mode &mode, 位向量类 &bits) const
{
    bits.appendBits(mode.bits(), 4);
}

void 编码类::追加长度信息(int numLetters, int versionNumber, const Mode &mode, 位向量类 &bits) const
{
    const auto &versions = versionList();
    if (versionNumber < 1 || versionNumber > static_cast<int>(versions.size()))
        failIndex(texts::kEncoder, texts::kAppendLength);
    const int numBits = mode.charCountBits(versions[static_cast<std::size_t>(versionNumber - 1)]);
    const long long limit = numBits >= 0 && numBits < 62 ? (1LL << numBits) - 1 : LLONG_MAX;
    if (numLetters > limit)
        fail(texts::kEncoder, texts::kAppendLength, texts::kTooMuchInformation);
    bits.appendBits(numLetters, numBits);
}

void 编码类::结束数据位(int numDataBytes, 位向量类 &bits) const
{
    const long capacity = 8L * numDataBytes;
    if (bits.size() > capacity)
        fail(texts::kEncoder, texts::kTerminateBits, texts::kCannotFill);
    for (int i = 0; i < 4 && bits.size() < capacity; ++i)
        bits.追加位(0);
    while (bits.size() % 8 != 0)
        bits.追加位(0);
    const int padCount = numDataBytes - bits.sizeInBytes();
    for (int i = 1; i <= padCount; ++i)
        bits.appendBits(i % 2 == 1 ? 236 : 17, 8);
    if (bits.size() != capacity)
        fail(texts::kEncoder, texts::kTerminateBits, texts::kLengthNotCapacity);
}

void 编码类::交错容错字节(
    const 位向量类 &bits, int numTotalBytes, int numDataBytes, int numRSBlocks, 位向量类 &result) const
{
    if (bits.sizeInBytes() != numDataBytes)
        fail(texts::kEncoder, texts::kInterleave, texts::kBitsDataMismatch);
    int offset = 0;
    int maxData = 0;
    int maxEc = 0;
    std::vector<CodewordBlock> blocks;
    blocks.reserve(static_cast<std::size_t>(std::max(numRSBlocks, 0)));
    for (int blockId = 0; blockId < numRSBlocks; ++blockId) {
        int numData = 0;
        int numEc = 0;
        根据块ID取数据字节数和容错字节数(numTotalBytes, numDataBytes, numRSBlocks, blockId, numData, numEc);
        ByteBuffer data;
        data.setRange(bits.bytes(), offset, numData);
        ByteBuffer ec = makeEcBytes(data, numEc);
        maxData = std::max(maxData, data.size());
        maxEc = std::max(maxEc, ec.size());
        blocks.emplace_back().init(std::move(data), std::move(ec));
        offset += numData;
    }
    if (offset != numDataBytes)
        fail(texts::kEncoder, texts::kInterleave, texts::kOffsetMismatch);
    for (int i = 0; i < maxData; ++i)
        for (const CodewordBlock &block : blocks)
            if (i < block.dataPart().size())
                result.appendBits(block.dataPart().at(i), 8);
    for (int i = 0; i < maxEc; ++i)
        for (const CodewordBlock &block : blocks)
            if (i < block.ecPart().size())
                result.appendBits(block.ecPart().at(i), 8);
    if (result.sizeInBytes() != numTotalBytes)
        fail(texts::kEncoder, texts::kInterleave, texts::kInterleaveFailed);
}

void 编码类::根据块ID取数据字节数和容错字节数(int numTotalBytes, int numDataBytes, int numRSBlocks,
    int blockId, int &numDataBytesInBlock, int &numEcBytesInBlock) const
{
    if (blockId >= numRSBlocks || numRSBlocks <= 0)
        fail(texts::kEncoder, texts::kBlockCounts, texts::kInvalidValue);
    const int blocksInGroup2 = numTotalBytes % numRSBlocks;
    const int blocksInGroup1 = numRSBlocks - blocksInGroup2;
    const int totalInGroup1 = numTotalBytes / numRSBlocks;
    const int totalInGroup2 = totalInGroup1 + 1;
    const int dataInGroup1 = numDataBytes / numRSBlocks;
    const int dataInGroup2 = dataInGroup1 + 1;
    const int ecInGroup1 = totalInGroup1 - dataInGroup1;
    const int ecInGroup2 = totalInGroup2 - dataInGroup2;
    if (blockId < blocksInGroup1) {
        numDataBytesInBlock = dataInGroup1;
        numEcBytesInBlock = ecInGroup1;
    } else {
        numDataBytesInBlock = dataInGroup2;
        numEcBytesInBlock = ecInGroup2;
    }
}

ByteBuffer 编码类::makeEcBytes(const ByteBuffer &data, int numEcBytes) const
{
    const int n = data.size();
    std::vector<int> toEncode(
        static_cast<std::size_t>(n) + static_cast<std::size_t>(std::max(numEcBytes, 0)), 0);
    for (int i = 0; i < n; ++i)
        toEncode[static_cast<std::size_t>(i)] = data.at(i);
    RS编码器类 encoder;
    encoder.RS编码器(qrField());
    encoder.编码(toEncode, numEcBytes);
    ByteBuffer ec;
    ec.initWithSize(numEcBytes);
    for (int i = 0; i < numEcBytes; ++i)
        ec.set(i, toEncode[static_cast<std::size_t>(n + i)]);
    return ec;
}

int 编码类::maskPenalty(const 字节矩阵类 &matrix) const
{
    // The four rules, the matrix read once.
    return 掩码辅助类::penaltyTotal(matrix);
}

int 编码类::pickMaskPattern(
    const 位向量类 &bits, const EcLevel &ecLevel, int versionNumber, 字节矩阵类 &matrix) const
{
    const 矩阵应用类 builder;
    int minPenalty = INT_MAX;
    int best = -1;
    for (int mask = 0; mask < 8; ++mask) {
        builder.buildMatrix(bits, ecLevel, versionNumber, mask, matrix);
        const int penalty = maskPenalty(matrix);
        if (penalty < minPenalty) {
            minPenalty = penalty;
            best = mask;
        }
    }
    return best;
}

std::vector<GbString> 编码类::splitCharacters(std::string_view content) const
{
    std::vector<GbString> characters;
    characters.reserve(content.size());
    std::size_t i = 0;
    while (i < content.size()) {
        const std::size_t length
            = static_cast<unsigned char>(content[i]) >= 123 && i + 1 < content.size() ? 2 : 1;
        characters.emplace_back(content.substr(i, length));
        i += length;
    }
    return characters;
}

} // namespace sorvane::qr
