#include "lyrics/LyricSettingsFile.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>

namespace sorvane::lyrics {

using storage::IniFile;
using text::GbString;

namespace {

// The file's Chinese texts as GB18030; this source file is UTF-8.
struct Texts
{
    GbString yes = text::utf8ToGb("真");
    GbString no = text::utf8ToGb("假");
    GbString fontName = text::utf8ToGb("字体型号");
    GbString fontSize = text::utf8ToGb("字体大小");
    GbString bold = text::utf8ToGb("字体加粗");
    GbString italic = text::utf8ToGb("字体选中");
    GbString underline = text::utf8ToGb("字体下划线");
    GbString colour1 = text::utf8ToGb("文字颜色1");
    GbString colour2 = text::utf8ToGb("文字颜色2");
    GbString colour3 = text::utf8ToGb("文字颜色3");
    GbString fillMode = text::utf8ToGb("文字渐变");
    std::array<GbString, 3> fontNames { text::utf8ToGb("黑体"), text::utf8ToGb("楷体"),
        text::utf8ToGb("微软雅黑") };
};

const Texts &texts()
{
    static const Texts t;
    return t;
}

constexpr std::array<int, 6> kFontSizes { 30, 40, 45, 50, 55, 60 };

int readInt(const IniFile &file, const GbString &key)
{
    const std::int64_t n = storage::parseWholeNumber(file.get(kLyricSettingsSection, key));
    return static_cast<int>(
        std::clamp<std::int64_t>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool readFlag(const IniFile &file, const GbString &key)
{
    return file.get(kLyricSettingsSection, key) == texts().yes;
}

} // namespace

GbString fontNameForIndex(int index)
{
    const auto &names = texts().fontNames;
    return index >= 0 && static_cast<std::size_t>(index) < names.size()
        ? names[static_cast<std::size_t>(index)]
        : GbString();
}

int fontSizeForIndex(int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < kFontSizes.size()
        ? kFontSizes[static_cast<std::size_t>(index)]
        : 0;
}

LyricSettings readLyricSettings(const IniFile &file)
{
    const Texts &t = texts();
    LyricSettings s;
    s.字体型号 = readInt(file, t.fontName);
    s.字体大小 = readInt(file, t.fontSize);
    s.字体加粗 = readFlag(file, t.bold);
    s.字体倾斜 = readFlag(file, t.italic);
    s.字体下划线 = readFlag(file, t.underline);
    s.颜色选择器1 = readInt(file, t.colour1);
    s.颜色选择器2 = readInt(file, t.colour2);
    s.颜色选择器3 = readInt(file, t.colour3);
    s.文字渐变 = readInt(file, t.fillMode);
    return s;
}

void writeLyricSettings(const LyricSettings &s, IniFile &file)
{
    const Texts &t = texts();
    const auto flag = [&t](bool on) -> const GbString & { return on ? t.yes : t.no; };
    file.set(kLyricSettingsSection, t.fontName, std::to_string(s.字体型号));
    file.set(kLyricSettingsSection, t.fontSize, std::to_string(s.字体大小));
    file.set(kLyricSettingsSection, t.bold, flag(s.字体加粗));
    file.set(kLyricSettingsSection, t.italic, flag(s.字体倾斜));
    file.set(kLyricSettingsSection, t.underline, flag(s.字体下划线));
    file.set(kLyricSettingsSection, t.colour1, std::to_string(s.颜色选择器1));
    file.set(kLyricSettingsSection, t.colour2, std::to_string(s.颜色选择器2));
    file.set(kLyricSettingsSection, t.colour3, std::to_string(s.颜色选择器3));
    file.set(kLyricSettingsSection, t.fillMode, std::to_string(s.文字渐变));
}

storage::Result<LyricSettings> loadLyricSettingsFile(const std::filesystem::path &path)
{
    storage::Result<IniFile> file = IniFile::load(path);
    if (!file)
        return file.error();
    return readLyricSettings(file.value());
}

storage::Result<void> saveLyricSettingsFile(const LyricSettings &settings, const std::filesystem::path &path)
{
    storage::Result<IniFile> file = IniFile::loadForUpdate(path);
    if (!file)
        return file.error();
    writeLyricSettings(settings, file.value());
    return file->save(path);
}

} // namespace sorvane::lyrics
