// Growable bit vectors: the QR bit stream and the format and version information.
#pragma once

#include "qr/ModuleError.h"

#include <cstdint>
#include <vector>

namespace sorvane::qr {

class 位向量类
{
public:
    // 32 zero bytes of storage, no bits.
    位向量类();

    // The whole storage, not only the used bytes. Bit i is bit (7 − i mod 8) of byte i / 8.
    const std::vector<std::uint8_t> &bytes() const { return m_bytes; }
    // Replaces the storage; the size in bits stays.
    void setBytes(std::vector<std::uint8_t> array) { m_bytes = std::move(array); }
    int size() const { return m_size; }
    int sizeInBytes() const { return (m_size + 7) / 8; }

    int 取位值(int index) const;
    void 追加位(int bit);
    // Appends eight bits; only meant for a size at a byte boundary.
    void appendByte(int value);
    // Appends the numBits (0..32) low bits of value, most significant first; other
    // counts append nothing.
    void appendBits(int value, int numBits);
    void clear();
    // "0,1,1,…"
    GbString 到字符串() const;

private:
    std::vector<std::uint8_t> m_bytes;
    int m_size = 0;
};

// A bit vector that also works on an inner vector: appending whole vectors and XOR.
class 位向量子类 : public 位向量类
{
public:
    void setInner(位向量类 v) { m_inner = std::move(v); }
    const 位向量类 &inner() const { return m_inner; }
    位向量类 takeInner() { return std::move(m_inner); }

    void appendVector(const 位向量类 &other);
    // inner ← inner XOR other; the sizes must be equal. Returns the new inner vector.
    位向量类 异或(const 位向量类 &other);

private:
    位向量类 m_inner;
};

} // namespace sorvane::qr
