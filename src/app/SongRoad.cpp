// The road of one song: channel choice, channel information, playlist, labels, cover,
// audio, lyrics; the cover click and similar songs; the lyric line on every tick.
#include "app/Controls.h"
#include "app/MainWindow.h"
#include "app/QtText.h"
#include "lyrics/LyricLookup.h"
#include "lyrics/ui/DesktopLyrics.h"
#include "lyrics/ui/LyricSettingsPanel.h"
#include "playback/MediaPlayer.h"
#include "service/Channels.h"
#include "service/Extract.h"
#include "service/Replies.h"
#include "service/Song.h"
#include "service/Texts.h"
#include "service/Urls.h"
#include "web/Download.h"
#include "web/HttpRequest.h"

#include <QComboBox>
#include <QSlider>
#include <QTreeWidget>
#include <QUrl>

namespace sorvane::app {

GbString MainWindow::serviceRequest(const std::string &address)
{
    auto &http = m_services.http;
    http.open("GET", address);
    http.send();
    return http.responseText();
}

QByteArray MainWindow::download(const std::string &address)
{
    const std::optional<std::string> bytes = web::download(address);
    if (!bytes)
        return {};
    return QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size()));
}

void MainWindow::fetchChannelInfo()
{
    const GbString reply = serviceRequest(service::channelInfoUrl(m_services.serviceBase, m_state.channelId));
    m_state.channelName = service::parseChannelName(reply);
}

void MainWindow::channelChosen(int index)
{
    m_volumeSlider->hide();
    m_channelCombo->hide();
    m_channelLabel->show();
    if (m_continueButton->isVisible()) {
        m_pauseButton->show();
        m_continueButton->hide();
    }
    const auto id = service::channelIdAt(index);
    if (!id)
        return; // a separator selects nothing
    m_state.channelId = *id;
    fetchChannelInfo();
    m_channelLabel->setText(toQt(service::channelLabel(index, m_state.channelName)));
    playNextSong();
}

void MainWindow::setSongLabels(const GbString &title, const GbString &artist, const GbString &kbps)
{
    const GbString caption = service::songCaption(title, artist);
    m_titleLabel->setText(toQt(title));
    m_lyricLabel->setText(toQt(caption));
    m_bitrateLabel->setText(toQt(service::kbpsLabel(kbps)));
    setWindowTitle(toQt(caption));
    m_desktopLyrics->setText(caption);
}

void MainWindow::setAlbumLinkPointer()
{
    if (service::hasAlbumPage(m_state.albumLink)) {
        m_cover->setCursor(Qt::PointingHandCursor);
        m_similarButton->show();
    } else {
        m_cover->setCursor(Qt::ArrowCursor);
        m_similarButton->hide();
    }
}

void MainWindow::playNextSong()
{
    m_retryTimer.stop();
    m_songReachedPlaying = false;
    const GbString reply = serviceRequest(service::playlistUrl(m_services.serviceBase, m_state.channelId));
    const service::Song song = service::parseSong(reply);

    m_state.songRecord = service::songRecordOf(song);
    m_state.setCurrentSong(song);
    m_state.playStatus = service::texts::playing();

    setSongLabels(song.title, song.artist, song.kbps);
    m_cover->setPictureBytes(download(song.picture));
    startPlayback(song.url);
    m_animation->start();
    fetchLyrics();
    m_playbackTimer.start(500);

    setAlbumLinkPointer();
    if (service::hasAlbumPage(m_state.albumLink))
        updateFavouriteMark();
    Q_EMIT songStarted();
}

void MainWindow::startPlayback(const GbString &address)
{
    m_services.player.open(text::gbToUtf8(address));
    m_services.player.setVolume(m_volumeSlider->value());
}

void MainWindow::updateFavouriteMark()
{
    const int rows = m_favouritesList->topLevelItemCount();
    if (rows == 0)
        return;
    const QString album = toQt(m_state.albumLink);
    bool found = false;
    for (int r = 0; r < rows && !found; ++r)
        found = m_favouritesList->topLevelItem(r)->text(7) == album;
    m_redHeart->setVisible(found);
    m_collectButton->setVisible(!found);
}

void MainWindow::coverClicked()
{
    m_volumeSlider->hide();
    m_channelCombo->hide();
    m_channelLabel->show();
    m_settingsPanel->hide();
    if (m_state.playStatus != service::texts::playing() || !service::hasAlbumPage(m_state.albumLink))
        return;
    // Only an address on the music site itself is handed to the browser.
    const auto address = service::albumPageUrl(m_services.musicBase, m_state.albumLink);
    if (address && m_services.openUrl)
        m_services.openUrl(QString::fromStdString(*address));
}

void MainWindow::similarSongs()
{
    const auto address = service::albumPageUrl(m_services.musicBase, m_state.albumLink);
    const QByteArray page = address ? download(*address) : QByteArray();
    const GbString id = service::parseSimilarChannelId(text::toGb(std::string_view(page.constData(), page.size()), "utf-8"));
    waitProcessingEvents(100);
    m_state.channelId = id;
    fetchChannelInfo();
    waitProcessingEvents(100);
    m_channelLabel->setText(toQt(service::mhzLabel(m_state.songArtist)));
    playNextSong();
}

void MainWindow::fetchLyrics()
{
    m_state.lyrics = lyrics::LyricLookup(
        serviceRequest(service::lyricUrl(m_services.serviceBase, m_state.songSid, m_state.songSsid)));
}

void MainWindow::showLyricLine(const GbString &position)
{
    const auto shown = m_state.lyrics.tick(position);
    if (!shown)
        return;
    const QString line = toQt(*shown);
    // The tick runs twice a second and finds the same line again until the next tag; a
    // desktop lyrics redraw of an unchanged picture was most of the CPU time spent
    // while a song plays.
    const auto &desktop = m_desktopLyrics->renderer();
    if (line == m_lyricLabel->text() && desktop.text() == line && desktop.highlightPercent() == 0)
        return;
    m_lyricLabel->setText(line);
    m_desktopLyrics->setText(toGb(m_lyricLabel->text()));
}

void MainWindow::toggleDesktopLyrics()
{
    m_volumeSlider->hide();
    if (!m_state.desktopLyricsShown) {
        m_desktopLyrics->show();
        m_state.desktopLyricsShown = true;
    } else {
        m_desktopLyrics->hide();
        m_state.desktopLyricsShown = false;
    }
}

void MainWindow::lyricLabelPressed()
{
    m_sharePanel->hide();
    m_volumeSlider->hide();
    m_channelCombo->hide();
    m_channelLabel->show();
    if (m_settingsPanel->x() == kSettingsOpenLeft) {
        m_settingsPanel->move(kSettingsClosedLeft, m_settingsPanel->y());
        m_settingsPanel->hide();
    }
}

} // namespace sorvane::app
