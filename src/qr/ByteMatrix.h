// A rectangular grid of byte cells: the working surface of the matrix builder (0 light,
// 1 dark, 255 empty) and the output of rendering (1 dark pixel, 0 light pixel).
#pragma once

#include "qr/ModuleError.h"

#include <cstdint>
#include <vector>

namespace sorvane::qr {

// A whole matrix or table handed over; exactly one of the arrays carries data. All are
// indexed [row][column].
struct MatrixData
{
    std::vector<std::vector<GbString>> texts;
    std::vector<std::vector<std::int32_t>> integers;
    std::vector<std::vector<double>> reals;
    std::vector<std::vector<std::uint8_t>> bytes;
};

class 字节矩阵类
{
public:
    int height() const { return m_height; }
    int width() const { return m_width; }
    // A copy of the cells in MatrixData::bytes.
    MatrixData cellArray() const;
    // Copies source[i][j] into row i, column j; width and height stay.
    void 置字节矩阵(const std::vector<std::vector<std::uint8_t>> &source);
    // width columns × height rows, every cell 0. Both must be positive.
    void init(int width, int height);
    std::uint8_t cellAt(int x, int y) const
    {
        checkCell(x, y);
        return m_cells[index(x, y)];
    }
    void setCell(int x, int y, std::uint8_t value)
    {
        checkCell(x, y);
        m_cells[index(x, y)] = value;
    }
    void clear(std::uint8_t value = 0);

    // The cells row by row, for the module's loops over the whole grid.
    const std::uint8_t *data() const { return m_cells.data(); }
    std::uint8_t *data() { return m_cells.data(); }

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x);
    }
    void checkCell(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) [[unlikely]]
            failOutside();
    }
    [[noreturn]] void failOutside() const;

    std::vector<std::uint8_t> m_cells; // row-major, m_width per row
    int m_width = 0;
    int m_height = 0;
};

} // namespace sorvane::qr
