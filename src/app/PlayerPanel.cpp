// Transport: pause, continue, next, volume, the playback tick and the hint label.
#include "app/Controls.h"
#include "app/MainWindow.h"
#include "app/QtText.h"
#include "lyrics/ui/LyricSettingsPanel.h"
#include "playback/MediaPlayer.h"

#include <QSlider>

#include <algorithm>

namespace sorvane::app {

namespace {
constexpr int kProgressWidth = 390;
constexpr int kFirstRetryMs = 500;
constexpr int kLongestRetryMs = 30000;
} // namespace

void MainWindow::pressPause()
{
    m_services.player.pause();
    m_volumeSlider->hide();
    m_pauseButton->hide();
    m_continueButton->show();
    m_animation->stop();
    putSettingsPanelAway();
    Q_EMIT playingStateChanged();
}

void MainWindow::pressContinue()
{
    m_services.player.play();
    m_volumeSlider->hide();
    m_pauseButton->show();
    m_continueButton->hide();
    m_animation->start();
    putSettingsPanelAway();
    Q_EMIT playingStateChanged();
}

void MainWindow::pressNext()
{
    playNextSong();
    m_volumeSlider->hide();
    m_shareButton->setEnabled(true);
    m_collectButton->show();
    setFixedWidth(kNarrowWidth);
    if (m_continueButton->isVisible()) {
        m_pauseButton->show();
        m_continueButton->hide();
    }
    putSettingsPanelAway();
}

bool MainWindow::isPaused() const
{
    return m_continueButton->isVisible();
}

void MainWindow::volumeButtonClicked()
{
    m_volumeSlider->setVisible(!m_volumeSlider->isVisible());
}

void MainWindow::volumeSliderMoved(int position)
{
    m_services.player.setVolume(position);
    setHintToVolume();
    Q_EMIT volumeChanged(position);
}

void MainWindow::setVolumeFromOutside(int volume)
{
    m_volumeSlider->setValue(std::clamp(volume, m_volumeSlider->minimum(), m_volumeSlider->maximum()));
}

void MainWindow::setHintToVolume()
{
    m_hintLabel->setText(QStringLiteral("音量：") + QString::number(m_volumeSlider->value()));
}

void MainWindow::showHintMessage(const QString &message)
{
    m_hintLabel->setText(message);
    m_hintTimer.start(1000);
}

void MainWindow::restoreHint()
{
    setHintToVolume();
    m_hintTimer.stop();
}

void MainWindow::playbackTick()
{
    auto &player = m_services.player;
    const int state = player.playState();
    using namespace playback::playstate;
    if (state == playing) {
        if (!m_songReachedPlaying) {
            m_songReachedPlaying = true;
            m_failedRounds = 0;
            Q_EMIT songPlaying();
        }
        const int p = static_cast<int>(player.currentPosition());
        const int d = static_cast<int>(player.duration());
        const GbString position = playback::MediaPlayer::formatTime(p);
        m_timeLabel->setText(toQt(position) + QStringLiteral(" | ") + toQt(playback::MediaPlayer::formatTime(d)));
        const int width = d == 0 ? 0 : static_cast<int>(static_cast<double>(p) / d * kProgressWidth);
        m_progressGreen->resize(std::clamp(width, 0, kProgressWidth), m_progressGreen->height());
        showLyricLine(position);
        return;
    }
    if (state == stopped || state == undefined || state == ready) {
        m_playbackTimer.stop();
        Q_EMIT playingStateChanged();
        if (m_songReachedPlaying) {
            playNextSong();
            return;
        }
        // Nothing played since the last round: wait longer before asking again.
        const int wait = std::min(kLongestRetryMs, kFirstRetryMs << std::min(m_failedRounds, 6));
        ++m_failedRounds;
        m_retryTimer.start(wait);
    }
}

} // namespace sorvane::app
