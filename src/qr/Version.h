// Symbol versions 1–40 with their Reed-Solomon block structure.
#pragma once

#include "qr/Mode.h"

#include <array>
#include <vector>

namespace sorvane::qr {

class EcBlockGroup
{
public:
    void init(int count, int dataCodewords);
    int count() const { return m_count; }
    int dataCodewords() const { return m_dataCodewords; }

private:
    int m_count = 0;
    int m_dataCodewords = 0;
};

class EcBlockSet
{
public:
    void init1(int ecCodewordsPerBlock, const EcBlockGroup &group);
    void init2(int ecCodewordsPerBlock, const EcBlockGroup &group1, const EcBlockGroup &group2);
    int ecCodewordsPerBlock() const { return m_ecCodewordsPerBlock; }
    int blockCount() const;
    int totalEcCodewords() const { return m_ecCodewordsPerBlock * blockCount(); }
    const std::vector<EcBlockGroup> &groups() const { return m_groups; }

private:
    int m_ecCodewordsPerBlock = 0;
    std::vector<EcBlockGroup> m_groups;
};

class Version
{
public:
    int number() const { return m_number; }
    void alignmentCenters(std::vector<int> &out) const { out = m_alignmentCenters; }
    int totalCodewords() const { return m_totalCodewords; }
    int dimension() const { return 17 + 4 * m_number; }
    void init(int number, std::vector<int> centres, const EcBlockSet &setL, const EcBlockSet &setM,
        const EcBlockSet &setQ, const EcBlockSet &setH);
    const EcBlockSet &blocksForLevel(const EcLevel &level) const;
    GbString toText() const;

private:
    int m_number = 0;
    std::array<EcBlockSet, 4> m_blockSets;
    int m_totalCodewords = 0;
    std::vector<int> m_alignmentCenters;
};

} // namespace sorvane::qr
