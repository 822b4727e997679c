#include "lyrics/ui/LyricSettingsPanel.h"
#include "lyrics/LyricSettingsFile.h"
#include "lyrics/ui/ColourPickerButton.h"
#include "lyrics/ui/DesktopLyrics.h"
#include "lyrics/ui/FontFamilies.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace sorvane::lyrics {
namespace {

const QSize kArea(800, 150);

std::string gbFromUtf8(const char8_t *utf8)
{
    return text::utf8ToGb(reinterpret_cast<const char *>(utf8));
}

void writeFile(const std::filesystem::path &path, const char8_t *utf8)
{
    std::ofstream(path, std::ios::binary) << gbFromUtf8(utf8);
}

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

QRgb inkCentre(const QImage &image)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) == 255)
                box |= QRect(x, y, 1, 1);
    return box.isEmpty() ? 0 : img.pixel(box.center());
}

bool hasInk(const QImage &image)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) != 0)
                return true;
    return false;
}

QImage drawn(const DesktopLyrics &lyrics, const QString &text = QStringLiteral("测试 Test"))
{
    LyricsRenderer r = lyrics.renderer();
    r.setText(text);
    return r.render(kArea);
}

class LyricSettingsPanelTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    std::filesystem::path file() const
    {
        return std::filesystem::path(m_dir.path().toStdString()) / "gcsz.ini";
    }

    QTemporaryDir m_dir;
    LyricSettingsPanel m_panel;
    DesktopLyrics m_lyrics;
};

TEST_F(LyricSettingsPanelTest, ControlsHaveTheirNamesPlacesAndTexts)
{
    EXPECT_EQ(m_panel.objectName(), QStringLiteral("外形框1"));
    EXPECT_EQ(m_panel.geometry(), QRect(430, -3, 248, 216));
    EXPECT_TRUE(m_panel.isHidden());

    auto *group = m_panel.findChild<QGroupBox *>(QStringLiteral("设置分组框1"));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->geometry(), QRect(8, 11, 234, 197));
    EXPECT_EQ(group->title(), QStringLiteral("歌词设置"));

    auto *apply = m_panel.findChild<QPushButton *>(QStringLiteral("设置2"));
    ASSERT_NE(apply, nullptr);
    EXPECT_EQ(apply->parentWidget(), &m_panel);
    EXPECT_EQ(apply->geometry(), QRect(165, 160, 69, 35));
    EXPECT_EQ(apply->text(), QStringLiteral("设置"));
    EXPECT_EQ(m_panel.childAt(apply->geometry().center()), apply) << "the button lies above the group box";

    const std::pair<const char16_t *, QStringList> combos[] = {
        { u"字体型号", { "黑体", "楷体", "微软雅黑" } },
        { u"字体大小", { "30", "40", "45", "50", "55", "60" } },
        { u"文字渐变", { "无渐变", "两色渐变", "三色渐变" } },
    };
    for (const auto &[name, items] : combos) {
        auto *combo = group->findChild<QComboBox *>(QString::fromUtf16(name));
        ASSERT_NE(combo, nullptr) << QString::fromUtf16(name).toStdString();
        QStringList actual;
        for (int i = 0; i < combo->count(); ++i)
            actual << combo->itemText(i);
        EXPECT_EQ(actual, items);
    }
    for (const char16_t *name : { u"字体加粗", u"字体倾斜", u"字体下划线" }) {
        auto *box = group->findChild<QCheckBox *>(QString::fromUtf16(name));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QString::fromUtf16(name));
    }
    for (const char16_t *name : { u"颜色选择器1", u"颜色选择器2", u"颜色选择器3" })
        EXPECT_NE(group->findChild<ColourPickerButton *>(QString::fromUtf16(name)), nullptr);
    auto *captions = group->findChild<QLabel *>(QStringLiteral("设置标签"));
    auto *captions2 = group->findChild<QLabel *>(QStringLiteral("设置标签2"));
    ASSERT_TRUE(captions && captions2);
    EXPECT_EQ(captions->text(), QStringLiteral("字体名称：\n\n字体大小：\n\n字体样式："));
    EXPECT_EQ(captions2->text(),
        QStringLiteral("文字颜色：\n\n文字边框：\n\n文字渐变：\n\n高亮颜色：\n\n高亮边框：\n\n高亮渐变："));

    QSignalSpy applied(&m_panel, &LyricSettingsPanel::applyRequested);
    m_panel.show();
    QTest::mouseClick(apply, Qt::LeftButton);
    EXPECT_EQ(applied.count(), 1);
}

