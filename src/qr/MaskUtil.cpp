#include "qr/MaskUtil.h"

#include "qr/QrCode.h"
#include "qr/Texts.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace sorvane::qr {

void 掩码辅助类::failInvalidMask()
{
    fail(texts::kMaskUtil, texts::kDataMaskBit, texts::kMaskInvalidDot);
}

namespace {

// ---- Scalar rules: any matrix, cells compared by value -------------------------------

int scalarRule1Lines(const 字节矩阵类 &matrix, bool horizontal)
{
    const int width = matrix.width();
    const int height = matrix.height();
    const std::uint8_t *cells = matrix.data();
    const int outerCount = horizontal ? height : width;
    const int innerCount = horizontal ? width : height;
    const long outerStep = horizontal ? width : 1;
    const long innerStep = horizontal ? 1 : width;
    int penalty = 0;
    int count = 0;
    int previous = -1;
    for (int outer = 0; outer < outerCount; ++outer) {
        const std::uint8_t *cell = cells + outer * outerStep;
        for (int inner = 0; inner < innerCount; ++inner, cell += innerStep) {
            const int value = *cell;
            count = (value == previous) * count + 1;
            previous = value;
            penalty += 3 * (count == 5) + (count > 5);
        }
        count = 0;
    }
    return penalty;
}

int scalarRule2(const 字节矩阵类 &matrix)
{
    const int width = matrix.width();
    const std::uint8_t *cells = matrix.data();
    int blocks = 0;
    for (int y = 0; y + 1 < matrix.height(); ++y) {
        const std::uint8_t *row = cells + static_cast<long>(y) * width;
        const std::uint8_t *next = row + width;
        for (int x = 0; x + 1 < width; ++x)
            blocks += (row[x] == row[x + 1]) & (row[x] == next[x]) & (row[x] == next[x + 1]);
    }
    return 3 * blocks;
}

bool lightRun(const std::uint8_t *cell, long step)
{
    return cell[0] == 0 && cell[step] == 0 && cell[2 * step] == 0 && cell[3 * step] == 0;
}

int scalarFinderLikeRuns(const std::uint8_t *line, long step, int length)
{
    int penalty = 0;
    unsigned window = 0; // the last seven modules, the newest in bit 0
    for (int end = 0; end < length; ++end) {
        window = ((window << 1) | (line[end * step] == 1)) & 0x7F;
        if (window != 0x5D || end < 6)
            continue;
        const int x = end - 6;
        const std::uint8_t *start = line + x * step;
        // The run itself must hold 1 and 0 exactly, not just "not 1".
        bool exact = true;
        for (int i = 0; i < 7; ++i)
            exact = exact && start[i * step] == ((0x5D >> (6 - i)) & 1);
        const bool lightAfter = x + 10 < length && lightRun(start + 7 * step, step);
        const bool lightBefore = x - 4 >= 0 && lightRun(start - 4 * step, step);
        if (exact && (lightAfter || lightBefore))
            penalty += 40;
    }
    return penalty;
}

int scalarRule3(const 字节矩阵类 &matrix)
{
    const int width = matrix.width();
    const int height = matrix.height();
    const std::uint8_t *cells = matrix.data();
    int penalty = 0;
    for (int y = 0; y < height; ++y)
        penalty += scalarFinderLikeRuns(cells + static_cast<long>(y) * width, 1, width);
    for (int x = 0; x < width; ++x)
        penalty += scalarFinderLikeRuns(cells + x, width, height);
    return penalty;
}

// ---- Bit-parallel rules: symbols, whose cells are all 0 or 1 -----------------------
//
// Each row and each column becomes a line of bits (bit i = module i is dark), so that a
// rule tests a whole line with a few word operations instead of a branch per module.

// Without a popcount instruction in the baseline instruction set, the builtin would call
// a library routine for every word.
inline int bitCount(std::uint64_t v)
{
    v = v - ((v >> 1) & 0x5555555555555555ULL);
    v = (v & 0x3333333333333333ULL) + ((v >> 2) & 0x3333333333333333ULL);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((v * 0x0101010101010101ULL) >> 56);
}

template <int N> struct Line
{
    std::array<std::uint64_t, N> w {};

    Line operator&(const Line &o) const
    {
        Line r;
        for (int j = 0; j < N; ++j)
            r.w[j] = w[j] & o.w[j];
        return r;
    }
    Line operator|(const Line &o) const
    {
        Line r;
        for (int j = 0; j < N; ++j)
            r.w[j] = w[j] | o.w[j];
        return r;
    }
    Line operator^(const Line &o) const
    {
        Line r;
        for (int j = 0; j < N; ++j)
            r.w[j] = w[j] ^ o.w[j];
        return r;
    }
    Line operator~() const
    {
        Line r;
        for (int j = 0; j < N; ++j)
            r.w[j] = ~w[j];
        return r;
    }
    // Bit i of the result is bit i + k (0 < k < 64).
    Line down(int k) const
    {
        Line r;
        for (int j = 0; j < N; ++j)
            r.w[j] = (w[j] >> k) | (j + 1 < N ? w[j + 1] << (64 - k) : 0);
        return r;
    }
    // Bit i of the result is bit i − k (0 < k < 64).
    Line up(int k) const
    {
        Line r;
        for (int j = 0; j < N; ++j)
            r.w[j] = (w[j] << k) | (j > 0 ? w[j - 1] >> (64 - k) : 0);
        return r;
    }
    int count() const
    {
        int n = 0;
        for (int j = 0; j < N; ++j)
            n += bitCount(w[j]);
        return n;
    }
    // Bits 0 … length − 1.
    static Line ones(int length)
    {
        Line r;
        for (int j = 0; j < N; ++j) {
            const int bits = length - 64 * j;
            r.w[j] = bits >= 64 ? ~std::uint64_t { 0 } : (bits <= 0 ? 0 : (std::uint64_t { 1 } << bits) - 1);
        }
        return r;
    }
};

// Transposes a 64 × 64 block of bits: bit j of a[i] goes to bit i of a[j]. Quadrants
// of halving size swap places, the upper-right with the lower-left.
void transpose64(std::array<std::uint64_t, 64> &a)
{
    std::uint64_t m = 0x00000000FFFFFFFFULL;
    for (int j = 32; j != 0; j >>= 1, m ^= m << j) {
        for (int k = 0; k < 64; k = ((k | j) + 1) & ~j) {
            const std::uint64_t t
                = ((a[static_cast<std::size_t>(k)] >> j) ^ a[static_cast<std::size_t>(k | j)]) & m;
            a[static_cast<std::size_t>(k)] ^= t << j;
            a[static_cast<std::size_t>(k | j)] ^= t;
        }
    }
}

// Eight cells (each 0 or 1) as eight bits, the first cell in bit 0.
inline std::uint64_t packEight(const std::uint8_t *cells, std::uint64_t &other)
{
    std::uint64_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&v, cells, 8);
    } else {
        for (int i = 0; i < 8; ++i)
            v |= std::uint64_t { cells[i] } << (8 * i);
    }
    other |= v & 0xFEFEFEFEFEFEFEFEULL;
    return (v * 0x0102040810204080ULL) >> 56;
}

