// The eight data-mask conditions and the four penalty rules of a masked symbol.
#pragma once

#include "qr/ByteMatrix.h"

namespace sorvane::qr {

class 掩码辅助类
{
public:
    // True when the mask inverts the data bit at (x, y); x, y ≥ 0.
    static bool 取数据掩码位(int mask, int x, int y)
    {
        switch (mask) {
        case 0:
            return ((x + y) & 1) == 0;
        case 1:
            return (y & 1) == 0;
        case 2:
            return x % 3 == 0;
        case 3:
            return (x + y) % 3 == 0;
        case 4:
            return ((static_cast<int>(static_cast<unsigned>(y) >> 1) + x / 3) & 1) == 0;
        case 5:
            return (x * y & 1) + x * y % 3 == 0;
        case 6:
            return (((x * y & 1) + x * y % 3) & 1) == 0;
        case 7:
            return ((x * y % 3 + ((x + y) & 1)) & 1) == 0;
        default:
            failInvalidMask();
        }
    }
    static int penaltyRule1(const 字节矩阵类 &matrix);
    static int penaltyRule2(const 字节矩阵类 &matrix);
    static int penaltyRule3(const 字节矩阵类 &matrix);
    static int penaltyRule4(const 字节矩阵类 &matrix);
    static int penaltyRule1Lines(const 字节矩阵类 &matrix, bool horizontal);
    // The four rules together, reading the matrix once.
    static int penaltyTotal(const 字节矩阵类 &matrix);

private:
    [[noreturn]] static void failInvalidMask();
};

} // namespace sorvane::qr