TEST_F(LyricSettingsPanelTest, FirstRunValuesMatchTheBuiltInLook)
{
    const QImage builtIn = drawn(m_lyrics);
    ASSERT_TRUE(hasInk(builtIn));
    applyPanelToLyrics(m_panel, m_lyrics);
    EXPECT_EQ(drawn(m_lyrics), builtIn);
}

TEST_F(LyricSettingsPanelTest, LoadReadsTheFileIntoThePanelAndTheDesktopLyrics)
{
    writeFile(file(),
        u8"[GECI]\r\n字体型号=2\r\n字体大小=3\r\n字体加粗=真\r\n字体选中=真\r\n字体下划线=假\r\n"
        u8"文字颜色1=255\r\n文字颜色2=65280\r\n文字颜色3=255\r\n文字渐变=0\r\n");
    ASSERT_TRUE(loadLyricSettings(m_panel, m_lyrics, file()));

    EXPECT_EQ(m_panel.fontName(), QStringLiteral("微软雅黑"));
    EXPECT_EQ(m_panel.fontSize(), 50);
    const std::optional<QFont> &font = m_lyrics.renderer().font();
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->family(), installedFamily(QStringLiteral("微软雅黑")));
    EXPECT_EQ(font->pixelSize(), 50);
    EXPECT_TRUE(font->bold());
    EXPECT_TRUE(font->italic());
    EXPECT_FALSE(font->underline());
    // Colour 1 = 255 is pure red, filled solid with a red outline.
    EXPECT_EQ(inkCentre(drawn(m_lyrics, QStringLiteral("\u2588"))), qRgb(255, 0, 0));
}

TEST_F(LyricSettingsPanelTest, SizeThatSelectsNoItemDrawsNoText)
{
    writeFile(file(), u8"[GECI]\r\n字体型号=1\r\n字体大小=9\r\n文字颜色1=255\r\n");
    ASSERT_TRUE(loadLyricSettings(m_panel, m_lyrics, file()));
    EXPECT_EQ(m_panel.fontSize(), 0);
    EXPECT_FALSE(m_lyrics.renderer().font().has_value());
    EXPECT_FALSE(hasInk(drawn(m_lyrics)));
}

TEST_F(LyricSettingsPanelTest, MissingFileChangesNothing)
{
    const LyricSettings before = m_panel.values();
    const QImage look = drawn(m_lyrics);
    EXPECT_FALSE(loadLyricSettings(m_panel, m_lyrics, file()));
    EXPECT_EQ(m_panel.values(), before);
    EXPECT_EQ(drawn(m_lyrics), look);
    EXPECT_FALSE(std::filesystem::exists(file()));
}