template <int N> struct Planes
{
    int width = 0;
    int height = 0;
    std::vector<Line<N>> rows;
    std::vector<Line<N>> columns;

    // False when a cell holds something other than 0 or 1.
    bool load(const 字节矩阵类 &matrix)
    {
        width = matrix.width();
        height = matrix.height();
        rows.assign(static_cast<std::size_t>(height), Line<N> {});
        columns.assign(static_cast<std::size_t>(width), Line<N> {});
        const std::uint8_t *cells = matrix.data();
        std::uint64_t other = 0;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t *row = cells + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
            Line<N> &line = rows[static_cast<std::size_t>(y)];
            int x = 0;
            for (; x + 8 <= width; x += 8)
                line.w[static_cast<std::size_t>(x >> 6)] |= packEight(row + x, other) << (x & 63);
            for (; x < width; ++x) {
                other |= row[x] > 1;
                line.w[static_cast<std::size_t>(x >> 6)] |= std::uint64_t { row[x] == 1 } << (x & 63);
            }
        }
        if (other != 0)
            return false;
        std::array<std::uint64_t, 64> block;
        for (int bi = 0; bi < N; ++bi) { // blocks of 64 rows
            for (int bj = 0; bj < N; ++bj) { // blocks of 64 columns
                for (int t = 0; t < 64; ++t) {
                    const int y = 64 * bi + t;
                    block[static_cast<std::size_t>(t)]
                        = y < height ? rows[static_cast<std::size_t>(y)].w[static_cast<std::size_t>(bj)] : 0;
                }
                transpose64(block);
                for (int t = 0; t < 64 && 64 * bj + t < width; ++t)
                    columns[static_cast<std::size_t>(64 * bj + t)].w[static_cast<std::size_t>(bi)]
                        = block[static_cast<std::size_t>(t)];
            }
        }
        return true;
    }
};

template <int N> int runsPenalty(const std::vector<Line<N>> &lines, int length)
{
    // A run of L ≥ 5 equal modules scores L − 2: one point for each of its L − 4 windows of
    // five equal modules, and two more for the run.
    const Line<N> pairs = Line<N>::ones(length - 1);
    int penalty = 0;
    for (const Line<N> &r : lines) {
        const Line<N> equal = ~(r ^ r.down(1)) & pairs;
        const Line<N> five = equal & equal.down(1) & equal.down(2) & equal.down(3);
        const Line<N> starts = five & ~five.up(1);
        penalty += five.count() + 2 * starts.count();
    }
    return penalty;
}

