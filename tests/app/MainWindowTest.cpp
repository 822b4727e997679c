// The real main window on its own, driven through its controls: the start-up state, the
// rules by which the panels open and close, copying the song information, the channel
// list, the volume slider and the pause and continue buttons.
#include "WindowFixture.h"

#include "app/Controls.h"
#include "lyrics/ui/DesktopLyrics.h"
#include "lyrics/ui/LyricSettingsPanel.h"
#include "text/Encoding.h"

#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace sorvane::app::testing {
namespace {

constexpr int kOpen = MainWindow::kSettingsOpenLeft;
constexpr int kPutAway = MainWindow::kSettingsClosedLeft;

class MainWindowTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        if (HasFatalFailure())
            return;
        openWindow();
    }

    QWidget *settingsPanel() { return control(QStringLiteral("外形框1")); }

    // The settings panel opened with its button from where it is put away: 182, shown.
    void openSettingsPanel()
    {
        ASSERT_EQ(settingsPanel()->x(), kPutAway);
        click(control(QStringLiteral("设置")));
        ASSERT_EQ(settingsPanel()->x(), kOpen);
        ASSERT_TRUE(settingsPanel()->isVisible());
    }
};

TEST_F(MainWindowTest, StartsInTheWelcomeStateWithoutPlaying)
{
    EXPECT_EQ(window().windowTitle(), QStringLiteral("SorvaneV1.5"));
    EXPECT_EQ(window().width(), MainWindow::kNarrowWidth);
    const std::pair<const char *, const char *> captions[] = {
        { "标签5", "豆瓣精选 MHz" },
        { "标签1", "Sorvane" },
        { "标签2", "当前暂无歌词" },
        { "标签3", "00:00/00:00" },
        { "提示", "音量：100" },
    };
    for (const auto &[name, caption] : captions)
        EXPECT_EQ(textOf(QString::fromUtf8(name)).toStdString(), caption) << name;
    EXPECT_EQ(
        control<QGroupBox>(QStringLiteral("设置分组框2"))->title(), QStringLiteral("收藏列表（共0首）"));

    for (const char *name :
        { "外形框3", "外形框1", "继续播放", "红心歌曲", "收藏歌曲", "相似歌曲", "组合框1", "滑块条1" })
        EXPECT_TRUE(control(QString::fromUtf8(name))->isHidden()) << name;
    EXPECT_TRUE(control(QStringLiteral("暂停按钮"))->isVisible());
    EXPECT_FALSE(control(QStringLiteral("微信分享"))->isEnabled());
    EXPECT_EQ(settingsPanel()->x(), kPutAway);

    EXPECT_EQ(window().state().channelId, "-10");
    // One channel-information request for the default channel, and no song.
    const auto requests = m_station.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target, "/j/v2/channel_info?id=-10");
}

TEST_F(MainWindowTest, ChannelListHoldsTheTableWithItsSeparators)
{
    const char *const items[] = { "豆瓣精选", "-------", "华语", "欧美", "70s", "80s", "90s", "粤语", "日语",
        "韩语", "新歌", "-------", "流行", "摇滚", "民谣MHz", "轻音乐", "电影原声", "爵士", "古典", "动漫",
        "世界音乐", "布鲁斯", "拉丁", "-------", "工作学习", "户外", "休息", "亢奋", "舒缓", "Easy", "咖啡",
        "运动" };
    auto *combo = control<QComboBox>(QStringLiteral("组合框1"));
    ASSERT_EQ(combo->count(), 32);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(combo->itemText(i).toStdString(), items[i]) << "item " << i;
}

TEST_F(MainWindowTest, SeparatorOnlyClosesTheList)
{
    auto *label = control<QLabel>(QStringLiteral("标签5"));
    auto *combo = control<QComboBox>(QStringLiteral("组合框1"));
    const auto before = m_station.requests().size();
    for (int separator : { 1, 11, 23 }) {
        click(label);
        ASSERT_TRUE(combo->isVisible());
        ASSERT_TRUE(label->isHidden());
        chooseComboItem(combo, separator);
        EXPECT_TRUE(combo->isHidden()) << separator;
        EXPECT_TRUE(label->isVisible()) << separator;
        EXPECT_EQ(label->text(), QStringLiteral("豆瓣精选 MHz")) << separator;
        EXPECT_EQ(window().state().channelId, "-10") << separator;
    }
    EXPECT_EQ(m_station.requests().size(), before) << "a separator must not reach the service";
}

// Which clicks put the lyric settings panel away, which hide it, and which leave it.
enum class SettingsStart {
    Open, // opened with 设置: 182, shown
    Applied, // after its own button 设置2: 430, shown
    HiddenAtOpen, // opened, then hidden by the channel label: 182, hidden
};

