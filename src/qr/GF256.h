// Arithmetic in GF(256), the field of the QR code's Reed-Solomon codes.
#pragma once

#include "qr/ModuleError.h"

#include <array>
#include <memory>
#include <vector>

namespace sorvane::qr {

class GF256
{
public:
    using Table = std::array<int, 256>;

    // An empty field: no tables, empty description. init() fills it.
    GF256() = default;

    GbString describe() const { return m_description; }
    const std::vector<int> &zeroCoefficients() const { return m_zeroCoefficients; }

    // Builds the tables for the primitive polynomial (285 for QR codes).
    void init(int primitive);

    static int add(int a, int b) { return a ^ b; }
    int exp(int a) const;
    int log(int a) const; // log of 0 is an error
    int inverse(int a) const; // inverse of 0 is an error
    int multiply(int a, int b) const
    {
        if (a == 0 || b == 0)
            return 0;
        if (a == 1)
            return b;
        if (b == 1)
            return a;
        if (!m_tables || a < 0 || a > 255 || b < 0 || b > 255) [[unlikely]]
            failElement("multiply");
        return m_tables->exp[(m_tables->log[a] + m_tables->log[b]) % 255];
    }

    const Table &expTable() const;
    const Table &logTable() const;

    // Two fields are the same field exactly when their descriptions are equal.
    bool sameFieldAs(const GF256 &other) const { return m_description == other.m_description; }

private:
    struct Tables
    {
        Table exp {};
        Table log {};
    };

    void checkElement(int a, std::string_view method) const;
    [[noreturn]] static void failElement(std::string_view method);

    // The tables never change after init(), which replaces them as a whole, so copies
    // of a field share them without anyone being able to tell.
    std::shared_ptr<const Tables> m_tables;
    GbString m_description;
    std::vector<int> m_zeroCoefficients;
};

// The field of every QR code: primitive polynomial x^8 + x^4 + x^3 + x^2 + 1 (285).
const GF256 &qrField();

} // namespace sorvane::qr
