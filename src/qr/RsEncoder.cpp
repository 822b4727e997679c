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
    for (int d = static_cast<int>(m_cachedGenerators.size()); d <= degree; ++d) {
        // last × (x + α^(d−1)), multiplied out directly: the coefficients of the general
        // product with {1, α^(d−1)}, without building the factor and its copies.
        const std::vector<int> &last = m_cachedGenerators.back().coefficients();
        const int root = m_field.exp(d - 1);
        std::vector<int> next(last.size() + 1);
        next[0] = last[0];
        for (std::size_t i = 1; i < last.size(); ++i)
            next[i] = GF256::add(last[i], m_field.multiply(last[i - 1], root));
        next[last.size()] = m_field.multiply(last.back(), root);
        m_cachedGenerators.emplace_back(m_field, std::move(next));
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
