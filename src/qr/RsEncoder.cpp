#include "qr/RsEncoder.h"

#include "qr/Texts.h"

#include <array>

namespace sorvane::qr {

void RS编码器类::RS编码器(const GF256 &field)
{
    if (!qrField().sameFieldAs(field))
        fail(texts::kRsEncoder, texts::kRsInit, texts::kRsFieldDiffers);
    m_field = field;
    m_cachedGenerators.assign(1, PolyBase(m_field, { 1 }));
}

PolyBase RS编码器类::generator(int degree)
{
    if (degree < 0 || m_cachedGenerators.empty())
        failIndex(texts::kRsEncoder, "generator");
    if (degree >= static_cast<int>(m_cachedGenerators.size())) {
        GFP arithmetic;
        arithmetic.setOperand(m_cachedGenerators.back());
        for (int d = static_cast<int>(m_cachedGenerators.size()); d <= degree; ++d) {
            PolyBase next = arithmetic.multiply(PolyBase(m_field, { 1, m_field.exp(d - 1) }));
            m_cachedGenerators.push_back(next);
            arithmetic.setOperand(std::move(next));
        }
    }
    return m_cachedGenerators[static_cast<std::size_t>(degree)];
}

void RS编码器类::编码(std::vector<int> &toEncode, int ecBytes)
{
    if (ecBytes == 0)
        fail(texts::kRsEncoder, texts::kEncode, texts::kNoEcBytes);
    const int dataBytes = static_cast<int>(toEncode.size()) - ecBytes;
    if (dataBytes < 1)
        fail(texts::kRsEncoder, texts::kEncode, texts::kNoDataBytes);
    if (ecBytes < 0)
        failIndex(texts::kRsEncoder, texts::kEncode);
    const PolyBase gen = generator(ecBytes);

    GFP shifter;
    shifter.setOperand(PolyBase(m_field, std::vector<int>(toEncode.begin(), toEncode.begin() + dataBytes)));
    GFP dividend;
    dividend.setOperand(shifter.叠加单项式(ecBytes, 1));
    GFPP division;
    division.setOperand2(std::move(dividend));
    std::array<PolyBase, 2> results;
    division.分离(gen, results);

    const std::vector<int> &r = results[1].coefficients();
    const int zeros = ecBytes - static_cast<int>(r.size());
    if (zeros < 0)
        failIndex(texts::kRsEncoder, texts::kEncode);
    for (int i = 0; i < zeros; ++i)
        toEncode[static_cast<std::size_t>(dataBytes + i)] = 0;
    for (std::size_t i = 0; i < r.size(); ++i)
        toEncode[static_cast<std::size_t>(dataBytes + zeros) + i] = r[i];
}

} // namespace sorvane::qr
