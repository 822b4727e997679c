#include "qr/GF256.h"

#include "qr/Texts.h"

#include <string>

namespace sorvane::qr {

void GF256::init(int primitive)
{
    m_description = "GF256:" + std::to_string(primitive);
    auto tables = std::make_shared<Tables>();
    int x = 1;
    for (int i = 0; i < 256; ++i) {
        tables->exp[i] = x;
        x <<= 1;
        if (x >= 256)
            x ^= primitive;
    }
    // 255 steps, not 256: log[1] stays 0 instead of being overwritten with 255.
    for (int i = 0; i < 255; ++i) {
        const int e = tables->exp[i];
        if (e < 0 || e > 255)
            failIndex(texts::kGF256, "init");
        tables->log[e] = i;
    }
    m_tables = std::move(tables);
    m_zeroCoefficients = { 0 };
}

void GF256::checkElement(int a, std::string_view method) const
{
    if (!m_tables || a < 0 || a > 255)
        failElement(method);
}

void GF256::failElement(std::string_view method)
{
    failIndex(texts::kGF256, method);
}

int GF256::exp(int a) const
{
    checkElement(a, "exp");
    return m_tables->exp[a];
}

int GF256::log(int a) const
{
    if (a == 0)
        reportModuleError();
    checkElement(a, "log");
    return m_tables->log[a];
}

int GF256::inverse(int a) const
{
    if (a == 0)
        reportModuleError();
    checkElement(a, "inverse");
    return m_tables->exp[255 - m_tables->log[a]];
}

const GF256::Table &GF256::expTable() const
{
    static const Table empty {};
    return m_tables ? m_tables->exp : empty;
}

const GF256::Table &GF256::logTable() const
{
    static const Table empty {};
    return m_tables ? m_tables->log : empty;
}

} // namespace sorvane::qr
