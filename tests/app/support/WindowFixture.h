// The real main window for widget and end-to-end tests: a real HttpRequest and
// MediaPlayer, a temporary data directory, and the local station on loopback as the
// service and the music site.
#pragma once

#include "app/MainWindow.h"
#include "playback/MediaPlayer.h"
#include "station/Station.h"
#include "web/HttpRequest.h"

#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class QComboBox;

namespace sorvane::app::testing {

// Processes events until `done` holds or `timeoutMs` pass; returns done().
template <typename Predicate> bool waitFor(Predicate done, int timeoutMs = 5000)
{
    return QTest::qWaitFor(done, timeoutMs);
}

// The catalogue in `dir`, or a failed assertion and an empty catalogue.
station::Catalogue loadCatalogue(const std::filesystem::path &dir);
// The catalogue of 3-second songs, for songs that end by themselves.
station::Catalogue shortCatalogue();
// The demo catalogue of 15-25 s songs, for tests that must not see a song end.
station::Catalogue demoCatalogue();

// The file's lines as UTF-8, without their CRLF ends.
std::vector<std::string> fileLinesUtf8(const std::filesystem::path &path);

// A point of `widget` (in its own coordinates) where a click reaches it, the other
// controls of its window lying where they lie; nothing when it is hidden or covered.
std::optional<QPoint> reachablePoint(QWidget *widget);

// Chooses item `index` of a combo box the way the listener does: opens its list, moves
// to the item and takes it.
void chooseComboItem(QComboBox *combo, int index);

class WindowFixture : public ::testing::Test
{
protected:
    explicit WindowFixture(station::Catalogue catalogue = shortCatalogue());
    ~WindowFixture() override;

    void SetUp() override;

    // Builds, initialises and shows a window on the data directory. The music-site base
    // is the station's unless given.
    MainWindow &openWindow(std::string musicBase = {});
    // Closes the window the way the listener does (saving both files) and deletes it.
    void closeWindow();

    MainWindow &window() { return *m_window; }
    std::filesystem::path dataDir() const { return std::filesystem::path(m_dir.path().toStdString()); }

    // The window's control called `name`; a failed expectation when there is none.
    template <typename T = QWidget> T *control(const QString &name)
    {
        T *found = m_window->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << "no control " << name.toStdString();
        return found;
    }

    // The text of the label called `name`.
    QString textOf(const QString &name);

    // Clicks `widget` where the listener can reach it: a visible point of it that no
    // other control covers. A failed assertion when it is hidden or covered everywhere.
    void click(QWidget *widget, Qt::MouseButton button = Qt::LeftButton);

    // Service requests whose path starts with `prefix`, since the station started.
    std::vector<station::RequestRecord> requestsTo(const std::string &prefix) const;

    QTemporaryDir m_dir;
    station::Catalogue m_catalogue;
    station::Station m_station;
    web::HttpRequest m_http;
    playback::MediaPlayer m_player;
    QStringList m_openedUrls;
    std::unique_ptr<MainWindow> m_window;
};

} // namespace sorvane::app::testing

// Readable texts in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
