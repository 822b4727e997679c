#include "qr/GF256.h"
#include "qr/Polynomial.h"
#include "qr/QrTestSupport.h"
#include "qr/RsEncoder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace sorvane::qr {
namespace {

using test::report;
using test::reportOf;
using Coefficients = std::vector<int>;

TEST(GF256, QrFieldTables)
{
    const GF256 &f = qrField();
    EXPECT_EQ(f.exp(0), 1);
    EXPECT_EQ(f.exp(1), 2);
    EXPECT_EQ(f.exp(8), 29);
    EXPECT_EQ(f.exp(255), 1);
    EXPECT_EQ(f.log(2), 1);
    EXPECT_EQ(f.log(1), 0);
    EXPECT_EQ(f.describe(), "GF256:285");
    EXPECT_EQ(f.zeroCoefficients(), Coefficients { 0 });
}

TEST(GF256, MultiplyTestsZeroBeforeOne)
{
    struct Case
    {
        int a, b, product;
    };
    const Case cases[] = { { 0, 7, 0 }, { 7, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 }, { 1, 9, 9 }, { 9, 1, 9 },
        { 2, 128, 29 }, { 3, 3, 5 } };
    for (const Case &c : cases)
        EXPECT_EQ(qrField().multiply(c.a, c.b), c.product) << c.a << " * " << c.b;
}

TEST(GF256, EveryNonZeroElementHasAnInverse)
{
    const GF256 &f = qrField();
    EXPECT_EQ(f.inverse(1), 1);
    for (int a = 1; a < 256; ++a) {
        EXPECT_EQ(f.multiply(a, f.inverse(a)), 1) << a;
        EXPECT_EQ(GF256::add(a, a), 0);
        EXPECT_EQ(f.exp(f.log(a)), a);
    }
}

TEST(GF256, ReportsZeroAndIndexesOutsideTheTables)
{
    EXPECT_EQ(reportOf([] { qrField().log(0); }), report("无", "无", "无"));
    EXPECT_EQ(reportOf([] { qrField().inverse(0); }), report("无", "无", "无"));
    const auto outside = reportOf([] { qrField().exp(300); });
    ASSERT_TRUE(outside);
    EXPECT_EQ(outside->source, "GF256");
    EXPECT_TRUE(reportOf([] { qrField().multiply(2, 256); }));
}

TEST(GF256, CopiesAreIndependentValues)
{
    GF256 other = qrField();
    other.init(301);
    EXPECT_EQ(other.describe(), "GF256:301");
    EXPECT_FALSE(other.sameFieldAs(qrField()));
    EXPECT_EQ(qrField().exp(8), 29);
    EXPECT_NE(other.exp(8), 29);
}

TEST(PolyBase, InitDropsLeadingZeros)
{
    const std::pair<Coefficients, Coefficients> cases[] = { { { 0, 0, 5 }, { 5 } }, { { 0, 0 }, { 0 } },
        { { 0 }, { 0 } }, { { 7, 0 }, { 7, 0 } }, { { 0, 3, 0, 1 }, { 3, 0, 1 } } };
    for (const auto &[given, stored] : cases)
        EXPECT_EQ(PolyBase(qrField(), given).coefficients(), stored);
    EXPECT_EQ(reportOf([] { PolyBase(qrField(), {}); }), report("无", "无", "无"));
}

TEST(PolyBase, CoefficientsDegreeAndValues)
{
    const PolyBase p(qrField(), { 1, 3, 2 }); // (x + 1)(x + 2)
    EXPECT_EQ(p.coefficient(0), 2);
    EXPECT_EQ(p.coefficient(2), 1);
    EXPECT_EQ(p.degree(), 2);
    EXPECT_FALSE(p.isZero());
    EXPECT_EQ(p.evaluateAt(0), 2);
    EXPECT_EQ(p.evaluateAt(1), 0);
    EXPECT_EQ(p.evaluateAt(2), 0);
    EXPECT_EQ(p.evaluateAt(3), 2); // (3 + 1)(3 + 2) = 2 · 1
    EXPECT_TRUE(reportOf([&] { p.coefficient(3); }));
}

GFP boundTo(const Coefficients &c)
{
    GFP g;
    g.setOperand(PolyBase(qrField(), c));
    return g;
}

TEST(GFP, Arithmetic)
{
    const PolyBase p(qrField(), { 1, 3, 2 });
    EXPECT_EQ(boundTo({ 1, 3, 2 }).加或减(p).coefficients(), Coefficients { 0 });
    EXPECT_EQ(
        boundTo({ 1, 3, 2 }).加或减(PolyBase(qrField(), { 5 })).coefficients(), (Coefficients { 1, 3, 7 }));
    EXPECT_EQ(boundTo({ 0 }).加或减(p).coefficients(), p.coefficients());
    EXPECT_EQ(boundTo({ 1, 1 }).multiply(PolyBase(qrField(), { 1, 2 })).coefficients(), p.coefficients());
    EXPECT_EQ(boundTo({ 1, 3, 2 }).multiply(PolyBase(qrField(), { 0 })).coefficients(), Coefficients { 0 });
    EXPECT_EQ(boundTo({ 1, 3, 2 }).multiplyScalar(2).coefficients(), (Coefficients { 2, 6, 4 }));
    EXPECT_EQ(boundTo({ 1, 3, 2 }).multiplyScalar(0).coefficients(), Coefficients { 0 });
    EXPECT_EQ(boundTo({ 1, 3, 2 }).叠加单项式(2, 2).coefficients(), (Coefficients { 2, 6, 4, 0, 0 }));
    EXPECT_EQ(boundTo({ 1, 3, 2 }).叠加单项式(2, 0).coefficients(), Coefficients { 0 });
    EXPECT_EQ(boundTo({ 1 }).构造单项式(3, 5).coefficients(), (Coefficients { 5, 0, 0, 0 }));
}

TEST(GFP, Reports)
{
    GF256 otherField;
    otherField.init(301);
    const PolyBase foreign(otherField, { 1, 1 });
    EXPECT_EQ(reportOf([&] { boundTo({ 1 }).加或减(foreign); }), report("GFP", "加或减", "GF256信息不相同"));
    EXPECT_EQ(
        reportOf([&] { boundTo({ 1 }).multiply(foreign); }), report("GFP", "multiply", "GF256信息不相同"));
    EXPECT_EQ(reportOf([] { boundTo({ 1 }).叠加单项式(-1, 1); }), report("GFP", "叠加单项式", "维度小于0"));
    EXPECT_EQ(reportOf([] { boundTo({ 1 }).构造单项式(-1, 1); }), report("GFP", "构造单项式", "度小于0"));
}

std::array<PolyBase, 2> divide(const Coefficients &dividend, const Coefficients &divisor)
{
    GFPP division;
    division.setOperand2(boundTo(dividend));
    std::array<PolyBase, 2> results;
    division.分离(PolyBase(qrField(), divisor), results);
    return results;
}

TEST(GFPP, DivisionGivesQuotientAndRemainder)
{
    // (x^2 + 3x + 2)(x + 5) + 7 divided by (x + 5)
    const PolyBase product = boundTo({ 1, 3, 2 }).multiply(PolyBase(qrField(), { 1, 5 }));
    const PolyBase dividend = boundTo(product.coefficients()).加或减(PolyBase(qrField(), { 7 }));
    auto results = divide(dividend.coefficients(), { 1, 5 });
    EXPECT_EQ(results[0].coefficients(), (Coefficients { 1, 3, 2 }));
    EXPECT_EQ(results[1].coefficients(), Coefficients { 7 });

    results = divide({ 1, 3, 2 }, { 1, 3, 2 });
    EXPECT_EQ(results[0].coefficients(), Coefficients { 1 });
    EXPECT_EQ(results[1].coefficients(), Coefficients { 0 });

    results = divide({ 4, 1 }, { 1, 0, 0 }); // dividend of lower degree
    EXPECT_EQ(results[0].coefficients(), Coefficients { 0 });
    EXPECT_EQ(results[1].coefficients(), (Coefficients { 4, 1 }));

    results = divide({ 6, 4, 2 }, { 2 }); // constant divisor
    EXPECT_EQ(results[0].coefficients(), (Coefficients { 3, 2, 1 }));
    EXPECT_EQ(results[1].coefficients(), Coefficients { 0 });
}

TEST(GFPP, Reports)
{
    EXPECT_EQ(reportOf([] { divide({ 1, 2 }, { 0 }); }), report("GFPP", "分离", "除数为0"));
    GF256 otherField;
    otherField.init(301);
    GFPP division;
    division.setOperand2(boundTo({ 1, 2 }));
    std::array<PolyBase, 2> results;
    EXPECT_EQ(reportOf([&] {
        division.分离(PolyBase(otherField, { 1, 1 }), results);
    }),
        report("GFPP", "分离", "GF256不同"));
}

TEST(RsEncoder, GeneratorPolynomials)
{
    RS编码器类 encoder;
    encoder.RS编码器(qrField());
    EXPECT_EQ(encoder.generator(0).coefficients(), Coefficients { 1 });
    EXPECT_EQ(encoder.generator(7).coefficients(), (Coefficients { 1, 127, 122, 154, 164, 11, 68, 117 }));
    EXPECT_EQ(encoder.generator(1).coefficients(), (Coefficients { 1, 1 }));
    EXPECT_EQ(encoder.generator(2).coefficients(), (Coefficients { 1, 3, 2 }));
}

TEST(RsEncoder, IsoWorkedExampleVersion1M)
{
    std::vector<int> codewords = { 16, 32, 12, 86, 97, 128, 236, 17, 236, 17, 236, 17, 236, 17, 236, 17 };
    codewords.resize(26, 0);
    RS编码器类 encoder;
    encoder.RS编码器(qrField());
    encoder.编码(codewords, 10);
    const std::vector<int> ec(codewords.begin() + 16, codewords.end());
    EXPECT_EQ(ec, (std::vector<int> { 165, 36, 212, 193, 237, 54, 199, 135, 44, 85 }));
}

TEST(RsEncoder, ShortRemainderIsWrittenRightAligned)
{
    // 3x^3 + 7x^2 leaves 0x + 4 modulo x^2 + 3x + 2.
    std::vector<int> codewords = { 3, 7, 99, 99 };
    RS编码器类 encoder;
    encoder.RS编码器(qrField());
    encoder.编码(codewords, 2);
    EXPECT_EQ(codewords, (std::vector<int> { 3, 7, 0, 4 }));
}

TEST(RsEncoder, CodewordsVanishAtTheGeneratorRoots)
{
    std::mt19937 random(7);
    for (const auto &[dataBytes, ecBytes] :
        { std::pair { 1, 7 }, { 19, 7 }, { 15, 30 }, { 119, 30 }, { 43, 24 } }) {
        std::vector<int> codewords(static_cast<std::size_t>(dataBytes + ecBytes), 0);
        for (int i = 0; i < dataBytes; ++i)
            codewords[static_cast<std::size_t>(i)] = static_cast<int>(random() % 256);
        RS编码器类 encoder;
        encoder.RS编码器(qrField());
        encoder.编码(codewords, ecBytes);
        const PolyBase c(qrField(), codewords);
        for (int i = 0; i < ecBytes; ++i)
            EXPECT_EQ(c.evaluateAt(qrField().exp(i)), 0) << dataBytes << "+" << ecBytes << " root " << i;
    }
}

TEST(RsEncoder, Reports)
{
    RS编码器类 encoder;
    encoder.RS编码器(qrField());
    std::vector<int> codewords(10, 1);
    EXPECT_EQ(reportOf([&] { encoder.编码(codewords, 0); }), report("RS编码器类", "编码", "没有容错字节"));
    EXPECT_EQ(reportOf([&] { encoder.编码(codewords, 10); }), report("RS编码器类", "编码", "未提供数据字节"));
    GF256 otherField;
    otherField.init(301);
    EXPECT_EQ(reportOf([&] { RS编码器类().RS编码器(otherField); }),
        report("RS编码器类", "RS编码器", "GF标识不相同"));
}

} // namespace
} // namespace sorvane::qr
