// The lyric settings panel (外形框1): font name, size and style, the two text colours,
// the outline colour and the fill mode of the desktop lyrics. The panel's controls are
// the only store of these settings while the program runs; the desktop lyrics get them
// only through applyLyricSettings() and loadLyricSettings(), and the settings file
// (gcsz.ini) keeps the control states.
//
// The main window owns the panel as a child, put away at left 430 and open at left 182,
// and calls the functions below from its handlers. GUI thread only.
#pragma once

#include "lyrics/LyricSettingsFile.h"
#include "lyrics/ui/LyricsRenderer.h"
#include "storage/Result.h"

#include <QWidget>

#include <filesystem>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace sorvane::lyrics {

class ColourPickerButton;
class DesktopLyrics;

class LyricSettingsPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kOpenLeft = 182;
    static constexpr int kClosedLeft = 430;
    static constexpr int kTop = -3;
    static constexpr int kWidth = 248;
    static constexpr int kHeight = 216;

    // Put away (left 430, top -3) and hidden, with values that match the desktop lyrics'
    // built-in look: 微软雅黑, 50 pixels, bold, yellow-green to green, black outline,
    // two-colour gradient.
    explicit LyricSettingsPanel(QWidget *parent = nullptr);

    // The control states, as the settings file keeps them.
    LyricSettings values() const;
    // Sets every control; an index that selects no item leaves its combo box empty.
    void setValues(const LyricSettings &values);

    // What the controls ask of the desktop lyrics.
    QString fontName() const; // text of the selected 字体型号 item
    int fontSize() const; // the selected 字体大小 item read as a number; 0 for none
    bool bold() const;
    bool italic() const;
    bool underline() const;
    ColorRef colour1() const;
    ColorRef colour2() const;
    ColorRef outlineColour() const;
    int fillMode() const; // selected index of 文字渐变

Q_SIGNALS:
    // 设置2 was clicked: the main window runs applyLyricSettings().
    void applyRequested();

private:
    QGroupBox *m_group = nullptr; // 设置分组框1
    QComboBox *m_fontName = nullptr; // 字体型号
    QComboBox *m_fontSize = nullptr; // 字体大小
    QCheckBox *m_bold = nullptr; // 字体加粗
    QCheckBox *m_italic = nullptr; // 字体倾斜
    QCheckBox *m_underline = nullptr; // 字体下划线
    ColourPickerButton *m_colour1 = nullptr; // 颜色选择器1
    ColourPickerButton *m_colour2 = nullptr; // 颜色选择器2
    ColourPickerButton *m_colour3 = nullptr; // 颜色选择器3
    QComboBox *m_fillMode = nullptr; // 文字渐变
    QLabel *m_captions = nullptr; // 设置标签
    QLabel *m_captions2 = nullptr; // 设置标签2
    QPushButton *m_apply = nullptr; // 设置2
};

// Gives the desktop lyrics the panel's font and colours and redraws them. With a wait,
// window events keep being processed for that many milliseconds after each redraw.
void applyPanelToLyrics(const LyricSettingsPanel &panel, DesktopLyrics &lyrics, int waitMs = 0);

// At start-up: when `file` exists, reads it into the panel and applies it to the desktop
// lyrics; otherwise (or when it cannot be read) changes nothing. True when applied.
bool loadLyricSettings(LyricSettingsPanel &panel, DesktopLyrics &lyrics, const std::filesystem::path &file);

// Writes the panel's nine values to `file` (section GECI), keeping whatever else it holds.
storage::Result<void> saveLyricSettings(const LyricSettingsPanel &panel, const std::filesystem::path &file);

// The panel's apply button: applies font and colours (processing events for 60 ms after
// each redraw), saves the file and moves the panel to left 430 without hiding it.
storage::Result<void> applyLyricSettings(
    LyricSettingsPanel &panel, DesktopLyrics &lyrics, const std::filesystem::path &file);

// The settings button: hides the volume slider (when given), then opens a panel that is
// put away (shown, left 182) or puts away any other (left 430, hidden).
void toggleLyricSettingsPanel(LyricSettingsPanel &panel, QWidget *volumeSlider);

} // namespace sorvane::lyrics
