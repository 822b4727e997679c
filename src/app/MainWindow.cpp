#include "app/MainWindow.h"

#include "app/Controls.h"
#include "app/QtText.h"
#include "lyrics/ui/DesktopLyrics.h"
#include "lyrics/ui/LyricSettingsPanel.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QSlider>
#include <QTreeWidget>

// The icons live in this static library; its resources need registering by hand.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace sorvane::app {

MainWindow::MainWindow(AppServices services, QWidget *parent)
    : QWidget(parent)
    , m_services(std::move(services))
{
    initIconResources();
    buildControls();

    // Window rules.
    connect(m_playerPanel, &ShapeBox::pressed, this, &MainWindow::closePanels);
    connect(m_channelLabel, &ClickLabel::pressed, this, &MainWindow::channelChooser);
    connect(m_titleLabel, &ClickLabel::pressed, this, &MainWindow::copySongInfo);
    connect(m_favouritesButton, &QToolButton::clicked, this, &MainWindow::toggleFavouritesPanel);
    connect(&m_dockTimer, &QTimer::timeout, this, &MainWindow::edgeDockTick);
    connect(m_settingsButton, &QToolButton::clicked, this, &MainWindow::toggleLyricSettingsPanel);
    connect(m_settingsPanel, &lyrics::LyricSettingsPanel::applyRequested, this, &MainWindow::applyLyricSettings);

    // Transport.
    connect(m_pauseButton, &QToolButton::clicked, this, &MainWindow::pressPause);
    connect(m_continueButton, &QToolButton::clicked, this, &MainWindow::pressContinue);
    connect(m_nextButton, &QToolButton::clicked, this, &MainWindow::pressNext);
    connect(m_volumeButton, &QToolButton::clicked, this, &MainWindow::volumeButtonClicked);
    connect(m_volumeSlider, &QSlider::valueChanged, this, &MainWindow::volumeSliderMoved);
    connect(&m_playbackTimer, &QTimer::timeout, this, &MainWindow::playbackTick);
    connect(&m_hintTimer, &QTimer::timeout, this, &MainWindow::restoreHint);
    connect(&m_retryTimer, &QTimer::timeout, this, &MainWindow::playNextSong);

    // The road of one song.
    connect(m_channelCombo, qOverload<int>(&QComboBox::activated), this, &MainWindow::channelChosen);
    connect(m_cover, &PictureBox::pressed, this, &MainWindow::coverClicked);
    connect(m_similarButton, &QToolButton::clicked, this, &MainWindow::similarSongs);
    connect(m_lyricsButton, &QToolButton::clicked, this, &MainWindow::toggleDesktopLyrics);
    connect(m_lyricLabel, &ClickLabel::pressed, this, &MainWindow::lyricLabelPressed);

    // Favourites.
    connect(m_collectButton, &QToolButton::clicked, this, &MainWindow::collectClicked);
    connect(m_redHeart, &QToolButton::clicked, this, &MainWindow::redHeartClicked);
    connect(m_favouritesList, &QTreeWidget::itemDoubleClicked, this, [this] { playFavourite(); });
    connect(m_favouritesList, &QWidget::customContextMenuRequested, this, &MainWindow::favouritesMenuRequested);

    // Share.
    connect(m_shareButton, &QToolButton::clicked, this, &MainWindow::shareCurrentSong);
    connect(m_sharePanel, &ShapeBox::pressed, m_sharePanel, &QWidget::hide);
    connect(m_qrPicture, &PictureBox::pressed, m_sharePanel, &QWidget::hide);
}

MainWindow::~MainWindow()
{
    if (m_desktopLyrics)
        m_desktopLyrics->forceClose();
}

std::filesystem::path MainWindow::settingsFilePath() const
{
    return m_services.dataDirectory / "gcsz.ini";
}

std::filesystem::path MainWindow::favouritesFilePath() const
{
    return m_services.dataDirectory / "scgq.ini";
}

void MainWindow::initialise()
{
    m_state.desktopLyricsShown = false;
    m_state.channelId = "-10";
    setHintToVolume();

    m_desktopLyrics = new lyrics::DesktopLyrics(this);
    m_desktopLyrics->create();
    m_desktopLyrics->setDraggable(true);
    m_desktopLyrics->setNoClose(true);
    m_desktopLyrics->hide();
    m_desktopLyrics->setText(gbLiteral(u8"欢迎进入Sorvane"));

    loadLyricSettings();
    waitProcessingEvents(60);
    loadFavourites();
    waitProcessingEvents(60);
    showFavouritesCount();
    fetchChannelInfo();
    m_channelLabel->setText(QStringLiteral("豆瓣精选 MHz"));
    m_dockTimer.start();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    saveAll();
    if (m_desktopLyrics)
        m_desktopLyrics->forceClose();
    event->accept();
}

void MainWindow::saveAll()
{
    saveLyricSettings();
    saveFavourites();
}

void MainWindow::waitProcessingEvents(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace sorvane::app
