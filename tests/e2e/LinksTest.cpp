// Where the current song leads: the share panel's QR picture (read back with zbar), the
// album page the cover opens, and the switch to similar songs.
#include "WindowFixture.h"

#include "app/Controls.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>

namespace sorvane::app::testing {
namespace {

class Links : public WindowFixture
{
protected:
    explicit Links(station::Catalogue catalogue = shortCatalogue())
        : WindowFixture(std::move(catalogue))
    {
    }

    void chooseChannel(int index)
    {
        click(control(QStringLiteral("标签5")));
        chooseComboItem(control<QComboBox>(QStringLiteral("组合框1")), index);
    }
    const station::Song &current() const
    {
        const station::Song *song = m_catalogue.findSid(m_window->state().songSid);
        EXPECT_NE(song, nullptr);
        return song ? *song : m_catalogue.songs().front();
    }

    // The text zbar reads from `image`.
    std::string decodeQr(const QImage &image)
    {
        const QString file = m_dir.filePath(QStringLiteral("qr.png"));
        EXPECT_TRUE(image.save(file));
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"),
            { QStringLiteral("--nodbus"), QStringLiteral("--raw"), QStringLiteral("-Sbinary"), file });
        EXPECT_TRUE(zbar.waitForFinished(10000));
        EXPECT_EQ(zbar.exitCode(), 0) << zbar.readAllStandardError().toStdString();
        std::string read = zbar.readAllStandardOutput().toStdString();
        while (!read.empty() && read.back() == '\n')
            read.pop_back();
        return read;
    }
};

TEST_F(Links, ShareShowsTheSongsChannelLinkAsAReadableQrPicture)
{
    openWindow();
    auto *share = control(QStringLiteral("微信分享"));
    auto *panel = control(QStringLiteral("外形框3"));
    auto *picture = control<PictureBox>(QStringLiteral("二维码图片框"));
    chooseChannel(0);
    EXPECT_FALSE(share->isEnabled());
    click(control(QStringLiteral("下一曲")));
    ASSERT_TRUE(share->isEnabled());
    const station::Song &song = current();

    click(share);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(requestsTo("/j/v2/song/").back().target, "/j/v2/song/" + song.sid + "g" + song.ssid + "/");
    EXPECT_EQ(textOf(QStringLiteral("透明标签1")), QStringLiteral("扫码分享到微信"));
    ASSERT_TRUE(picture->hasPicture());
    EXPECT_EQ(picture->image().size(), QSize(144, 144));
    EXPECT_EQ(
        decodeQr(picture->image()), m_station.baseUrl() + "/channel/" + song.channel + "?start=" + song.sid);

    click(picture);
    EXPECT_TRUE(panel->isHidden());
    click(share);
    ASSERT_TRUE(panel->isVisible());
    click(panel);
    EXPECT_TRUE(panel->isHidden());
}

// Album paths a reply may carry. With a music-site base that has no path of its own (as
// the real one), a path starting with "@" or "." would move the address to another host.
station::Catalogue albumCatalogue()
{
    const station::Catalogue demo = demoCatalogue();
    std::vector<station::Song> songs(demo.songs().begin(), demo.songs().begin() + 4);
    if (songs.size() != 4)
        return station::Catalogue({});
    songs[0].albumPath = "@evil.example/subject/1/";
    songs[1].albumPath = ".evil.example/subject/2/";
    songs[2].albumPath = "/subject/1003/";
    songs[3].albumPath = "/album/4/";
    return station::Catalogue(std::move(songs));
}

class AlbumLinks : public Links
{
protected:
    AlbumLinks()
        : Links(albumCatalogue())
    {
    }
};

TEST_F(AlbumLinks, CoverOpensOnlyPagesOnTheMusicSite)
{
    openWindow(m_station.baseUrl());
    auto *cover = control<PictureBox>(QStringLiteral("图片框1"));
    auto *similar = control(QStringLiteral("相似歌曲"));
    click(cover);
    EXPECT_TRUE(m_openedUrls.isEmpty()) << "no song has played yet";

    chooseChannel(5); // 80s, channel 4: the rotation starts at the first song
    ASSERT_EQ(current().albumPath, "@evil.example/subject/1/");
    click(cover);
    click(control(QStringLiteral("下一曲")));
    ASSERT_EQ(current().albumPath, ".evil.example/subject/2/");
    click(cover);
    EXPECT_TRUE(m_openedUrls.isEmpty()) << m_openedUrls.join(QStringLiteral(" ")).toStdString();

    click(control(QStringLiteral("下一曲")));
    ASSERT_EQ(current().albumPath, "/subject/1003/");
    EXPECT_EQ(cover->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(similar->isVisible());
    click(cover);
    EXPECT_EQ(m_openedUrls, QStringList { QString::fromStdString(m_station.baseUrl() + "/subject/1003/") });

    click(control(QStringLiteral("下一曲")));
    ASSERT_EQ(current().albumPath, "/album/4/");
    EXPECT_EQ(cover->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(similar->isHidden());
    click(cover);
    EXPECT_EQ(m_openedUrls.size(), 1);
}

// A song page whose channel id is too long for any QR symbol at level M: the encoder's
// report is shown in its box and the program plays on.
station::Catalogue hugeChannelCatalogue()
{
    std::vector<station::Song> songs(shortCatalogue().songs());
    for (auto &song : songs)
        song.channel = std::string(3000, '7');
    return station::Catalogue(std::move(songs));
}

class HugeShareLink : public Links
{
protected:
    HugeShareLink()
        : Links(hugeChannelCatalogue())
    {
    }
};

TEST_F(HugeShareLink, EncoderReportIsShownAndThePlayerGoesOn)
{
    openWindow();
    chooseChannel(0);
    click(control(QStringLiteral("下一曲")));
    QTRY_VERIFY_WITH_TIMEOUT(m_player.playState() == 3, 10000);

    QString title;
    QString text;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            box->accept();
        }
    });
    closer.start(20);
    click(control(QStringLiteral("微信分享")));
    closer.stop();

