// Data modes (numeric, alphanumeric, byte) and error-correction levels.
#pragma once

#include "qr/ModuleError.h"

#include <vector>

namespace sorvane::qr {

class Version;

class Mode
{
public:
    void init(std::vector<int> charCountBits, int bits, GbString name);
    // Width of the character-count field for the version: [0] up to 9, [1] up to 26,
    // [2] above.
    int charCountBits(const Version &version) const;
    int bits() const { return m_bits; }
    // Modes are told apart by their names.
    const GbString &name() const { return m_name; }
    GbString toText() const { return m_name; }

private:
    std::vector<int> m_charCountBits;
    int m_bits = 0;
    GbString m_name;
};

class EcLevel
{
public:
    void init(int ordinal, int bits, GbString name);
    int ordinal() const { return m_ordinal; } // 1 (L) to 4 (H)
    int bits() const { return m_bits; } // the two format-information bits
    const GbString &name() const { return m_name; }

private:
    int m_ordinal = 0;
    int m_bits = 0;
    GbString m_name;
};

} // namespace sorvane::qr