TEST_F(LyricSettingsPanelTest, ApplySavesTheNineKeysAndPutsThePanelAway)
{
    LyricSettings chosen;
    chosen.字体型号 = 1;
    chosen.字体大小 = 5;
    chosen.字体倾斜 = true;
    chosen.字体下划线 = true;
    chosen.颜色选择器1 = 0x0000FF;
    chosen.颜色选择器2 = 0x00FFFF;
    chosen.颜色选择器3 = 0xFF0000;
    chosen.文字渐变 = 2;
    m_panel.setValues(chosen);
    m_panel.move(LyricSettingsPanel::kOpenLeft, -3);
    m_panel.show();

    ASSERT_TRUE(applyLyricSettings(m_panel, m_lyrics, file()).ok());
    EXPECT_EQ(m_panel.pos(), QPoint(LyricSettingsPanel::kClosedLeft, -3));
    EXPECT_TRUE(m_panel.isVisible()) << "put away, not hidden";
    ASSERT_TRUE(m_lyrics.renderer().font().has_value());
    EXPECT_EQ(m_lyrics.renderer().font()->family(), installedFamily(QStringLiteral("楷体")));
    EXPECT_EQ(m_lyrics.renderer().font()->pixelSize(), 60);

    const std::string saved = readFile(file());
    EXPECT_EQ(saved,
        gbFromUtf8(u8"[GECI]\r\n字体型号=1\r\n字体大小=5\r\n字体加粗=假\r\n字体选中=真\r\n字体下划线=真\r\n"
                   u8"文字颜色1=255\r\n文字颜色2=65535\r\n文字颜色3=16711680\r\n文字渐变=2\r\n"));
    ASSERT_TRUE(applyLyricSettings(m_panel, m_lyrics, file()).ok());
    EXPECT_EQ(readFile(file()), saved) << "a second apply writes the same file";

    LyricSettingsPanel next;
    DesktopLyrics nextLyrics;
    ASSERT_TRUE(loadLyricSettings(next, nextLyrics, file()));
    EXPECT_EQ(next.values(), chosen);
    EXPECT_EQ(drawn(nextLyrics), drawn(m_lyrics));
}

TEST_F(LyricSettingsPanelTest, SaveWritesControlsChangedWithoutApplying)
{
    auto *bold = m_panel.findChild<QCheckBox *>(QStringLiteral("字体加粗"));
    ASSERT_NE(bold, nullptr);
    bold->setChecked(false);
    const QImage look = drawn(m_lyrics);
    ASSERT_TRUE(saveLyricSettings(m_panel, file()).ok());
    EXPECT_EQ(drawn(m_lyrics), look) << "the desktop changes only on apply";
    const storage::Result<LyricSettings> read = loadLyricSettingsFile(file());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value(), m_panel.values());
    EXPECT_FALSE(read.value().字体加粗);
}

TEST(LyricSettingsPanelToggle, OpensOrPutsAwayAndHidesTheSlider)
{
    struct Case
    {
        int left;
        bool visible;
        int expectedLeft;
        bool expectedVisible;
    };
    const Case cases[] = {
        { 430, false, 182, true }, // put away → open
        { 182, true, 430, false }, // open → put away
        { 430, true, 182, true }, // left visible by apply → open
        { 182, false, 430, false }, // hidden in place by the channel chooser: needs a second click
    };
    for (const Case &c : cases) {
        QWidget window;
        window.resize(432, 216);
        auto *slider = new QSlider(&window);
        auto *panel = new LyricSettingsPanel(&window);
        window.show();
        panel->move(c.left, -3);
        panel->setVisible(c.visible);
        slider->show();

        toggleLyricSettingsPanel(*panel, slider);
        EXPECT_EQ(panel->pos(), QPoint(c.expectedLeft, -3)) << c.left << "/" << c.visible;
        EXPECT_EQ(panel->isVisible(), c.expectedVisible) << c.left << "/" << c.visible;
        EXPECT_FALSE(slider->isVisible());
    }
}

TEST(ColourPickerButton, ClickChoosesAColourInTheDialog)
{
    ColourPickerButton picker;
    picker.setColour(0x00FFFF);
    EXPECT_EQ(ColourPickerButton::toQColor(picker.colour()), QColor(255, 255, 0));
    picker.show();
    QSignalSpy changed(&picker, &ColourPickerButton::colourChanged);

    bool dialogSeen = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
        dialogSeen = dialog && dialog->currentColor() == QColor(255, 255, 0);
        if (dialog) {
            dialog->setCurrentColor(QColor(10, 20, 30));
            dialog->accept();
        }
    });
    QTest::mouseClick(&picker, Qt::LeftButton);

    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(picker.colour(), 0x1E140Au); // COLORREF: blue, green, red from high to low
    ASSERT_EQ(changed.count(), 1);

    QTimer::singleShot(0, [] {
        if (auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    QTest::mouseClick(&picker, Qt::LeftButton);
    EXPECT_EQ(picker.colour(), 0x1E140Au) << "cancel keeps the colour";
}

} // namespace
} // namespace sorvane::lyrics
