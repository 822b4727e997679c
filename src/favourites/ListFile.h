// The list file: a whole report list in an INI file (scgq.ini for the favourites).
//
// Layout, all numbers in decimal, texts in GB18030, CRLF line ends:
//   [Rect]     Rows, Cols
//   [Setting]  Width, Height, Border, Visible ("真"/"假"), TextColor, TextBackColor,
//              BackgroundColor, NoHead, SelectRow, ClickHead, ShowListBorder, DragHead,
//              EditAllow, SortAllow, CheckBox, FlatScrollBar, SelectOnly, SelectNow,
//              ShowSelectAlways (flags "1"/"0")
//   [Cols]     Width0, Name0, Width1, Name1, ...
//   [0], [1], ...  one section per row, keys "0", "1", ... one per column
//
// Saving goes through the INI rules: existing keys are replaced in place, new ones
// appended, nothing is removed. Row sections and cell keys beyond the current size stay
// from earlier saves and are ignored when reading. Only sizes, columns and cells are read
// back; the display settings are written for other readers of the file.
//
// Cell texts lose blanks at their ends and line breaks become blanks (a line break cannot
// be stored in this layout).
#pragma once

#include "favourites/ListModel.h"
#include "storage/IniFile.h"
#include "storage/Result.h"

#include <filesystem>

namespace sorvane::favourites {

// A damaged or hostile file cannot make the reader build an enormous table: larger
// counts in "Rect" are read as these.
inline constexpr std::size_t kMaxListFileRows = 100000;
inline constexpr std::size_t kMaxListFileColumns = 64;

// Writes the list into `file`, in the file's key order.
void writeListFile(const ListModel &list, storage::IniFile &file);

// Fills `list` from `file`: with K = Rect/Cols and R = Rect/Rows (0 when missing),
// appends columns (empty title, width 0) until there are K, sets the first K columns'
// widths and titles (0 and empty when missing), then appends R rows read from sections
// "0" .. R-1 (a missing cell or row section reads as empty). Other columns and rows of
// `list` are left as they are; the display settings are not touched.
void readListFile(ListModel &list, const storage::IniFile &file);

// Writes the list into the file at `path`, keeping what else the file holds; creates it
// when missing. The save is atomic: on failure the old file stays complete.
storage::Result<void> saveListFile(const ListModel &list, const std::filesystem::path &path);

// readListFile() from the file at `path`. NotFound (list unchanged) when it does not exist.
storage::Result<void> loadListFile(ListModel &list, const std::filesystem::path &path);

} // namespace sorvane::favourites
