#include "lyrics/ui/LyricSettingsPanel.h"

#include "lyrics/ui/ColourPickerButton.h"
#include "lyrics/ui/DesktopLyrics.h"
#include "lyrics/ui/FontFamilies.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace sorvane::lyrics {

namespace {

// Built-in look of the desktop lyrics, as control states.
constexpr int kInitialFontIndex = 2; // 微软雅黑, first of the desktop lyrics' fallbacks
constexpr int kInitialSizeIndex = 3; // 50
constexpr ColorRef kInitialColour1 = 65251; // RGB(227, 254, 0)
constexpr ColorRef kInitialColour2 = 45363; // RGB(51, 177, 0)
constexpr ColorRef kInitialOutline = 0;
constexpr int kInitialFillMode = TwoColourGradient;

constexpr int kApplyWaitMs = 60;

// Rows inside the group box: a caption line every 14 pixels, a row every other line.
constexpr int kLineHeight = 14;
constexpr int kRowPitch = 2 * kLineHeight;
constexpr int kFirstRowTop = 24;
constexpr int kCaptionLeft = 10;
constexpr int kControlLeft = 72;

int rowCentre(int row)
{
    return kFirstRowTop + row * kRowPitch + kLineHeight / 2;
}

// A column of captions, one text line every kLineHeight pixels whatever the font's own
// line spacing, so the rows meet the controls beside them.
class CaptionColumn : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        const QStringList lines = text().split(u'\n');
        for (int i = 0; i < lines.size(); ++i)
            painter.drawText(
                QRect(0, i * kLineHeight, width(), kLineHeight), Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
    }
};

template <typename W> W *place(W *widget, const char *name, int x, int y, int w, int h)
{
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QComboBox *comboAtRow(QWidget *parent, const char *name, int row, int width, const QStringList &items)
{
    auto *combo = place(new QComboBox(parent), name, kControlLeft, rowCentre(row) - 11, width, 22);
    combo->addItems(items);
    return combo;
}

QCheckBox *checkAtRow(QWidget *parent, const char *name, int row, int x, int width)
{
    return place(new QCheckBox(QString::fromUtf8(name), parent), name, x, rowCentre(row) - 10, width, 20);
}

ColourPickerButton *pickerAtRow(QWidget *parent, const char *name, int row, int x)
{
    return place(new ColourPickerButton(parent), name, x, rowCentre(row) - 9, 28, 18);
}

void waitProcessingEvents(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

LyricSettingsPanel::LyricSettingsPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("外形框1"));
    setGeometry(kClosedLeft, kTop, kWidth, kHeight);
    setFont(uiFont(QStringLiteral("微软雅黑"), 12));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(246, 246, 246));
    setPalette(pal);

    m_group = place(new QGroupBox(QStringLiteral("歌词设置"), this), "设置分组框1", 8, 11, 234, 197);
    QWidget *g = m_group;

    m_captions = place(new CaptionColumn(QStringLiteral("字体名称：\n\n字体大小：\n\n字体样式："), g),
        "设置标签", kCaptionLeft, kFirstRowTop, 62, 5 * kLineHeight);
    // Only the rows that have controls show; the highlight rows lie below the label's
    // height, as the highlight has no controls.
    m_captions2 = place(new CaptionColumn(QStringLiteral("文字颜色：\n\n文字边框：\n\n文字渐变：\n\n"
                                                         "高亮颜色：\n\n高亮边框：\n\n高亮渐变："),
                            g),
        "设置标签2", kCaptionLeft, kFirstRowTop + 3 * kRowPitch, 62, 5 * kLineHeight);

    m_fontName = comboAtRow(
        g, "字体型号", 0, 96, { QStringLiteral("黑体"), QStringLiteral("楷体"), QStringLiteral("微软雅黑") });
    m_fontSize = comboAtRow(g, "字体大小", 1, 56,
        { QStringLiteral("30"), QStringLiteral("40"), QStringLiteral("45"), QStringLiteral("50"),
            QStringLiteral("55"), QStringLiteral("60") });
    // Three style boxes do not fit one row at this width; underline sits beside the size.
    m_underline = checkAtRow(g, "字体下划线", 1, 134, 92);
    m_bold = checkAtRow(g, "字体加粗", 2, kControlLeft, 74);
    m_italic = checkAtRow(g, "字体倾斜", 2, 148, 74);
    m_colour1 = pickerAtRow(g, "颜色选择器1", 3, kControlLeft);
    m_colour2 = pickerAtRow(g, "颜色选择器2", 3, kControlLeft + 34);
    m_colour3 = pickerAtRow(g, "颜色选择器3", 4, kControlLeft);
    m_fillMode = comboAtRow(g, "文字渐变", 5, 82,
        { QStringLiteral("无渐变"), QStringLiteral("两色渐变"), QStringLiteral("三色渐变") });

    // Made after the group box so that it lies above it.
    m_apply = place(new QPushButton(QStringLiteral("设置"), this), "设置2", 165, 160, 69, 35);
    m_apply->setCursor(Qt::PointingHandCursor);
    connect(m_apply, &QPushButton::clicked, this, &LyricSettingsPanel::applyRequested);

    LyricSettings initial;
    initial.字体型号 = kInitialFontIndex;
    initial.字体大小 = kInitialSizeIndex;
    initial.字体加粗 = true;
    initial.颜色选择器1 = static_cast<std::int32_t>(kInitialColour1);
    initial.颜色选择器2 = static_cast<std::int32_t>(kInitialColour2);
    initial.颜色选择器3 = static_cast<std::int32_t>(kInitialOutline);
    initial.文字渐变 = kInitialFillMode;
    setValues(initial);

    hide();
}

