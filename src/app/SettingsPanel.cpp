// The lyric settings panel and its file.
#include "app/MainWindow.h"
#include "lyrics/ui/DesktopLyrics.h"
#include "lyrics/ui/LyricSettingsPanel.h"

#include <QSlider>

#include <cstdio>
#include <filesystem>

namespace sorvane::app {

void MainWindow::toggleLyricSettingsPanel()
{
    lyrics::toggleLyricSettingsPanel(*m_settingsPanel, m_volumeSlider);
}

void MainWindow::applyLyricSettings()
{
    const auto saved = lyrics::applyLyricSettings(*m_settingsPanel, *m_desktopLyrics, settingsFilePath());
    if (!saved)
        std::fprintf(stderr, "sorvane: %s\n", saved.error().message.c_str());
}

void MainWindow::loadLyricSettings()
{
    std::error_code ec;
    if (std::filesystem::exists(settingsFilePath(), ec))
        lyrics::loadLyricSettings(*m_settingsPanel, *m_desktopLyrics, settingsFilePath());
}

void MainWindow::saveLyricSettings()
{
    const auto saved = lyrics::saveLyricSettings(*m_settingsPanel, settingsFilePath());
    if (!saved)
        std::fprintf(stderr, "sorvane: %s\n", saved.error().message.c_str());
}

} // namespace sorvane::app
