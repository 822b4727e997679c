// Polynomials over GF(256): a value class (PolyBase), an arithmetic object bound to one
// operand (GFP) and one that adds division (GFPP).
#pragma once

#include "qr/GF256.h"

#include <array>
#include <vector>

namespace sorvane::qr {

class PolyBase
{
public:
    PolyBase() = default;
    PolyBase(const GF256 &field, std::vector<int> coefficients) { init(field, std::move(coefficients)); }

    const GF256 &field() const { return m_field; }
    // Highest power first; the zero polynomial is exactly {0}.
    const std::vector<int> &coefficients() const { return m_coefficients; }
    int degree() const { return static_cast<int>(m_coefficients.size()) - 1; }
    bool isZero() const;
    int coefficient(int degree) const; // of x^degree

    // Leading zeros are dropped; an empty list is an error.
    void init(const GF256 &field, std::vector<int> coefficients);
    int evaluateAt(int a) const;
    GbString toText() const;

private:
    std::vector<int> m_coefficients;
    GF256 m_field;
};

class GFP : public PolyBase
{
public:
    void setOperand(PolyBase p) { m_operand = std::move(p); }
    const PolyBase &operand() const { return m_operand; }

    PolyBase 加或减(const PolyBase &other) const;
    PolyBase multiply(const PolyBase &other) const;
    PolyBase multiplyScalar(int scalar) const;
    // operand × coefficient·x^degree
    PolyBase 叠加单项式(int degree, int coefficient) const;
    // coefficient·x^degree over the operand's field
    PolyBase 构造单项式(int degree, int coefficient) const;

private:
    PolyBase m_operand;
};

class GFPP : public GFP
{
public:
    void setOperand2(GFP g) { m_operand2 = std::move(g); }
    const GFP &operand2() const { return m_operand2; }

    // results[0] ← quotient, results[1] ← remainder of operand2's operand by divisor.
    void 分离(const PolyBase &divisor, std::array<PolyBase, 2> &results) const;

private:
    GFP m_operand2;
};

} // namespace sorvane::qr
