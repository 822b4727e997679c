// The fixed tables of ISO/IEC 18004 from which the version registry and the matrix
// builder are filled.
#pragma once

#include <array>
#include <string_view>

namespace sorvane::qr::tables {

// One level of one version: error-correction codewords per block, then one or two groups
// of (number of blocks, data codewords per block); count2 is 0 when there is one group.
struct LevelBlocks
{
    int ecPerBlock;
    int count1;
    int data1;
    int count2;
    int data2;
};

struct VersionRow
{
    std::string_view alignmentCentres; // row/column coordinates, "" for version 1
    std::array<LevelBlocks, 4> levels; // L, M, Q, H
};

extern const std::array<VersionRow, 40> kVersions;

} // namespace sorvane::qr::tables
