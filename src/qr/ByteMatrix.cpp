#include "qr/ByteMatrix.h"

#include "qr/Texts.h"

#include <algorithm>

namespace sorvane::qr {

MatrixData 字节矩阵类::cellArray() const
{
    MatrixData out;
    out.bytes.reserve(static_cast<std::size_t>(m_height));
    for (int y = 0; y < m_height; ++y) {
        const auto row = m_cells.begin() + static_cast<long>(y) * m_width;
        out.bytes.emplace_back(row, row + m_width);
    }
    return out;
}

void 字节矩阵类::置字节矩阵(const std::vector<std::vector<std::uint8_t>> &source)
{
    if (source.empty() || source[0].empty())
        fail(texts::kByteMatrix, texts::kSetByteMatrix, texts::kNotAMatrix);
    if (static_cast<long>(source.size()) > m_height)
        failIndex(texts::kByteMatrix, texts::kSetByteMatrix);
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (static_cast<long>(source[i].size()) > m_width)
            failIndex(texts::kByteMatrix, texts::kSetByteMatrix);
        std::copy(source[i].begin(), source[i].end(), m_cells.begin() + static_cast<long>(i) * m_width);
    }
}

void 字节矩阵类::init(int width, int height)
{
    if (width <= 0 || height <= 0)
        fail(texts::kByteMatrix, "init", texts::kBadSize);
    m_cells.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    m_width = width;
    m_height = height;
}

void 字节矩阵类::failOutside() const
{
    failIndex(texts::kByteMatrix, "cellAt");
}

void 字节矩阵类::clear(std::uint8_t value)
{
    std::fill(m_cells.begin(), m_cells.end(), value);
}

} // namespace sorvane::qr
