// The lyric settings file gcsz.ini: the settings panel's control states in section
// "GECI", nine keys. The file keeps list indices, check marks and colours, not font
// names or sizes; fontNameForIndex() and fontSizeForIndex() turn the indices into what
// the desktop lyrics need.
#pragma once

#include "storage/IniFile.h"
#include "storage/Result.h"
#include "text/Encoding.h"

#include <cstdint>
#include <filesystem>

namespace sorvane::lyrics {

// The settings file in the data directory, and its one section.
inline constexpr const char *kLyricSettingsFileName = "gcsz.ini";
inline constexpr const char *kLyricSettingsSection = "GECI";

// The panel's controls, by their names. A default record is what a file without any of
// the keys reads as: index 0, unchecked, black.
struct LyricSettings
{
    int 字体型号 = 0; // selected font name index, key "字体型号"
    int 字体大小 = 0; // selected font size index, key "字体大小"
    bool 字体加粗 = false; // bold, key "字体加粗"
    bool 字体倾斜 = false; // italic, stored under the key "字体选中"
    bool 字体下划线 = false; // underline, key "字体下划线"
    std::int32_t 颜色选择器1 = 0; // first text colour, COLORREF 0x00BBGGRR, key "文字颜色1"
    std::int32_t 颜色选择器2 = 0; // second text colour, key "文字颜色2"
    std::int32_t 颜色选择器3 = 0; // outline colour, key "文字颜色3"
    int 文字渐变 = 0; // fill mode index: 0 solid, 1 two-colour, 2 mirrored; key "文字渐变"

    bool operator==(const LyricSettings &) const = default;
};

// The text of item `index` of the font name list ("黑体", "楷体", "微软雅黑"); an empty
// text when the index selects no item.
text::GbString fontNameForIndex(int index);
// Item `index` of the font size list (30, 40, 45, 50, 55, 60 pixels); 0 when the index
// selects no item.
int fontSizeForIndex(int index);

// Reads the nine keys. Numbers are read as whole numbers (a fraction is dropped, a text
// that is not a number or a missing key gives 0, values beyond the int range are clamped);
// a flag is set exactly when its value is "真".
LyricSettings readLyricSettings(const storage::IniFile &file);

// Writes the nine keys in the file's order: indices and colours in decimal, flags as
// "真" or "假". Other sections and keys of `file` stay.
void writeLyricSettings(const LyricSettings &settings, storage::IniFile &file);

// Reads the file at `path`. NotFound when it does not exist: the caller then keeps the
// panel's own values and the desktop lyrics' built-in look.
storage::Result<LyricSettings> loadLyricSettingsFile(const std::filesystem::path &path);

// Writes the nine keys into the file at `path`, keeping whatever else it holds; creates
// it when missing. Atomic: on failure the old file stays complete.
storage::Result<void> saveLyricSettingsFile(const LyricSettings &settings, const std::filesystem::path &path);

} // namespace sorvane::lyrics
