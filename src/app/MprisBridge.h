// Joins the main window to the MPRIS service: the window's song and state go out to
// desktop media widgets, and their requests act like the window's own buttons.
#pragma once

#include "platform/MprisService.h"

namespace sorvane::playback {
class MediaPlayer;
}

namespace sorvane::app {

class MainWindow;

class MprisBridge
{
public:
    MprisBridge(MainWindow &window, playback::MediaPlayer &player);
    bool isRegistered() const { return m_service.isRegistered(); }

private:
    void publishSong();
    void publishState();

    MainWindow &m_window;
    playback::MediaPlayer &m_player;
    platform::MprisService m_service;
};

} // namespace sorvane::app
