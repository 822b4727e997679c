// The road of one song through the real window, HTTP client and player, with the local
// station on loopback: choosing a channel, the labels, cover, progress and lyric line,
// the next song starting by itself, pause, continue and next, and the service going
// away and coming back.
#include "WindowFixture.h"

#include "app/Controls.h"
#include "lyrics/ui/DesktopLyrics.h"
#include "text/Encoding.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSlider>

namespace sorvane::app::testing {
namespace {

using station::Fault;
using station::FaultKind;

constexpr int kChannelIndexFolk = 14; // 民谣MHz, channel 8
constexpr int kSongStartMs = 5000;

class SongRoad : public WindowFixture
{
protected:
    explicit SongRoad(station::Catalogue catalogue = shortCatalogue())
        : WindowFixture(std::move(catalogue))
    {
    }

    void SetUp() override
    {
        WindowFixture::SetUp();
        if (!HasFatalFailure())
            openWindow();
    }

    void chooseChannel(int index)
    {
        click(control(QStringLiteral("标签5")));
        chooseComboItem(control<QComboBox>(QStringLiteral("组合框1")), index);
    }

    bool playing() { return m_player.playState() == playback::playstate::playing; }

    QString desktopText() { return window().desktopLyrics()->renderer().text(); }

    // The song the station plays for `channel`'s n-th playlist request (from 0).
    const station::Song &rotation(int channel, int n)
    {
        const auto &songs = m_catalogue.songs();
        return songs[(std::abs(channel) + n) % songs.size()];
    }

    static QString qt(const std::string &utf8) { return QString::fromStdString(utf8); }
    static QString caption(const station::Song &song) { return qt(song.title + " - " + song.artist); }
};

TEST_F(SongRoad, ChannelToLyricsAndOnToTheNextSongByItself)
{
    const station::Song &first = rotation(8, 0);
    const station::Song &second = rotation(8, 1);
    ASSERT_TRUE(first.lyric.has_value());
    ASSERT_FALSE(second.lyric.has_value()) << "the second song is the one without lyrics";

    chooseChannel(kChannelIndexFolk);
    EXPECT_EQ(textOf(QStringLiteral("标签5")), QStringLiteral("民谣 MHz"));
    EXPECT_EQ(window().state().channelId, "8");
    EXPECT_EQ(window().windowTitle(), caption(first));
    EXPECT_EQ(textOf(QStringLiteral("标签1")), qt(first.title));
    EXPECT_EQ(textOf(QStringLiteral("标签2")), caption(first));
    EXPECT_EQ(desktopText(), caption(first));
    EXPECT_EQ(textOf(QStringLiteral("标签4")), QStringLiteral("128Kbps"));
    EXPECT_TRUE(control<PictureBox>(QStringLiteral("图片框1"))->hasPicture());
    EXPECT_EQ(requestsTo("/j/v2/channel_info").back().target, "/j/v2/channel_info?id=8");
    ASSERT_EQ(requestsTo("/j/v2/playlist").size(), 1u);
    EXPECT_EQ(requestsTo("/j/v2/playlist")[0].target,
        "/j/v2/"
        "playlist?channel=8&kbps=128&client=s%3Amainsite%7Cy%3A3.0&app_name=radio_website&version=100&type="
        "n");
    EXPECT_EQ(
        requestsTo("/j/v2/lyric").back().target, "/j/v2/lyric?sid=" + first.sid + "&ssid=" + first.ssid);
    EXPECT_EQ(requestsTo("/cover/").size(), 1u);

    // The lyric line of second 1 shows in the label and on the desktop (the line of
    // second 0 is checked with longer songs below).
    ASSERT_TRUE(
        waitFor([&] { return textOf(QStringLiteral("标签2")) == QStringLiteral("古道边"); }, kSongStartMs))
        << textOf(QStringLiteral("标签2")).toStdString();
    EXPECT_EQ(desktopText(), QStringLiteral("古道边"));

    // Time and progress move.
    auto *green = control(QStringLiteral("进度条_绿"));
    ASSERT_TRUE(waitFor([&] { return green->width() > 0; }));
    const int earlier = green->width();
    EXPECT_TRUE(waitFor([&] { return green->width() > earlier; })) << earlier;
    EXPECT_LE(green->width(), 390);
    EXPECT_EQ(green->height(), 3);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^00:0[0-3] \\| 00:0[2-4]$"))
                    .match(textOf(QStringLiteral("标签3")))
                    .hasMatch())
        << textOf(QStringLiteral("标签3")).toStdString();

