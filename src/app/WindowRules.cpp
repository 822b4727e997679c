// Panel rules, copying the song information, the favourites-panel toggle, the hot-key
// window toggle and edge docking.
#include "app/Controls.h"
#include "app/EdgeDock.h"
#include "app/MainWindow.h"
#include "app/QtText.h"
#include "lyrics/ui/LyricSettingsPanel.h"

#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QSlider>

namespace sorvane::app {

void MainWindow::closePanels()
{
    m_sharePanel->hide();
    m_volumeSlider->hide();
    m_channelCombo->hide();
    m_channelLabel->show();
    m_settingsPanel->hide();
    if (m_settingsPanel->x() == kSettingsOpenLeft)
        m_settingsPanel->move(kSettingsClosedLeft, m_settingsPanel->y());
}

void MainWindow::channelChooser()
{
    if (m_channelCombo->isVisible()) {
        m_channelCombo->hide();
        m_channelLabel->show();
    } else {
        m_channelCombo->show();
        m_channelLabel->hide();
    }
    m_settingsPanel->hide();
}

void MainWindow::copySongInfo()
{
    m_sharePanel->hide();
    m_volumeSlider->hide();
    m_channelCombo->hide();
    m_channelLabel->show();
    m_settingsPanel->hide();
    if (m_settingsPanel->x() == kSettingsClosedLeft) {
        const GbString info = m_state.songRecord[5] + " " + m_state.songRecord[3];
        QGuiApplication::clipboard()->setText(toQt(info));
        showHintMessage(QStringLiteral("歌曲信息已复制"));
    } else {
        m_settingsPanel->move(kSettingsClosedLeft, m_settingsPanel->y());
    }
}

void MainWindow::toggleFavouritesPanel()
{
    setFixedWidth(width() == kNarrowWidth ? kWideWidth : kNarrowWidth);
}

void MainWindow::hotKeyActivated(int id)
{
    if (id == 0 || id != m_state.hotKeyId)
        return;
    if (m_state.windowToggleState == 1)
        show();
    else
        hide();
    m_state.windowToggleState = m_state.windowToggleState == 1 ? 2 : 1;
}

void MainWindow::putSettingsPanelAway()
{
    if (m_settingsPanel->x() == kSettingsOpenLeft)
        m_settingsPanel->move(kSettingsClosedLeft, m_settingsPanel->y());
}

void MainWindow::edgeDockTick()
{
    if (!isVisible())
        return;
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect frame = frameGeometry();
    const QPoint to = edgeDockStep(frame, screen->geometry().size(), QCursor::pos(screen));
    if (to != frame.topLeft())
        move(to);
}

} // namespace sorvane::app
