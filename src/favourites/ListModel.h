// A report list as plain data: titled columns with widths, rows of texts, and the list's
// display settings. The favourites widget shows one of these; the list file stores it.
#pragma once

#include "text/Encoding.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace sorvane::favourites {

using text::GbString;

struct ListColumn
{
    GbString title;
    int width = 0; // pixels; 0 hides the column
    bool centred = false; // text alignment; shown only, not stored in the list file
};

// How the list widget looks and behaves, as it reports itself when the list is saved.
// The list file stores these but never reads them back. Colours are Windows COLORREF
// values (red in the lowest byte); system colours are their own, possibly negative, codes.
struct ListDisplaySettings
{
    int width = 0;
    int height = 0;
    int border = 0;
    bool visible = true;
    std::int32_t textColor = 0x000000;
    std::int32_t textBackColor = 0xFFFFFF;
    std::int32_t backgroundColor = 0xFFFFFF;
    bool noHead = false; // no column header
    bool selectRow = true; // a click selects the whole row
    bool clickHead = false; // headers can be clicked
    bool showListBorder = false; // grid lines
    bool dragHead = false; // columns can be reordered by dragging their header
    bool editAllow = false; // cells can be edited in place
    int sortAllow = 0; // sort style
    bool checkBox = false; // rows carry check boxes
    bool flatScrollBar = false;
    bool selectOnly = true; // one row at most is selected
    int selectNow = -1; // selected row, -1 for none
    bool showSelectAlways = true;

    bool operator==(const ListDisplaySettings &) const = default;
};

// Rows are numbered from 0 in list order. A row holds the cells set so far; any other
// cell, inside the columns or not, reads as an empty text, so an empty row costs little.
class ListModel
{
public:
    ListModel() = default;
    explicit ListModel(std::vector<ListColumn> columns)
        : m_columns(std::move(columns))
    {
    }

    std::size_t columnCount() const { return m_columns.size(); }
    const std::vector<ListColumn> &columns() const { return m_columns; }
    // Requires column < columnCount().
    ListColumn &column(std::size_t column) { return m_columns[column]; }
    const ListColumn &column(std::size_t column) const { return m_columns[column]; }
    // Adds a column at the end; its cells read as empty.
    void appendColumn(ListColumn column) { m_columns.push_back(std::move(column)); }

    std::size_t rowCount() const { return m_rows.size(); }
    const GbString &cell(std::size_t row, std::size_t column) const;
    // Requires row < rowCount(); a column beyond the row's cells extends the row.
    void setCell(std::size_t row, std::size_t column, GbString text);
    // Adds a row at the end. Returns its index.
    std::size_t appendRow(std::vector<GbString> cells = {});
    // Requires row < rowCount().
    void removeRow(std::size_t row);
    // Removes every row whose cell in `column` is exactly `text` (byte for byte), also
    // rows that stand next to each other. Returns how many were removed.
    std::size_t removeRowsWhere(std::size_t column, std::string_view text);
    // The first row whose cell in `column` is exactly `text`.
    std::optional<std::size_t> findRow(std::size_t column, std::string_view text) const;
    void clearRows() { m_rows.clear(); }

    ListDisplaySettings &displaySettings() { return m_settings; }
    const ListDisplaySettings &displaySettings() const { return m_settings; }

private:
    std::vector<ListColumn> m_columns;
    std::vector<std::vector<GbString>> m_rows;
    ListDisplaySettings m_settings;
};

} // namespace sorvane::favourites