struct PanelCase
{
    const char *what;
    SettingsStart start;
    const char *clicked;
    bool shownAfter;
    int leftAfter;
};

class SettingsPanelRules : public MainWindowTest, public ::testing::WithParamInterface<PanelCase>
{
};

TEST_P(SettingsPanelRules, ClickMovesOrHidesThePanel)
{
    const PanelCase &c = GetParam();
    openSettingsPanel();
    if (c.start == SettingsStart::Applied)
        click(settingsPanel()->findChild<QPushButton *>(QStringLiteral("设置2")));
    else if (c.start == SettingsStart::HiddenAtOpen)
        click(control(QStringLiteral("标签5")));

    click(control(QString::fromUtf8(c.clicked)));

    EXPECT_EQ(settingsPanel()->isVisible(), c.shownAfter) << c.what;
    EXPECT_EQ(settingsPanel()->x(), c.leftAfter) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Clicks, SettingsPanelRules,
    ::testing::Values(
        PanelCase { "player panel, open", SettingsStart::Open, "音乐播放外形框", false, kPutAway },
        PanelCase { "player panel, applied", SettingsStart::Applied, "音乐播放外形框", false, kPutAway },
        PanelCase { "lyric label, open", SettingsStart::Open, "标签2", false, kPutAway },
        PanelCase {
            "lyric label leaves an applied panel shown", SettingsStart::Applied, "标签2", true, kPutAway },
        PanelCase { "title label, open", SettingsStart::Open, "标签1", false, kPutAway },
        PanelCase { "title label, applied", SettingsStart::Applied, "标签1", false, kPutAway },
        PanelCase { "channel label hides and keeps the left", SettingsStart::Open, "标签5", false, kOpen },
        PanelCase { "cover keeps the left", SettingsStart::HiddenAtOpen, "图片框1", false, kOpen },
        PanelCase { "pause moves it back", SettingsStart::HiddenAtOpen, "暂停按钮", false, kPutAway },
        PanelCase {
            "pause leaves an applied panel shown", SettingsStart::Applied, "暂停按钮", true, kPutAway },
        PanelCase { "settings button puts a hidden panel away", SettingsStart::HiddenAtOpen, "设置", false,
            kPutAway }));

class OtherPanelsClose : public MainWindowTest, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(OtherPanelsClose, ShareSliderAndChannelList)
{
    auto *channelLabel = control<QLabel>(QStringLiteral("标签5"));
    auto *combo = control(QStringLiteral("组合框1"));
    auto *slider = control(QStringLiteral("滑块条1"));
    auto *sharePanel = control(QStringLiteral("外形框3"));
    click(channelLabel);
    ASSERT_TRUE(combo->isVisible()) << "the channel label opens the list";
    ASSERT_TRUE(channelLabel->isHidden());
    click(control(QStringLiteral("音量")));
    ASSERT_TRUE(slider->isVisible());
    sharePanel->show(); // as after a share

    click(control(QString::fromUtf8(GetParam())));
    EXPECT_TRUE(sharePanel->isHidden());
    EXPECT_TRUE(slider->isHidden());
    EXPECT_TRUE(combo->isHidden());
    EXPECT_TRUE(channelLabel->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Clicks, OtherPanelsClose, ::testing::Values("音乐播放外形框", "标签1", "标签2"));

TEST_F(MainWindowTest, ChannelLabelOpensTheListAndLeavesTheSettingsButtonNeedingTwoClicks)
{
    auto *label = control<QLabel>(QStringLiteral("标签5"));
    auto *combo = control(QStringLiteral("组合框1"));
    auto *settingsButton = control(QStringLiteral("设置"));
    openSettingsPanel();

    click(label);
    EXPECT_TRUE(combo->isVisible());
    EXPECT_TRUE(label->isHidden());
    EXPECT_TRUE(settingsPanel()->isHidden());
    EXPECT_EQ(settingsPanel()->x(), kOpen);

    // Hidden at 182: the first click of the settings button puts it away, the second opens it.
    click(settingsButton);
    EXPECT_TRUE(settingsPanel()->isHidden());
    EXPECT_EQ(settingsPanel()->x(), kPutAway);
    click(settingsButton);
    EXPECT_TRUE(settingsPanel()->isVisible());
    EXPECT_EQ(settingsPanel()->x(), kOpen);
    EXPECT_TRUE(combo->isVisible()) << "only the channel label and the panels close the list";
}

TEST_F(MainWindowTest, TitleLabelCopiesTheLastPlaylistSongOnceTheSettingsPanelIsAway)
{
    auto &record = window().state().songRecord;
    record = { "http://c/1.png", text::utf8ToGb("童谣集"), "http://c/1.png", text::utf8ToGb("佚名"),
        "http://a/1.mp3", text::utf8ToGb("小星星") };
    // The current song (a favourite, say) is not what is copied.
    window().state().songTitle = text::utf8ToGb("送别");
    control<QSlider>(QStringLiteral("滑块条1"))->setValue(37);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    auto *title = control(QStringLiteral("标签1"));
    auto *hintTimer = window().findChild<QTimer *>(QStringLiteral("时钟2"));
    ASSERT_NE(hintTimer, nullptr);

    openSettingsPanel();
    click(title);
    EXPECT_EQ(settingsPanel()->x(), kPutAway);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_EQ(textOf(QStringLiteral("提示")), QStringLiteral("音量：37"));

    click(title);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("小星星 佚名"));
    EXPECT_EQ(textOf(QStringLiteral("提示")), QStringLiteral("歌曲信息已复制"));
    EXPECT_TRUE(hintTimer->isActive());
    EXPECT_EQ(hintTimer->interval(), 1000);

