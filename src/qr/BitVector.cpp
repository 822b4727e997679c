#include "qr/BitVector.h"

#include "qr/Texts.h"

namespace sorvane::qr {

namespace {
constexpr std::size_t kInitialBytes = 32;
}

位向量类::位向量类()
    : m_bytes(kInitialBytes, 0)
{
}

int 位向量类::取位值(int index) const
{
    if (index < 0 || index >= m_size)
        fail(texts::kBitVector, texts::kGetBit, texts::kIndexExceeded);
    const std::size_t byte = static_cast<std::size_t>(index) / 8;
    if (byte >= m_bytes.size()) // storage shrunk by setBytes
        failIndex(texts::kBitVector, texts::kGetBit);
    return (m_bytes[byte] >> (7 - index % 8)) & 1;
}

void 位向量类::追加位(int bit)
{
    if (bit != 0 && bit != 1)
        fail(texts::kBitVector, texts::kAppendBit, texts::kBitNotBinary);
    if (m_size % 8 == 0) {
        appendByte(0); // makes room for, and clears, the next byte
        m_size -= 8;
    }
    const std::size_t byte = static_cast<std::size_t>(m_size) / 8;
    if (byte >= m_bytes.size())
        failIndex(texts::kBitVector, texts::kAppendBit);
    m_bytes[byte] = static_cast<std::uint8_t>(m_bytes[byte] | (bit << (7 - m_size % 8)));
    ++m_size;
}

void 位向量类::appendByte(int value)
{
    const std::size_t byte = static_cast<std::size_t>(m_size) / 8;
    if (m_bytes.size() <= byte) // full: double, keeping the old bytes
        m_bytes.resize(std::max<std::size_t>(byte + 1, m_bytes.size() * 2), 0);
    m_bytes[byte] = static_cast<std::uint8_t>(value);
    m_size += 8;
}

void 位向量类::appendBits(int value, int numBits)
{
    if (numBits < 0 || numBits > 32)
        return;
    const auto v = static_cast<std::uint32_t>(value);
    int n = numBits;
    while (n > 0) {
        if (m_size % 8 == 0 && n >= 8) {
            appendByte(static_cast<int>((v >> (n - 8)) & 0xFF));
            n -= 8;
        } else {
            追加位(static_cast<int>((v >> (n - 1)) & 1));
            --n;
        }
    }
}

void 位向量类::clear()
{
    m_size = 0;
    m_bytes.assign(kInitialBytes, 0);
}

GbString 位向量类::到字符串() const
{
    GbString out;
    for (int i = 0; i < m_size; ++i) {
        if (i > 0)
            out += ',';
        out += 取位值(i) ? '1' : '0';
    }
    return out;
}

void 位向量子类::appendVector(const 位向量类 &other)
{
    // Whole bytes go through appendBits, which yields the same bits as appending them
    // one at a time.
    const int size = other.size();
    const std::vector<std::uint8_t> &bytes = other.bytes();
    int index = 0;
    for (; index + 8 <= size; index += 8) {
        const std::size_t byte = static_cast<std::size_t>(index) / 8;
        if (byte >= bytes.size())
            failIndex(texts::kBitVectorSub, "appendVector");
        m_inner.appendBits(bytes[byte], 8);
    }
    for (; index < size; ++index)
        m_inner.追加位(other.取位值(index));
}

位向量类 位向量子类::异或(const 位向量类 &other)
{
    if (m_inner.size() != other.size())
        fail(texts::kBitVectorSub, texts::kXor, texts::kXorSizesDiffer);
    std::vector<std::uint8_t> bytes = m_inner.bytes();
    const std::size_t used = static_cast<std::size_t>(m_inner.sizeInBytes());
    if (used > bytes.size() || used > other.bytes().size())
        failIndex(texts::kBitVectorSub, texts::kXor);
    for (std::size_t i = 0; i < used; ++i)
        bytes[i] ^= other.bytes()[i];
    m_inner.setBytes(std::move(bytes));
    return m_inner;
}

} // namespace sorvane::qr
