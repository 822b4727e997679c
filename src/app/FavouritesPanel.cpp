// The favourites list: collect, red heart, play a favourite, delete selected, clear all,
// and its file. The list is written to its file after every change, atomically, so a
// crash or a kill never loses the listener's favourites.
#include "app/Controls.h"
#include "app/MainWindow.h"
#include "app/QtText.h"
#include "lyrics/ui/DesktopLyrics.h"
#include "favourites/Favourites.h"
#include "favourites/ListFile.h"
#include "service/Texts.h"

#include <QGroupBox>
#include <QMenu>
#include <QTreeWidget>

#include <cstdio>
#include <filesystem>

namespace sorvane::app {

namespace {
constexpr int kAlbumColumn = 7;

// The row the listener selected, or null. Not the current item: that one moves to a
// neighbour when its row is deleted without being selected, and a second "删除选中"
// would then delete a row nobody chose.
QTreeWidgetItem *selectedRow(const QTreeWidget &list)
{
    const QList<QTreeWidgetItem *> selected = list.selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}
} // namespace

void MainWindow::showFavouritesCount()
{
    m_favouritesGroup->setTitle(QStringLiteral("收藏列表（共%1首）").arg(m_favouritesList->topLevelItemCount()));
}

void MainWindow::collectClicked()
{
    if (m_collectButton->isVisible()) {
        m_redHeart->show();
        m_collectButton->hide();
    } else {
        m_collectButton->show();
        m_redHeart->hide();
    }
    // A song counts as collected when a row already holds the title of the song being
    // added; the hint label is only where the listener is told so.
    const QString title = toQt(m_state.songTitle);
    for (int r = 0; r < m_favouritesList->topLevelItemCount(); ++r) {
        if (m_favouritesList->topLevelItem(r)->text(0) == title) {
            showHintMessage(QStringLiteral("歌曲收藏已存在"));
            return;
        }
    }
    QStringList cells;
    for (const GbString &cell : service::favouriteRowOf(m_state.currentSong()))
        cells << toQt(cell);
    auto *row = new QTreeWidgetItem(cells);
    row->setTextAlignment(1, Qt::AlignCenter);
    m_favouritesList->addTopLevelItem(row);
    showFavouritesCount();
    saveFavourites();
}

void MainWindow::redHeartClicked()
{
    if (m_redHeart->isVisible()) {
        m_redHeart->hide();
        m_collectButton->show();
    } else {
        m_redHeart->show();
        m_collectButton->hide();
    }
    const QString album = toQt(m_state.albumLink);
    for (int r = m_favouritesList->topLevelItemCount() - 1; r >= 0; --r) {
        if (m_favouritesList->topLevelItem(r)->text(kAlbumColumn) == album)
            delete m_favouritesList->takeTopLevelItem(r);
    }
    showFavouritesCount();
    saveFavourites();
}

void MainWindow::playFavourite()
{
    // With no row selected every column reads as empty text.
    std::vector<GbString> cells;
    if (const QTreeWidgetItem *row = selectedRow(*m_favouritesList))
        for (int c = 0; c < m_favouritesList->columnCount(); ++c)
            cells.push_back(toGb(row->text(c)));
    const service::Song favourite = service::songFromFavouriteRow(cells);

    m_redHeart->show();
    setSongLabels(favourite.title, favourite.artist, favourite.kbps);
    m_cover->setPictureBytes(download(favourite.picture));
    m_state.setCurrentSong(favourite);

    m_songReachedPlaying = false;
    startPlayback(favourite.url);
    m_animation->start();
    setFixedWidth(kNarrowWidth);
    m_state.channelId = "-10";
    fetchChannelInfo();
    m_channelLabel->setText(QStringLiteral("豆瓣精选 MHz"));

    setAlbumLinkPointer();
    if (service::hasAlbumPage(m_state.albumLink)) {
        fetchLyrics();
        m_playbackTimer.start(500);
    }
    Q_EMIT songStarted();
}

void MainWindow::favouritesMenuRequested(const QPoint &pos)
{
    m_favouritesMenu->popup(m_favouritesList->viewport()->mapToGlobal(pos));
}

void MainWindow::deleteSelectedFavourite()
{
    QTreeWidgetItem *row = selectedRow(*m_favouritesList);
    // With no row selected the comparison sees an empty text.
    if ((row ? row->text(kAlbumColumn) : QString()) == toQt(m_state.albumLink)) {
        m_redHeart->hide();
        m_collectButton->show();
    }
    if (!row)
        return;
    delete row;
    showFavouritesCount();
    saveFavourites();
}

void MainWindow::clearAllFavourites()
{
    m_favouritesList->clear();
    m_redHeart->hide();
    m_collectButton->show();
    showFavouritesCount();
    saveFavourites();
}

} // namespace sorvane::app

namespace sorvane::app {

void MainWindow::loadFavourites()
{
    std::error_code ec;
    if (!std::filesystem::exists(favouritesFilePath(), ec))
        return;
    favourites::ListModel list;
    for (auto &column : favourites::favouriteColumns())
        list.appendColumn(column);
    const auto loaded = favourites::loadListFile(list, favouritesFilePath());
    if (!loaded) {
        std::fprintf(stderr, "sorvane: %s\n", loaded.error().message.c_str());
        return;
    }
    QStringList titles;
    for (const auto &column : list.columns())
        titles << toQt(column.title);
    m_favouritesList->setColumnCount(static_cast<int>(list.columnCount()));
    m_favouritesList->setHeaderLabels(titles);
    for (std::size_t c = 0; c < list.columnCount(); ++c)
        m_favouritesList->setColumnWidth(static_cast<int>(c), list.column(c).width);
    QList<QTreeWidgetItem *> rows;
    for (std::size_t r = 0; r < list.rowCount(); ++r) {
        QStringList cells;
        for (std::size_t c = 0; c < list.columnCount(); ++c)
            cells << toQt(list.cell(r, c));
        auto *row = new QTreeWidgetItem(cells);
        row->setTextAlignment(1, Qt::AlignCenter);
        rows << row;
    }
    m_favouritesList->addTopLevelItems(rows);
}

bool MainWindow::saveFavourites()
{
    favourites::ListModel list;
    const int columns = m_favouritesList->columnCount();
    for (int c = 0; c < columns; ++c)
        list.appendColumn({toGb(m_favouritesList->headerItem()->text(c)), m_favouritesList->columnWidth(c),
                           c == favourites::kArtistColumn});
    for (int r = 0; r < m_favouritesList->topLevelItemCount(); ++r) {
        const QTreeWidgetItem *item = m_favouritesList->topLevelItem(r);
        std::vector<GbString> cells;
        cells.reserve(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c)
            cells.push_back(toGb(item->text(c)));
        list.appendRow(std::move(cells));
    }
    auto &settings = list.displaySettings();
    settings.width = m_favouritesList->width();
    settings.height = m_favouritesList->height();
    settings.visible = !m_favouritesList->isHidden();
    QTreeWidgetItem *selected = selectedRow(*m_favouritesList);
    settings.selectNow = selected ? m_favouritesList->indexOfTopLevelItem(selected) : -1;
    const auto saved = favourites::saveListFile(list, favouritesFilePath());
    if (!saved)
        std::fprintf(stderr, "sorvane: %s\n", saved.error().message.c_str());
    return saved.ok();
}

} // namespace sorvane::app
