// The lyric settings panel through the real window: apply writes the settings file and
// the next start gives the desktop lyrics the same look.
#include "WindowFixture.h"

#include "lyrics/ui/ColourPickerButton.h"
#include "lyrics/ui/DesktopLyrics.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace sorvane::app::testing {
namespace {

// The colour at the middle of what is drawn of a full block in the desktop lyrics' look.
QRgb inkCentre(const lyrics::DesktopLyrics &desktop)
{
    lyrics::LyricsRenderer renderer = desktop.renderer();
    renderer.setText(QStringLiteral("\u2588"));
    const QImage image = renderer.render(QSize(400, 150)).convertToFormat(QImage::Format_ARGB32);
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                ink |= QRect(x, y, 1, 1);
    return ink.isEmpty() ? 0 : image.pixel(ink.center());
}

class LyricSettings : public WindowFixture
{
};

TEST_F(LyricSettings, ApplyWritesTheNineKeysAndTheNextStartShowsThem)
{
    openWindow();
    click(control(QStringLiteral("设置")));
    auto *panel = control(QStringLiteral("外形框1"));
    ASSERT_TRUE(panel->isVisible());

    chooseComboItem(control<QComboBox>(QStringLiteral("字体型号")), 2); // 微软雅黑
    chooseComboItem(control<QComboBox>(QStringLiteral("字体大小")), 3); // 50
    chooseComboItem(control<QComboBox>(QStringLiteral("文字渐变")), 0); // solid
    for (const char *name : { "字体加粗", "字体倾斜", "字体下划线" }) {
        auto *box = control<QCheckBox>(QString::fromUtf8(name));
        const bool wanted = std::string_view(name) != "字体下划线";
        if (box->isChecked() != wanted)
            click(box);
        ASSERT_EQ(box->isChecked(), wanted) << name;
    }
    // The pickers' dialog is tested with the panel; here the chosen colours are set.
    control<lyrics::ColourPickerButton>(QStringLiteral("颜色选择器1"))->setColour(255);
    control<lyrics::ColourPickerButton>(QStringLiteral("颜色选择器2"))->setColour(65280);
    control<lyrics::ColourPickerButton>(QStringLiteral("颜色选择器3"))->setColour(255);

    click(control<QPushButton>(QStringLiteral("设置2")));
    EXPECT_EQ(panel->x(), MainWindow::kSettingsClosedLeft);
    const std::vector<std::string> nineKeys { "[GECI]", "字体型号=2", "字体大小=3", "字体加粗=真",
        "字体选中=真", "字体下划线=假", "文字颜色1=255", "文字颜色2=65280", "文字颜色3=255", "文字渐变=0" };
    EXPECT_EQ(fileLinesUtf8(dataDir() / "gcsz.ini"), nineKeys);
    const auto applied = window().desktopLyrics()->renderer().font();
    ASSERT_TRUE(applied.has_value());
    EXPECT_EQ(applied->pixelSize(), 50);

    closeWindow();
    EXPECT_EQ(fileLinesUtf8(dataDir() / "gcsz.ini"), nineKeys) << "closing writes the same keys";
    EXPECT_TRUE(std::filesystem::exists(dataDir() / "scgq.ini")) << "closing writes the favourites too";

    openWindow();
    EXPECT_EQ(control<QComboBox>(QStringLiteral("字体大小"))->currentIndex(), 3);
    EXPECT_TRUE(control<QCheckBox>(QStringLiteral("字体倾斜"))->isChecked());
    const lyrics::DesktopLyrics &desktop = *window().desktopLyrics();
    const auto font = desktop.renderer().font();
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->pixelSize(), 50);
    EXPECT_TRUE(font->bold());
    EXPECT_TRUE(font->italic());
    EXPECT_FALSE(font->underline());
    EXPECT_EQ(inkCentre(desktop), qRgb(255, 0, 0)) << "colour 1 = 255 is pure red, filled solid";
    EXPECT_EQ(desktop.renderer().text(), QStringLiteral("欢迎进入Sorvane"));
}

} // namespace
} // namespace sorvane::app::testing