LyricSettings LyricSettingsPanel::values() const
{
    LyricSettings s;
    s.字体型号 = m_fontName->currentIndex();
    s.字体大小 = m_fontSize->currentIndex();
    s.字体加粗 = m_bold->isChecked();
    s.字体倾斜 = m_italic->isChecked();
    s.字体下划线 = m_underline->isChecked();
    s.颜色选择器1 = static_cast<std::int32_t>(m_colour1->colour());
    s.颜色选择器2 = static_cast<std::int32_t>(m_colour2->colour());
    s.颜色选择器3 = static_cast<std::int32_t>(m_colour3->colour());
    s.文字渐变 = m_fillMode->currentIndex();
    return s;
}

void LyricSettingsPanel::setValues(const LyricSettings &values)
{
    m_fontName->setCurrentIndex(values.字体型号);
    m_fontSize->setCurrentIndex(values.字体大小);
    m_bold->setChecked(values.字体加粗);
    m_italic->setChecked(values.字体倾斜);
    m_underline->setChecked(values.字体下划线);
    m_colour1->setColour(static_cast<ColorRef>(values.颜色选择器1));
    m_colour2->setColour(static_cast<ColorRef>(values.颜色选择器2));
    m_colour3->setColour(static_cast<ColorRef>(values.颜色选择器3));
    m_fillMode->setCurrentIndex(values.文字渐变);
}

QString LyricSettingsPanel::fontName() const
{
    return m_fontName->currentText();
}

int LyricSettingsPanel::fontSize() const
{
    return m_fontSize->currentText().toInt();
}

bool LyricSettingsPanel::bold() const
{
    return m_bold->isChecked();
}

bool LyricSettingsPanel::italic() const
{
    return m_italic->isChecked();
}

bool LyricSettingsPanel::underline() const
{
    return m_underline->isChecked();
}

ColorRef LyricSettingsPanel::colour1() const
{
    return m_colour1->colour();
}

ColorRef LyricSettingsPanel::colour2() const
{
    return m_colour2->colour();
}

ColorRef LyricSettingsPanel::outlineColour() const
{
    return m_colour3->colour();
}

int LyricSettingsPanel::fillMode() const
{
    return m_fillMode->currentIndex();
}

void applyPanelToLyrics(const LyricSettingsPanel &panel, DesktopLyrics &lyrics, int waitMs)
{
    lyrics.setFont(panel.fontName(), panel.fontSize(), panel.bold(), panel.italic(), panel.underline());
    lyrics.redraw();
    waitProcessingEvents(waitMs);

    // -1 is the desktop lyrics' "no outline"; only a hand-edited file can hold it.
    const ColorRef outline = panel.outlineColour();
    lyrics.setTextColours(panel.colour1(), panel.colour2(),
        outline == static_cast<ColorRef>(-1) ? std::nullopt : std::optional<ColorRef>(outline),
        panel.fillMode());
    lyrics.redraw();
    waitProcessingEvents(waitMs);
}

bool loadLyricSettings(LyricSettingsPanel &panel, DesktopLyrics &lyrics, const std::filesystem::path &file)
{
    const storage::Result<LyricSettings> loaded = loadLyricSettingsFile(file);
    if (!loaded.ok())
        return false;
    panel.setValues(loaded.value());
    applyPanelToLyrics(panel, lyrics);
    return true;
}

storage::Result<void> saveLyricSettings(const LyricSettingsPanel &panel, const std::filesystem::path &file)
{
    return saveLyricSettingsFile(panel.values(), file);
}

storage::Result<void> applyLyricSettings(
    LyricSettingsPanel &panel, DesktopLyrics &lyrics, const std::filesystem::path &file)
{
    applyPanelToLyrics(panel, lyrics, kApplyWaitMs);
    storage::Result<void> saved = saveLyricSettings(panel, file);
    // Put away but left visible: the favourites panel above it covers it.
    panel.move(LyricSettingsPanel::kClosedLeft, panel.y());
    return saved;
}

void toggleLyricSettingsPanel(LyricSettingsPanel &panel, QWidget *volumeSlider)
{
    if (volumeSlider)
        volumeSlider->hide();
    if (panel.x() == LyricSettingsPanel::kClosedLeft) {
        panel.show();
        panel.move(LyricSettingsPanel::kOpenLeft, panel.y());
    } else {
        panel.move(LyricSettingsPanel::kClosedLeft, panel.y());
        panel.hide();
    }
}

} // namespace sorvane::lyrics
