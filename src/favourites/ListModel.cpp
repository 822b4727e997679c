#include "favourites/ListModel.h"

#include <algorithm>

namespace sorvane::favourites {

namespace {
const GbString kEmpty;
}

const GbString &ListModel::cell(std::size_t row, std::size_t column) const
{
    if (row >= m_rows.size() || column >= m_rows[row].size())
        return kEmpty;
    return m_rows[row][column];
}

void ListModel::setCell(std::size_t row, std::size_t column, GbString text)
{
    std::vector<GbString> &cells = m_rows[row];
    if (column >= cells.size())
        cells.resize(column + 1);
    cells[column] = std::move(text);
}

std::size_t ListModel::appendRow(std::vector<GbString> cells)
{
    m_rows.push_back(std::move(cells));
    return m_rows.size() - 1;
}

void ListModel::removeRow(std::size_t row)
{
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(row));
}

std::size_t ListModel::removeRowsWhere(std::size_t column, std::string_view text)
{
    const std::size_t before = m_rows.size();
    std::erase_if(m_rows, [&](const std::vector<GbString> &row) {
        return (column < row.size() ? std::string_view(row[column]) : std::string_view()) == text;
    });
    return before - m_rows.size();
}

std::optional<std::size_t> ListModel::findRow(std::size_t column, std::string_view text) const
{
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        if (cell(r, column) == text)
            return r;
    return std::nullopt;
}

} // namespace sorvane::favourites
