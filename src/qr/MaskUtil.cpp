#include "qr/MaskUtil.h"

#include "qr/QrCode.h"
#include "qr/Texts.h"

#include <cstdlib>

namespace sorvane::qr {

bool 掩码辅助类::取数据掩码位(int mask, int x, int y)
{
    if (!二维码类::isValidMaskPattern(mask))
        fail(texts::kMaskUtil, texts::kDataMaskBit, texts::kMaskInvalidDot);
    int expression = 0;
    switch (mask) {
    case 0:
        expression = (x + y) & 1;
        break;
    case 1:
        expression = y & 1;
        break;
    case 2:
        expression = x % 3;
        break;
    case 3:
        expression = (x + y) % 3;
        break;
    case 4:
        expression = (static_cast<int>(static_cast<unsigned>(y) >> 1) + x / 3) & 1;
        break;
    case 5: {
        const int p = x * y;
        expression = (p & 1) + p % 3;
        break;
    }
    case 6: {
        const int p = x * y;
        expression = ((p & 1) + p % 3) & 1;
        break;
    }
    default: {
        const int p = x * y;
        expression = ((p % 3) + ((x + y) & 1)) & 1;
        break;
    }
    }
    return expression == 0;
}

int 掩码辅助类::penaltyRule1(const 字节矩阵类 &matrix)
{
    return penaltyRule1Lines(matrix, true) + penaltyRule1Lines(matrix, false);
}

int 掩码辅助类::penaltyRule1Lines(const 字节矩阵类 &matrix, bool horizontal)
{
    const int width = matrix.width();
    const int height = matrix.height();
    const std::uint8_t *cells = matrix.data();
    const int outerCount = horizontal ? height : width;
    const int innerCount = horizontal ? width : height;
    const int outerStep = horizontal ? width : 1;
    const int innerStep = horizontal ? 1 : width;
    int penalty = 0;
    int count = 0;
    int previous = -1;
    for (int outer = 0; outer < outerCount; ++outer) {
        const std::uint8_t *cell = cells + static_cast<long>(outer) * outerStep;
        for (int inner = 0; inner < innerCount; ++inner, cell += innerStep) {
            const int value = *cell;
            if (value == previous) {
                ++count;
                if (count == 5)
                    penalty += 3;
                else if (count > 5)
                    penalty += 1;
            } else {
                count = 1;
                previous = value;
            }
        }
        count = 0;
    }
    return penalty;
}

int 掩码辅助类::penaltyRule2(const 字节矩阵类 &matrix)
{
    const int width = matrix.width();
    const std::uint8_t *cells = matrix.data();
    int penalty = 0;
    for (int y = 0; y + 1 < matrix.height(); ++y) {
        const std::uint8_t *row = cells + static_cast<long>(y) * width;
        const std::uint8_t *next = row + width;
        for (int x = 0; x + 1 < width; ++x) {
            const std::uint8_t v = row[x];
            if (v == row[x + 1] && v == next[x] && v == next[x + 1])
                penalty += 3;
        }
    }
    return penalty;
}

namespace {

// The finder-like run 1 0 1 1 1 0 1 starting at `cell`, with four light modules inside
// the matrix after it or before it. `step` walks along the line; `before` and `after`
// are the cells available in each direction from `cell` (excluding it).
bool finderLike(const std::uint8_t *cell, long step, int before, int after)
{
    static constexpr std::uint8_t pattern[7] = { 1, 0, 1, 1, 1, 0, 1 };
    if (after < 6)
        return false;
    for (int i = 0; i < 7; ++i)
        if (cell[i * step] != pattern[i])
            return false;
    const auto lightRun = [&](int from, int direction) {
        for (int i = 0; i < 4; ++i)
            if (cell[(from + direction * i) * step] != 0)
                return false;
        return true;
    };
    return (after >= 10 && lightRun(7, 1)) || (before >= 4 && lightRun(-1, -1));
}

} // namespace

int 掩码辅助类::penaltyRule3(const 字节矩阵类 &matrix)
{
    const int width = matrix.width();
    const int height = matrix.height();
    const std::uint8_t *cells = matrix.data();
    int penalty = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t *cell = cells + static_cast<long>(y) * width + x;
            if (*cell != 1)
                continue; // both runs start dark
            if (finderLike(cell, 1, x, width - 1 - x))
                penalty += 40;
            if (finderLike(cell, width, y, height - 1 - y))
                penalty += 40;
        }
    }
    return penalty;
}

int 掩码辅助类::penaltyRule4(const 字节矩阵类 &matrix)
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

} // namespace sorvane::qr