    // The song ends and the next one of the channel starts without a click.
    ASSERT_TRUE(waitFor([&] { return window().windowTitle() == caption(second); }, 8000))
        << window().windowTitle().toStdString();
    const auto playlists = requestsTo("/j/v2/playlist");
    ASSERT_EQ(playlists.size(), 2u);
    EXPECT_EQ(playlists[1].target, playlists[0].target);
    // Its reply says it has no lyrics.
    EXPECT_TRUE(waitFor([&] { return textOf(QStringLiteral("标签2")) == QStringLiteral("暂无歌词"); }))
        << textOf(QStringLiteral("标签2")).toStdString();
    EXPECT_EQ(desktopText(), QStringLiteral("暂无歌词"));
}

TEST_F(SongRoad, ServiceDownRetriesWithGrowingWaitsAndPlaysOnceBack)
{
    m_station.addFault(Fault { "/j/v2/playlist", FaultKind::Status, 503, -1 });
    QElapsedTimer clock;
    clock.start();
    chooseChannel(2); // 华语, channel 1

    // Nothing to play: every value of the song is empty.
    EXPECT_EQ(textOf(QStringLiteral("标签1")), QString());
    EXPECT_EQ(textOf(QStringLiteral("标签2")), QStringLiteral(" - "));
    EXPECT_EQ(textOf(QStringLiteral("标签4")), QStringLiteral("Kbps"));
    EXPECT_EQ(window().windowTitle(), QStringLiteral(" - "));

    std::vector<qint64> arrivals { clock.elapsed() };
    while (arrivals.size() < 4) {
        const size_t seen = requestsTo("/j/v2/playlist").size();
        ASSERT_TRUE(waitFor([&] { return requestsTo("/j/v2/playlist").size() > seen; }, 8000))
            << "retry " << arrivals.size() << " never came";
        arrivals.push_back(clock.elapsed());
        // The window keeps answering between rounds.
        const int width = window().width();
        click(control(QStringLiteral("收藏按钮")));
        EXPECT_NE(window().width(), width);
    }
    EXPECT_EQ(requestsTo("/j/v2/playlist").size(), 4u);
    const qint64 gap1 = arrivals[1] - arrivals[0];
    const qint64 gap2 = arrivals[2] - arrivals[1];
    const qint64 gap3 = arrivals[3] - arrivals[2];
    EXPECT_GE(gap1, 400);
    EXPECT_GT(gap2, gap1 + 250) << gap1 << " " << gap2;
    EXPECT_GT(gap3, gap2 + 500) << gap2 << " " << gap3;

    m_station.clearFaults();
    const station::Song &song = rotation(1, 0);
    EXPECT_TRUE(waitFor([&] { return window().windowTitle() == caption(song) && playing(); }, 10000))
        << window().windowTitle().toStdString();
}

class Transport : public SongRoad
{
protected:
    Transport()
        : SongRoad(demoCatalogue())
    {
    }
};

TEST_F(Transport, PauseContinueAndNextWhilePaused)
{
    auto *pause = control(QStringLiteral("暂停按钮"));
    auto *resume = control(QStringLiteral("继续播放"));
    auto *animation = control<PlayingAnimation>(QStringLiteral("图片框2"));
    control<QSlider>(QStringLiteral("滑块条1"))->setValue(37); // before any song
    chooseChannel(0);
    EXPECT_EQ(textOf(QStringLiteral("标签5")), QStringLiteral("豆瓣精选 MHz"));
    EXPECT_EQ(window().windowTitle(), caption(rotation(-10, 0)));
    ASSERT_TRUE(waitFor([&] { return playing(); }, kSongStartMs));
    EXPECT_EQ(m_player.volume(), 37) << "a song starts at the slider's volume";
    EXPECT_TRUE(animation->isRunning());
    EXPECT_FALSE(control(QStringLiteral("微信分享"))->isEnabled()) << "only next enables sharing";

    click(pause);
    EXPECT_TRUE(waitFor([&] { return m_player.playState() == playback::playstate::paused; }));
    EXPECT_TRUE(resume->isVisible());
    EXPECT_TRUE(pause->isHidden());
    EXPECT_FALSE(animation->isRunning());
    const double heldAt = m_player.currentPosition();
    const QString timeShown = textOf(QStringLiteral("标签3"));
    QTest::qWait(1100); // two ticks of the playback timer
    EXPECT_EQ(m_player.currentPosition(), heldAt);
    EXPECT_EQ(textOf(QStringLiteral("标签3")), timeShown);

    click(resume);
    EXPECT_TRUE(waitFor([&] { return playing(); }));
    EXPECT_TRUE(pause->isVisible());
    EXPECT_TRUE(resume->isHidden());
    EXPECT_TRUE(animation->isRunning());
    EXPECT_TRUE(waitFor([&] { return textOf(QStringLiteral("标签3")) != timeShown; }));
    EXPECT_EQ(requestsTo("/j/v2/playlist").size(), 1u) << "pause and continue ask for no song";

    // Next while paused, with the favourites panel open.
    click(pause);
    click(control(QStringLiteral("收藏按钮")));
    ASSERT_EQ(window().width(), MainWindow::kWideWidth);
    click(control(QStringLiteral("下一曲")));
    EXPECT_EQ(window().windowTitle(), caption(rotation(-10, 1)));
    EXPECT_EQ(requestsTo("/j/v2/playlist").size(), 2u);
    EXPECT_TRUE(pause->isVisible());
    EXPECT_TRUE(resume->isHidden());
    EXPECT_EQ(window().width(), MainWindow::kNarrowWidth);
    EXPECT_TRUE(control(QStringLiteral("微信分享"))->isEnabled());
    EXPECT_TRUE(control(QStringLiteral("收藏歌曲"))->isVisible());
    EXPECT_TRUE(waitFor([&] { return playing(); }, kSongStartMs));
}

TEST_F(Transport, LyricLineFollowsTheTags)
{
    chooseChannel(kChannelIndexFolk);
    ASSERT_EQ(window().windowTitle(), QStringLiteral("送别 - 李叔同"));
    // [00:00.25]长亭外, [00:03.10]古道边, [00:05.96]芳草碧连天
    for (const QString &line : { QStringLiteral("长亭外"), QStringLiteral("古道边") }) {
        EXPECT_TRUE(waitFor([&] { return textOf(QStringLiteral("标签2")) == line; }, kSongStartMs))
            << line.toStdString() << " never came; the label reads "
            << textOf(QStringLiteral("标签2")).toStdString();
        EXPECT_EQ(desktopText(), line);
        EXPECT_EQ(textOf(QStringLiteral("标签1")), QStringLiteral("送别")) << "the title stays";
    }
}

TEST_F(Transport, SeparatorWhilePlayingChangesNothing)
{
    chooseChannel(2); // 华语, channel 1
    ASSERT_TRUE(waitFor([&] { return playing(); }, kSongStartMs));
    const QString label = textOf(QStringLiteral("标签5"));
    const QString title = window().windowTitle();
    const auto requests = m_station.requests().size();

    chooseChannel(11);
    EXPECT_EQ(m_station.requests().size(), requests) << "a separator must not reach the service";
    EXPECT_EQ(textOf(QStringLiteral("标签5")), label);
    EXPECT_TRUE(control(QStringLiteral("标签5"))->isVisible());
    EXPECT_TRUE(control(QStringLiteral("组合框1"))->isHidden());
    EXPECT_EQ(window().windowTitle(), title);
    EXPECT_EQ(window().state().channelId, "1");
    EXPECT_TRUE(playing());
}

TEST_F(Transport, ChannelChosenWhilePausedPlaysWithThePauseButtonBack)
{
    chooseChannel(0);
    ASSERT_TRUE(waitFor([&] { return playing(); }, kSongStartMs));
    click(control(QStringLiteral("暂停按钮")));
    ASSERT_TRUE(control(QStringLiteral("继续播放"))->isVisible());

    chooseChannel(kChannelIndexFolk);
    EXPECT_EQ(window().windowTitle(), caption(rotation(8, 0)));
    EXPECT_TRUE(control(QStringLiteral("暂停按钮"))->isVisible());
    EXPECT_TRUE(control(QStringLiteral("继续播放"))->isHidden());
    EXPECT_TRUE(waitFor([&] { return playing(); }, kSongStartMs));
}

} // namespace
} // namespace sorvane::app::testing
