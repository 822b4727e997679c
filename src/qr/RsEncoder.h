// Reed-Solomon encoder: the error-correction codewords of one block.
#pragma once

#include "qr/Polynomial.h"

#include <vector>

namespace sorvane::qr {

class RS编码器类
{
public:
    // Initialises the encoder; only the QR field (primitive 285) is accepted.
    void RS编码器(const GF256 &field);

    // The generator polynomial (x + α^0)…(x + α^(degree−1)); the cache grows as needed.
    PolyBase generator(int degree);

    // Overwrites the last ecBytes entries of toEncode with the error-correction
    // codewords of the entries before them.
    void 编码(std::vector<int> &toEncode, int ecBytes);

private:
    GF256 m_field;
    std::vector<PolyBase> m_cachedGenerators;
};

} // namespace sorvane::qr
