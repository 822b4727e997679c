// The favourites list through the real window while songs play: collect, the red heart,
// delete selected and clear all from the menu, playing a favourite, and the list file
// after every change.
#include "WindowFixture.h"

#include "favourites/Favourites.h"
#include "favourites/ListFile.h"
#include "text/Encoding.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>

namespace sorvane::app::testing {
namespace {

using Row = std::vector<std::string>; // eight cells, UTF-8

// From the demo songs: two songs of one album, and a second "小星星" by another artist on
// another album page, so a title can be in the list while its album is not.
station::Catalogue favouritesCatalogue()
{
    const station::Catalogue demo = demoCatalogue();
    std::vector<station::Song> songs(demo.songs().begin(), demo.songs().end());
    if (songs.size() != 5) {
        ADD_FAILURE() << "the demo catalogue changed";
        return station::Catalogue({});
    }
    station::Song other = songs[1];
    other.sid = "2002";
    other.ssid = "b2";
    other.artist = "合唱团";
    other.albumPath = "/subject/2002/";
    // The order of a rotation that starts at 0: 茉莉花, 小星星, 两只老虎 (same album as
    // 小星星), 送别, 小星星 by 合唱团, 欢乐颂.
    songs.insert(songs.begin() + 4, other);
    return station::Catalogue(std::move(songs));
}

class Favourites : public WindowFixture
{
protected:
    Favourites()
        : WindowFixture(favouritesCatalogue())
    {
    }

    void SetUp() override
    {
        WindowFixture::SetUp();
        if (HasFatalFailure())
            return;
        openWindow();
        m_list = control<QTreeWidget>(QStringLiteral("收藏歌曲列表"));
        m_heart = control(QStringLiteral("红心歌曲"));
        m_collect = control(QStringLiteral("收藏歌曲"));
    }

    // The row a collect of `song` adds, as the station sends it.
    Row rowOf(const station::Song &song) const
    {
        return { song.title, song.artist, m_station.baseUrl() + "/audio/" + song.sid + "." + song.audioExt,
            m_station.baseUrl() + "/cover/" + song.sid + "." + song.coverExt, song.sid, song.ssid, song.kbps,
            song.albumPath };
    }
    const station::Song &current() const
    {
        const station::Song *song = m_catalogue.findSid(m_window->state().songSid);
        EXPECT_NE(song, nullptr);
        return song ? *song : m_catalogue.songs().front();
    }

    std::vector<Row> shownRows() const
    {
        std::vector<Row> rows;
        for (int r = 0; r < m_list->topLevelItemCount(); ++r) {
            Row row;
            for (int c = 0; c < 8; ++c)
                row.push_back(m_list->topLevelItem(r)->text(c).toStdString());
            rows.push_back(row);
        }
        return rows;
    }
    std::vector<Row> fileRows() const
    {
        favourites::ListModel model;
        const auto loaded = favourites::loadListFile(model, dataDir() / favourites::kFavouritesFileName);
        EXPECT_TRUE(loaded.ok()) << "scgq.ini cannot be read";
        std::vector<Row> rows;
        for (std::size_t r = 0; r < model.rowCount(); ++r) {
            Row row;
            for (std::size_t c = 0; c < 8; ++c)
                row.push_back(text::gbToUtf8(model.cell(r, c)));
            rows.push_back(row);
        }
        return rows;
    }
    // The list, its caption and the list file all hold `expected`.
    void expectFavourites(const std::vector<Row> &expected, const char *when)
    {
        EXPECT_EQ(shownRows(), expected) << when;
        EXPECT_EQ(fileRows(), expected) << when << ": scgq.ini";
        EXPECT_EQ(control<QGroupBox>(QStringLiteral("设置分组框2"))->title(),
            QStringLiteral("收藏列表（共%1首）").arg(expected.size()))
            << when;
    }

