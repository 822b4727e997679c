#include "qr/Version.h"

#include <string>

namespace sorvane::qr {

void Mode::init(std::vector<int> charCountBits, int bits, GbString name)
{
    m_charCountBits = std::move(charCountBits);
    m_bits = bits;
    m_name = std::move(name);
}

int Mode::charCountBits(const Version &version) const
{
    const int n = version.number();
    const std::size_t index = n <= 9 ? 0 : (n <= 26 ? 1 : 2);
    if (index >= m_charCountBits.size())
        failIndex("Mode", "charCountBits");
    return m_charCountBits[index];
}

void EcLevel::init(int ordinal, int bits, GbString name)
{
    m_ordinal = ordinal;
    m_bits = bits;
    m_name = std::move(name);
}

void EcBlockGroup::init(int count, int dataCodewords)
{
    m_count = count;
    m_dataCodewords = dataCodewords;
}

void EcBlockSet::init1(int ecCodewordsPerBlock, const EcBlockGroup &group)
{
    m_ecCodewordsPerBlock = ecCodewordsPerBlock;
    m_groups = { group };
}

void EcBlockSet::init2(int ecCodewordsPerBlock, const EcBlockGroup &group1, const EcBlockGroup &group2)
{
    m_ecCodewordsPerBlock = ecCodewordsPerBlock;
    m_groups = { group1, group2 };
}

int EcBlockSet::blockCount() const
{
    int total = 0;
    for (const EcBlockGroup &g : m_groups)
        total += g.count();
    return total;
}

void Version::init(int number, std::vector<int> centres, const EcBlockSet &setL, const EcBlockSet &setM,
    const EcBlockSet &setQ, const EcBlockSet &setH)
{
    m_number = number;
    m_alignmentCenters = std::move(centres);
    m_blockSets = { setL, setM, setQ, setH };
    m_totalCodewords = 0;
    for (const EcBlockGroup &g : setL.groups())
        m_totalCodewords += g.count() * (g.dataCodewords() + setL.ecCodewordsPerBlock());
}

const EcBlockSet &Version::blocksForLevel(const EcLevel &level) const
{
    const int index = level.ordinal() - 1;
    if (index < 0 || index >= static_cast<int>(m_blockSets.size()))
        failIndex("Version", "blocksForLevel");
    return m_blockSets[static_cast<std::size_t>(index)];
}

GbString Version::toText() const
{
    return std::to_string(m_number);
}

} // namespace sorvane::qr