    EXPECT_EQ(title, QStringLiteral("程序运行异常提示"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("异常来源：["))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("初始化二维码()"))) << text.toStdString();
    EXPECT_TRUE(m_window->isVisible());
    const std::string sid = m_window->state().songSid;
    QTest::qWait(600);
    EXPECT_EQ(m_window->state().songSid, sid);
    EXPECT_EQ(m_player.playState(), 3);
}

TEST_F(Links, SimilarSongsSwitchesToTheAlbumsChannelUnderTheArtistsName)
{
    openWindow();
    chooseChannel(0);
    const station::Song &song = current();
    auto *similar = control(QStringLiteral("相似歌曲"));
    ASSERT_TRUE(similar->isVisible());
    // The player's audio requests interleave; the pages and the service requests in order.
    const auto pagesAndService = [this] {
        std::vector<station::RequestRecord> found;
        for (const auto &r : m_station.requests())
            if (r.target.rfind("/music/", 0) == 0 || r.target.rfind("/j/v2/", 0) == 0)
                found.push_back(r);
        return found;
    };
    const auto before = pagesAndService().size();

    click(similar);
    EXPECT_EQ(textOf(QStringLiteral("标签5")), QString::fromStdString(song.artist + " MHz"));
    EXPECT_EQ(m_window->state().channelId, song.channel);
    const auto requests = pagesAndService();
    ASSERT_GE(requests.size(), before + 3);
    EXPECT_EQ(requests[before].target, "/music" + song.albumPath);
    EXPECT_EQ(requests[before + 1].target, "/j/v2/channel_info?id=" + song.channel);
    EXPECT_EQ(requests[before + 2].target.rfind("/j/v2/playlist?channel=" + song.channel + "&", 0), 0u)
        << requests[before + 2].target;
}

} // namespace
} // namespace sorvane::app::testing
