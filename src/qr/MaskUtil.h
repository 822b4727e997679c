// The eight data-mask conditions and the four penalty rules of a masked symbol.
#pragma once

#include "qr/ByteMatrix.h"

namespace sorvane::qr {

class 掩码辅助类
{
public:
    // True when the mask inverts the data bit at (x, y).
    static bool 取数据掩码位(int mask, int x, int y);
    static int penaltyRule1(const 字节矩阵类 &matrix);
    static int penaltyRule2(const 字节矩阵类 &matrix);
    static int penaltyRule3(const 字节矩阵类 &matrix);
    static int penaltyRule4(const 字节矩阵类 &matrix);
    static int penaltyRule1Lines(const 字节矩阵类 &matrix, bool horizontal);
};

} // namespace sorvane::qr
