#include "qr/Polynomial.h"

#include "qr/Texts.h"

#include <algorithm>
#include <string>

namespace sorvane::qr {

bool PolyBase::isZero() const
{
    if (m_coefficients.empty())
        failIndex("PolyBase", "isZero");
    return m_coefficients[0] == 0;
}

int PolyBase::coefficient(int degree) const
{
    const int index = static_cast<int>(m_coefficients.size()) - 1 - degree;
    if (index < 0 || index >= static_cast<int>(m_coefficients.size()))
        failIndex("PolyBase", "coefficient");
    return m_coefficients[index];
}

void PolyBase::init(const GF256 &field, std::vector<int> coefficients)
{
    if (coefficients.empty())
        reportModuleError();
    m_field = field;
    if (coefficients.size() >= 2 && coefficients[0] == 0) {
        const auto firstNonZero
            = std::find_if(coefficients.begin() + 1, coefficients.end(), [](int c) { return c != 0; });
        if (firstNonZero == coefficients.end())
            m_coefficients = field.zeroCoefficients();
        else
            m_coefficients.assign(firstNonZero, coefficients.end());
    } else {
        m_coefficients = std::move(coefficients);
    }
}

int PolyBase::evaluateAt(int a) const
{
    if (m_coefficients.empty())
        failIndex("PolyBase", "evaluateAt");
    if (a == 0)
        return m_coefficients.back();
    if (a == 1) {
        int sum = 0;
        for (int c : m_coefficients)
            sum = GF256::add(sum, c);
        return sum;
    }
    int r = m_coefficients[0];
    for (std::size_t i = 1; i < m_coefficients.size(); ++i)
        r = GF256::add(m_field.multiply(a, r), m_coefficients[i]);
    return r;
}

GbString PolyBase::toText() const
{
    // Terms from the highest power down, e.g. "1x^2+3x+2"; zero terms left out.
    GbString out;
    for (std::size_t i = 0; i < m_coefficients.size(); ++i) {
        const int c = m_coefficients[i];
        const int power = static_cast<int>(m_coefficients.size() - 1 - i);
        if (c == 0 && m_coefficients.size() > 1)
            continue;
        if (!out.empty())
            out += '+';
        out += std::to_string(c);
        if (power >= 1)
            out += 'x';
        if (power >= 2)
            out += '^' + std::to_string(power);
    }
    return out;
}

PolyBase GFP::加或减(const PolyBase &other) const
{
    if (!m_operand.field().sameFieldAs(other.field()))
        fail(texts::kGFP, texts::kAddOrSubtract, texts::kFieldsDiffer);
    if (m_operand.isZero())
        return other;
    if (other.isZero())
        return m_operand;
    const std::vector<int> *smaller = &m_operand.coefficients();
    const std::vector<int> *larger = &other.coefficients();
    if (larger->size() < smaller->size())
        std::swap(smaller, larger);
    std::vector<int> sum(*larger);
    const std::size_t difference = larger->size() - smaller->size();
    for (std::size_t i = difference; i < larger->size(); ++i)
        sum[i] = GF256::add((*smaller)[i - difference], (*larger)[i]);
    return PolyBase(m_operand.field(), std::move(sum));
}

PolyBase GFP::multiply(const PolyBase &other) const
{
    if (!m_operand.field().sameFieldAs(other.field()))
        fail(texts::kGFP, texts::kMultiply, texts::kFieldsDiffer);
    const GF256 &field = m_operand.field();
    if (m_operand.isZero() || other.isZero())
        return PolyBase(field, { 0 });
    const std::vector<int> &a = m_operand.coefficients();
    const std::vector<int> &b = other.coefficients();
    std::vector<int> product(a.size() + b.size() - 1, 0);
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j)
            product[i + j] = GF256::add(product[i + j], field.multiply(a[i], b[j]));
    return PolyBase(field, std::move(product));
}

PolyBase GFP::multiplyScalar(int scalar) const
{
    const GF256 &field = m_operand.field();
    if (scalar == 0)
        return PolyBase(field, { 0 });
    if (scalar == 1)
        return m_operand;
    std::vector<int> product(m_operand.coefficients());
    for (int &c : product)
        c = field.multiply(c, scalar);
    return PolyBase(field, std::move(product));
}

PolyBase GFP::叠加单项式(int degree, int coefficient) const
{
    if (degree < 0)
        fail(texts::kGFP, texts::kMultiplyByMonomial, texts::kDimensionBelowZero);
    const GF256 &field = m_operand.field();
    if (coefficient == 0)
        return PolyBase(field, { 0 });
    const std::vector<int> &a = m_operand.coefficients();
    std::vector<int> product(a.size() + static_cast<std::size_t>(degree), 0);
    for (std::size_t i = 0; i < a.size(); ++i)
        product[i] = field.multiply(a[i], coefficient);
    return PolyBase(field, std::move(product));
}

PolyBase GFP::构造单项式(int degree, int coefficient) const
{
    if (degree < 0)
        fail(texts::kGFP, texts::kBuildMonomial, texts::kDegreeBelowZero);
    const GF256 &field = m_operand.field();
    if (coefficient == 0)
        return PolyBase(field, { 0 });
    std::vector<int> monomial(static_cast<std::size_t>(degree) + 1, 0);
    monomial[0] = coefficient;
    return PolyBase(field, std::move(monomial));
}

void GFPP::分离(const PolyBase &divisor, std::array<PolyBase, 2> &results) const
{
    const PolyBase &dividend = operand2().operand();
    if (!dividend.field().sameFieldAs(divisor.field()))
        fail(texts::kGFPP, texts::kDivide, texts::kDivideFieldsDiffer);
    if (divisor.isZero())
        fail(texts::kGFPP, texts::kDivide, texts::kDivisorZero);
    const GF256 &field = dividend.field();
    const std::vector<int> &d = divisor.coefficients();
    const int inv = field.inverse(d[0]);

    // Long division in one working copy of the dividend. Each step cancels the
    // remainder's leading term, exactly as subtracting scale·x^diff·divisor would, so
    // quotient and remainder are the unique ones with deg(remainder) < deg(divisor).
    std::vector<int> work(dividend.coefficients());
    const std::size_t n = work.size();
    const std::size_t m = d.size();
    if (dividend.isZero() || n < m) {
        results[0] = PolyBase(field, { 0 });
        results[1] = dividend;
        return;
    }
    const std::size_t steps = n - m + 1;
    for (std::size_t i = 0; i < steps; ++i) {
        const int lead = work[i];
        if (lead == 0)
            continue;
        const int scale = field.multiply(lead, inv);
        work[i] = scale; // the quotient's coefficient takes the cancelled term's place
        for (std::size_t j = 1; j < m; ++j)
            work[i + j] = GF256::add(work[i + j], field.multiply(d[j], scale));
    }
    results[0] = PolyBase(field, std::vector<int>(work.begin(), work.begin() + static_cast<long>(steps)));
    if (steps == n) // a constant divisor leaves nothing over
        results[1] = PolyBase(field, { 0 });
    else
        results[1] = PolyBase(field, std::vector<int>(work.begin() + static_cast<long>(steps), work.end()));
}

} // namespace sorvane::qr
