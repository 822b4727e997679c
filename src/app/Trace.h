// Opt-in timing marks for the measuring scripts: with SORVANE_TRACE=1 in the
// environment the program prints "sorvane-trace <unix time in seconds> playing" on
// stderr whenever the player first reports playing after a song was started.
#pragma once

namespace sorvane::playback {
class MediaPlayer;
}

namespace sorvane::app {

class MainWindow;

// Does nothing unless SORVANE_TRACE is "1". Takes the player's wakeup callback.
void tracePlaying(playback::MediaPlayer &player, MainWindow &window);

} // namespace sorvane::app