    void next()
    {
        click(control(QStringLiteral("下一曲")));
        ASSERT_TRUE(waitFor([&] { return m_player.playState() == playback::playstate::playing; }));
    }

    void openFavouritesPanel()
    {
        if (m_window->width() == MainWindow::kNarrowWidth)
            click(control(QStringLiteral("收藏按钮")));
        ASSERT_EQ(m_window->width(), MainWindow::kWideWidth);
    }
    QPoint rowCentre(int row) const { return m_list->visualItemRect(m_list->topLevelItem(row)).center(); }
    void selectRow(int row)
    {
        openFavouritesPanel();
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, rowCentre(row));
    }
    void doubleClickRow(int row)
    {
        openFavouritesPanel();
        const QPoint at = rowCentre(row);
        QTest::mousePress(m_list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(m_list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(m_list->viewport(), Qt::LeftButton, {}, at);
    }
    // A right click on the list, on row `row` or below the rows, then the menu item `item`.
    void chooseFromMenu(const QString &item, std::optional<int> row = std::nullopt)
    {
        openFavouritesPanel();
        const QPoint at = row ? rowCentre(*row)
                              : QPoint(m_list->viewport()->width() / 2, m_list->viewport()->height() - 5);
        ASSERT_TRUE(row || !m_list->itemAt(at)) << "the point below the rows holds a row";
        QTest::mousePress(m_list->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, m_list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(m_list->viewport(), &menuEvent);
        QTest::mouseRelease(m_list->viewport(), Qt::RightButton, {}, at);
        auto *menu = m_window->findChild<QMenu *>(QStringLiteral("菜单"));
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(waitFor([&] { return menu->isVisible(); })) << "no menu on a right click";
        QAction *action = nullptr;
        for (QAction *a : menu->actions())
            if (a->text() == item)
                action = a;
        ASSERT_NE(action, nullptr) << item.toStdString();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        ASSERT_TRUE(waitFor([&] { return !menu->isVisible(); }));
    }

    QTreeWidget *m_list = nullptr;
    QWidget *m_heart = nullptr;
    QWidget *m_collect = nullptr;
};

TEST_F(Favourites, CollectMarkDeletePlayAndClear)
{
    click(control(QStringLiteral("标签5")));
    chooseComboItem(control<QComboBox>(QStringLiteral("组合框1")), 7); // 粤语, channel 6: rotation from 0
    ASSERT_EQ(current().title, "茉莉花");
    EXPECT_TRUE(m_collect->isHidden()) << "the collect button first shows after next";

    next();
    const station::Song &xiaoxingxing = current();
    ASSERT_EQ(xiaoxingxing.title, "小星星");
    click(m_collect);
    EXPECT_TRUE(m_heart->isVisible());
    EXPECT_TRUE(m_collect->isHidden());
    std::vector<Row> rows { rowOf(xiaoxingxing) };
    expectFavourites(rows, "first collect");

    // A song of the same album page counts as a favourite; the heart lies over the
    // collect button that next shows.
    next();
    ASSERT_EQ(current().albumPath, xiaoxingxing.albumPath);
    EXPECT_TRUE(m_heart->isVisible());
    EXPECT_TRUE(m_collect->isVisible());
    EXPECT_FALSE(reachablePoint(m_collect)) << "the red heart must be the button seen and clicked";

    next();
    ASSERT_EQ(current().title, "送别");
    EXPECT_TRUE(m_heart->isHidden());
    click(m_collect);
    rows.push_back(rowOf(current()));
    expectFavourites(rows, "second song");

    // The same title on another album page: refused, with the hint for one second.
    next();
    ASSERT_EQ(current().title, "小星星");
    ASSERT_NE(current().albumPath, xiaoxingxing.albumPath);
    ASSERT_TRUE(m_heart->isHidden());
    click(m_collect);
    expectFavourites(rows, "refused collect");
    EXPECT_EQ(textOf(QStringLiteral("提示")), QStringLiteral("歌曲收藏已存在"));
    auto *hintTimer = m_window->findChild<QTimer *>(QStringLiteral("时钟2"));
    ASSERT_NE(hintTimer, nullptr);
    EXPECT_TRUE(hintTimer->isActive());

    // Another song, collected while the hint still stands.
    next();
    ASSERT_EQ(current().title, "欢乐颂");
    ASSERT_EQ(textOf(QStringLiteral("提示")), QStringLiteral("歌曲收藏已存在")) << "the hint went too soon";
    click(m_collect);
    rows.push_back(rowOf(current()));
    expectFavourites(rows, "collect while the hint stands");

    // Delete selected, from the menu.
    selectRow(0);
    chooseFromMenu(QStringLiteral("删除选中"), 0);
    rows.erase(rows.begin());
    expectFavourites(rows, "delete selected");
    EXPECT_TRUE(m_heart->isVisible()) << "the playing song is still a favourite";
    // A right click below the rows selects none: nothing to delete.
    selectRow(0);
    chooseFromMenu(QStringLiteral("删除选中"));
    EXPECT_TRUE(m_list->selectedItems().isEmpty());
    expectFavourites(rows, "delete with nothing selected");

    // The heart removes the playing song.
    click(control(QStringLiteral("收藏按钮")));
    click(m_heart);
    EXPECT_TRUE(m_heart->isHidden());
    EXPECT_TRUE(m_collect->isVisible());
    rows.pop_back();
    expectFavourites(rows, "red heart");

    // Play the favourite while the last playlist song is one that is not in the list.
    next();
    ASSERT_EQ(current().title, "茉莉花");
    const std::string lastPlaylistTitle = text::gbToUtf8(m_window->state().songRecord[5]);
    doubleClickRow(0);
    EXPECT_EQ(current().title, "送别");
    EXPECT_EQ(textOf(QStringLiteral("标签1")), QStringLiteral("送别"));
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("送别 - 李叔同"));
    EXPECT_EQ(textOf(QStringLiteral("标签5")), QStringLiteral("豆瓣精选 MHz"));
    EXPECT_EQ(m_window->state().channelId, "-10");
    EXPECT_EQ(m_window->width(), MainWindow::kNarrowWidth);
    EXPECT_TRUE(m_heart->isVisible());
    EXPECT_EQ(text::gbToUtf8(m_window->state().songRecord[5]), lastPlaylistTitle);
    EXPECT_EQ(requestsTo("/j/v2/lyric").back().target, "/j/v2/lyric?sid=1004&ssid=7d03");
    EXPECT_TRUE(waitFor([&] { return m_player.playState() == playback::playstate::playing; }));
    EXPECT_TRUE(waitFor([&] { return textOf(QStringLiteral("标签2")) == QStringLiteral("长亭外"); }))
        << "the favourite's lyrics follow it";

    // Collecting the favourite again adds nothing. (The heart now lies over the collect
    // button; its handler is reached directly.)
    ASSERT_TRUE(m_collect->isVisible());
    QTest::mouseClick(m_collect, Qt::LeftButton);
    expectFavourites(rows, "collect of the playing favourite");
    EXPECT_EQ(textOf(QStringLiteral("提示")), QStringLiteral("歌曲收藏已存在"));

    // The list comes back after a restart.
    closeWindow();
    openWindow();
    m_list = control<QTreeWidget>(QStringLiteral("收藏歌曲列表"));
    m_heart = control(QStringLiteral("红心歌曲"));
    m_collect = control(QStringLiteral("收藏歌曲"));
    expectFavourites(rows, "after a restart");

    chooseFromMenu(QStringLiteral("清空全部"));
    rows.clear();
    expectFavourites(rows, "clear all");
    EXPECT_TRUE(m_heart->isHidden());
    EXPECT_TRUE(m_collect->isVisible());
}

} // namespace
} // namespace sorvane::app::testing