template <int N> int blocksPenalty(const Planes<N> &p)
{
    const Line<N> inside = Line<N>::ones(p.width - 1);
    int blocks = 0;
    for (int y = 0; y + 1 < p.height; ++y) {
        const Line<N> &a = p.rows[static_cast<std::size_t>(y)];
        const Line<N> &b = p.rows[static_cast<std::size_t>(y + 1)];
        const Line<N> vertical = ~(a ^ b);
        blocks += (~(a ^ a.down(1)) & vertical & vertical.down(1) & inside).count();
    }
    return 3 * blocks;
}

template <int N> int finderPenalty(const std::vector<Line<N>> &lines, int length)
{
    const Line<N> inside = Line<N>::ones(length);
    int found = 0;
    for (const Line<N> &r : lines) {
        // 1 0 1 1 1 0 1 from bit x on; bit x + 6 being dark keeps it inside the line.
        const Line<N> run = r & ~r.down(1) & r.down(2) & r.down(3) & r.down(4) & ~r.down(5) & r.down(6);
        const Line<N> light = ~r & inside;
        const Line<N> light4 = light & light.down(1) & light.down(2) & light.down(3);
        found += (run & (light4.down(7) | light4.up(4))).count();
    }
    return 40 * found;
}

template <int N> int darkPenalty(const Planes<N> &p)
{
    long dark = 0;
    for (const Line<N> &r : p.rows)
        dark += r.count();
    const long total = static_cast<long>(p.width) * p.height;
    return total == 0 ? 0 : static_cast<int>(10 * ((10 * std::labs(2 * dark - total)) / total));
}

enum Rule : unsigned { kRule1Rows = 1, kRule1Columns = 2, kRule2 = 4, kRule3 = 8, kRule4 = 16, kAll = 31 };

template <int N> std::optional<int> bitPenalty(const 字节矩阵类 &matrix, unsigned rules)
{
    Planes<N> p;
    if (!p.load(matrix))
        return std::nullopt;
    int penalty = 0;
    if (rules & kRule1Rows)
        penalty += runsPenalty(p.rows, p.width);
    if (rules & kRule1Columns)
        penalty += runsPenalty(p.columns, p.height);
    if (rules & kRule2)
        penalty += blocksPenalty(p);
    if (rules & kRule3)
        penalty += finderPenalty(p.rows, p.width) + finderPenalty(p.columns, p.height);
    if (rules & kRule4)
        penalty += darkPenalty(p);
    return penalty;
}

// The chosen rules by words of bits when the matrix allows it.
std::optional<int> fastPenalty(const 字节矩阵类 &matrix, unsigned rules)
{
    const int side = std::max(matrix.width(), matrix.height());
    if (side <= 64)
        return bitPenalty<1>(matrix, rules);
    if (side <= 128)
        return bitPenalty<2>(matrix, rules);
    if (side <= 192)
        return bitPenalty<3>(matrix, rules);
    return std::nullopt;
}

int scalarRule4(const 字节矩阵类 &matrix)
{
    const long total = static_cast<long>(matrix.width()) * matrix.height();
    if (total == 0)
        return 0;
    const std::uint8_t *cells = matrix.data();
    long dark = 0;
    for (long i = 0; i < total; ++i)
        dark += cells[i] == 1;
    const long k = (10 * std::labs(2 * dark - total)) / total;
    return static_cast<int>(10 * k);
}

} // namespace

int 掩码辅助类::penaltyRule1(const 字节矩阵类 &matrix)
{
    return penaltyRule1Lines(matrix, true) + penaltyRule1Lines(matrix, false);
}

int 掩码辅助类::penaltyRule1Lines(const 字节矩阵类 &matrix, bool horizontal)
{
    if (const auto fast = fastPenalty(matrix, horizontal ? kRule1Rows : kRule1Columns))
        return *fast;
    return scalarRule1Lines(matrix, horizontal);
}

int 掩码辅助类::penaltyRule2(const 字节矩阵类 &matrix)
{
    if (const auto fast = fastPenalty(matrix, kRule2))
        return *fast;
    return scalarRule2(matrix);
}

int 掩码辅助类::penaltyRule3(const 字节矩阵类 &matrix)
{
    if (const auto fast = fastPenalty(matrix, kRule3))
        return *fast;
    return scalarRule3(matrix);
}

int 掩码辅助类::penaltyRule4(const 字节矩阵类 &matrix)
{
    return scalarRule4(matrix);
}

int 掩码辅助类::penaltyTotal(const 字节矩阵类 &matrix)
{
    if (const auto fast = fastPenalty(matrix, kAll))
        return *fast;
    return penaltyRule1(matrix) + penaltyRule2(matrix) + penaltyRule3(matrix) + penaltyRule4(matrix);
}

} // namespace sorvane::qr