    EXPECT_TRUE(waitFor([&] { return textOf(QStringLiteral("提示")) == QStringLiteral("音量：37"); }, 3000));
    EXPECT_FALSE(hintTimer->isActive());
}

TEST_F(MainWindowTest, CopyBeforeAnySongPutsOneBlank)
{
    click(control(QStringLiteral("标签1")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral(" "));
    EXPECT_EQ(textOf(QStringLiteral("提示")), QStringLiteral("歌曲信息已复制"));
}

TEST_F(MainWindowTest, FavouritesButtonSwitchesTheWidth)
{
    auto *button = control(QStringLiteral("收藏按钮"));
    click(button);
    EXPECT_EQ(window().width(), MainWindow::kWideWidth);
    click(button);
    EXPECT_EQ(window().width(), MainWindow::kNarrowWidth);
}

TEST_F(MainWindowTest, VolumeSliderSetsThePlayerAndTheHint)
{
    // A song must be loaded for the player to take a volume.
    m_player.openLocalFile((station::shortCatalogueDir() / "molihua.mp3").string());
    auto *slider = control<QSlider>(QStringLiteral("滑块条1"));
    auto *button = control(QStringLiteral("音量"));
    click(button);
    ASSERT_TRUE(slider->isVisible());

    slider->setValue(37);
    EXPECT_EQ(m_player.volume(), 37);
    EXPECT_EQ(textOf(QStringLiteral("提示")), QStringLiteral("音量：37"));
    QTest::keyClick(slider, Qt::Key_PageUp);
    EXPECT_EQ(m_player.volume(), 42);
    EXPECT_EQ(textOf(QStringLiteral("提示")), QStringLiteral("音量：42"));

    QTest::mouseRelease(slider, Qt::LeftButton);
    EXPECT_TRUE(slider->isHidden());
    click(button);
    EXPECT_TRUE(slider->isVisible());
    click(button);
    EXPECT_TRUE(slider->isHidden());
}

TEST_F(MainWindowTest, LyricsButtonShowsAndHidesTheDesktopLyrics)
{
    // (While the volume slider is open it lies over this button.)
    auto *button = control(QStringLiteral("歌词显示"));
    lyrics::DesktopLyrics *desktop = window().desktopLyrics();
    ASSERT_NE(desktop, nullptr);
    EXPECT_FALSE(desktop->isShown());
    EXPECT_EQ(desktop->renderer().text(), QStringLiteral("欢迎进入Sorvane"));
    for (bool shown : { true, false, true }) {
        click(button);
        EXPECT_EQ(desktop->isShown(), shown);
        EXPECT_EQ(window().state().desktopLyricsShown, shown);
    }
}

TEST_F(MainWindowTest, PauseAndContinueSwapTheirButtonsAndTheAnimation)
{
    auto *pause = control(QStringLiteral("暂停按钮"));
    auto *resume = control(QStringLiteral("继续播放"));
    auto *animation = control<PlayingAnimation>(QStringLiteral("图片框2"));
    auto *slider = control(QStringLiteral("滑块条1"));
    animation->start();

    for (int round = 0; round < 2; ++round) {
        click(control(QStringLiteral("音量")));
        click(pause);
        EXPECT_TRUE(pause->isHidden());
        EXPECT_TRUE(resume->isVisible());
        EXPECT_FALSE(animation->isRunning());
        EXPECT_TRUE(slider->isHidden());
        EXPECT_TRUE(window().isPaused());

        click(control(QStringLiteral("音量")));
        click(resume);
        EXPECT_TRUE(pause->isVisible());
        EXPECT_TRUE(resume->isHidden());
        EXPECT_TRUE(animation->isRunning());
        EXPECT_TRUE(slider->isHidden());
        EXPECT_FALSE(window().isPaused());
    }
    EXPECT_TRUE(requestsTo("/j/v2/playlist").empty());
}

} // namespace
} // namespace sorvane::app::testing
