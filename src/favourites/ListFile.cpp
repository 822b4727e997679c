#include "favourites/ListFile.h"

#include "favourites/GbTexts.h"

#include <algorithm>
#include <limits>
#include <string>

namespace sorvane::favourites {

using storage::IniFile;

namespace {

const char *flag(bool on)
{
    return on ? "1" : "0";
}

std::size_t readCount(const IniFile &file, const char *key, std::size_t limit)
{
    const std::int64_t n = storage::parseWholeNumber(file.get("Rect", key, "0"));
    return n <= 0 ? 0 : static_cast<std::size_t>(std::min<std::int64_t>(n, static_cast<std::int64_t>(limit)));
}

int toInt(std::int64_t n)
{
    return static_cast<int>(
        std::clamp<std::int64_t>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

void writeListFile(const ListModel &list, IniFile &file)
{
    using std::to_string;
    file.set("Rect", "Rows", to_string(list.rowCount()));
    file.set("Rect", "Cols", to_string(list.columnCount()));

    const ListDisplaySettings &s = list.displaySettings();
    file.set("Setting", "Width", to_string(s.width));
    file.set("Setting", "Height", to_string(s.height));
    file.set("Setting", "Border", to_string(s.border));
    file.set("Setting", "Visible", s.visible ? gb::yes() : gb::no());
    file.set("Setting", "TextColor", to_string(s.textColor));
    file.set("Setting", "TextBackColor", to_string(s.textBackColor));
    file.set("Setting", "BackgroundColor", to_string(s.backgroundColor));
    file.set("Setting", "NoHead", flag(s.noHead));
    file.set("Setting", "SelectRow", flag(s.selectRow));
    file.set("Setting", "ClickHead", flag(s.clickHead));
    file.set("Setting", "ShowListBorder", flag(s.showListBorder));
    file.set("Setting", "DragHead", flag(s.dragHead));
    file.set("Setting", "EditAllow", flag(s.editAllow));
    file.set("Setting", "SortAllow", to_string(s.sortAllow));
    file.set("Setting", "CheckBox", flag(s.checkBox));
    file.set("Setting", "FlatScrollBar", flag(s.flatScrollBar));
    file.set("Setting", "SelectOnly", flag(s.selectOnly));
    file.set("Setting", "SelectNow", to_string(s.selectNow));
    file.set("Setting", "ShowSelectAlways", flag(s.showSelectAlways));

    for (std::size_t i = 0; i < list.columnCount(); ++i) {
        file.set("Cols", "Width" + to_string(i), to_string(list.column(i).width));
        file.set("Cols", "Name" + to_string(i), list.column(i).title);
    }

    for (std::size_t r = 0; r < list.rowCount(); ++r) {
        const std::string section = to_string(r);
        for (std::size_t j = 0; j < list.columnCount(); ++j)
            file.set(section, to_string(j), list.cell(r, j));
    }
}

void readListFile(ListModel &list, const IniFile &file)
{
    using std::to_string;
    const std::size_t columns = readCount(file, "Cols", kMaxListFileColumns);
    while (list.columnCount() < columns)
        list.appendColumn({});
    for (std::size_t i = 0; i < columns; ++i) {
        ListColumn &column = list.column(i);
        column.width = toInt(storage::parseWholeNumber(file.get("Cols", "Width" + to_string(i))));
        column.title = file.get("Cols", "Name" + to_string(i));
    }

    const std::size_t rows = readCount(file, "Rows", kMaxListFileRows);
    for (std::size_t r = 0; r < rows; ++r) {
        const std::size_t row = list.appendRow();
        const std::string section = to_string(r);
        if (!file.hasSection(section))
            continue; // a row of empty cells
        // The first cell is read even when the file names no columns, as the list widget
        // always has an item text.
        list.setCell(row, 0, file.get(section, "0"));
        for (std::size_t j = 1; j < columns; ++j)
            if (GbString text = file.get(section, to_string(j)); !text.empty())
                list.setCell(row, j, std::move(text));
    }
}

storage::Result<void> saveListFile(const ListModel &list, const std::filesystem::path &path)
{
    storage::Result<IniFile> file = IniFile::loadForUpdate(path);
    if (!file)
        return file.error();
    writeListFile(list, file.value());
    return file->save(path);
}

storage::Result<void> loadListFile(ListModel &list, const std::filesystem::path &path)
{
    storage::Result<IniFile> file = IniFile::load(path);
    if (!file)
        return file.error();
    readListFile(list, file.value());
    return {};
}

} // namespace sorvane::favourites
