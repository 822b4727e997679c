#include "app/MprisBridge.h"

#include "app/MainWindow.h"
#include "app/QtText.h"
#include "playback/MediaPlayer.h"

#include <QCoreApplication>

namespace sorvane::app {

MprisBridge::MprisBridge(MainWindow &window, playback::MediaPlayer &player)
    : m_window(window)
    , m_player(player)
{
    using platform::MprisService;
    m_service.setPositionProvider([this] { return static_cast<qint64>(m_player.currentPosition() * 1e6); });
    m_service.setVolume(1.0);

    QObject::connect(&m_service, &MprisService::raiseRequested, &window, [this] {
        // Showing a window the hot key hid counts as the hot key's show, so the next
        // Home press hides it again instead of showing it a second time.
        if (m_window.state().windowToggleState == 1)
            m_window.state().windowToggleState = 2;
        m_window.show();
        m_window.raise();
        m_window.activateWindow();
    });
    // Closing a window the hot key has hidden is not "the last window closed", so the
    // event loop is ended here too; the window still saves its files while it closes.
    QObject::connect(&m_service, &MprisService::quitRequested, &window, [this] {
        if (m_window.close())
            QCoreApplication::quit();
    });
    QObject::connect(&m_service, &MprisService::nextRequested, &window, &MainWindow::pressNext);
    QObject::connect(&m_service, &MprisService::pauseRequested, &window, [this] {
        if (!m_window.isPaused())
            m_window.pressPause();
    });
    QObject::connect(&m_service, &MprisService::playRequested, &window, [this] {
        if (m_window.isPaused())
            m_window.pressContinue();
    });
    QObject::connect(&m_service, &MprisService::playPauseRequested, &window, [this] {
        if (m_window.isPaused())
            m_window.pressContinue();
        else
            m_window.pressPause();
    });
    QObject::connect(&m_service, &MprisService::volumeRequested, &window,
                     [this](double v) { m_window.setVolumeFromOutside(static_cast<int>(v * 100 + 0.5)); });

    QObject::connect(&window, &MainWindow::songStarted, &window, [this] {
        publishSong();
        publishState();
    });
    QObject::connect(&window, &MainWindow::songPlaying, &window, [this] {
        m_service.setLength(static_cast<qint64>(m_player.duration() * 1e6));
        publishState();
    });
    QObject::connect(&window, &MainWindow::playingStateChanged, &window, [this] { publishState(); });
    QObject::connect(&window, &MainWindow::volumeChanged, &window,
                     [this](int volume) { m_service.setVolume(volume / 100.0); });

    // Without a session bus the program runs all the same.
    m_service.registerOn();
}

void MprisBridge::publishSong()
{
    const RadioState &s = m_window.state();
    platform::TrackMetadata track;
    track.title = toQt(s.songTitle);
    track.artist = toQt(s.songArtist);
    track.album = toQt(s.songRecord[1]);
    track.artUrl = toQt(s.coverUrl);
    track.lengthUs = static_cast<qint64>(m_player.duration() * 1e6);
    m_service.setMetadata(track);
}

void MprisBridge::publishState()
{
    using platform::PlaybackStatus;
    if (m_window.isPaused()) {
        m_service.setPlaybackStatus(PlaybackStatus::Paused);
        return;
    }
    // Loading, buffering and the last moments of a song count as playing; a song that
    // failed or ended, or no song at all, is stopped.
    using namespace playback::playstate;
    const int state = m_player.playState();
    const bool heard = state == playing || state == buffering || state == mediaEnded || state == transitioning;
    m_service.setPlaybackStatus(heard ? PlaybackStatus::Playing : PlaybackStatus::Stopped);
}

} // namespace sorvane::app
