// Builds the controls of the main window with their names, places, start states and
// stacking. Places are left, top, width, height relative to the parent.
#include "app/Controls.h"
#include "app/MainWindow.h"
#include "app/UiFonts.h"
#include "lyrics/ui/DesktopLyrics.h"
#include "lyrics/ui/LyricSettingsPanel.h"
#include "service/Channels.h"
#include "app/QtText.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QSlider>
#include <QTreeWidget>

namespace sorvane::app {

namespace {

template <typename W>
W *place(W *w, const char *name, int left, int top, int width, int height)
{
    w->setObjectName(QString::fromUtf8(name));
    w->setGeometry(left, top, width, height);
    return w;
}

// Earlier-created controls lie above later ones; Qt stacks the other way round.
void stackInCreationOrder(std::initializer_list<QWidget *> widgets)
{
    for (QWidget *w : widgets)
        w->lower();
}

QLabel *plainLabel(QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    return l;
}

// Hides the volume slider when the left mouse button is released on it.
class SliderReleaseFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            static_cast<QWidget *>(watched)->hide();
        return false;
    }
};

} // namespace

void MainWindow::buildControls()
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("SorvaneV1.5"));
    setFixedSize(kNarrowWidth, kHeight);
    move(50, 50);

    m_hotKeyLabel = place(new ClickLabel(this), "标签6", 200, 256, 176, 24);

    m_sharePanel = place(new ShapeBox(this, QColor(250, 250, 250)), "外形框3", 250, 0, 176, 210);
    m_sharePanel->hide();
    buildSharePanel();

    m_favouritesPanel = place(new ShapeBox(this, QColor(246, 246, 246)), "外形框2", 427, -4, 228, 216);
    buildFavouritesPanel();

    m_settingsPanel = new lyrics::LyricSettingsPanel(this);
    place(m_settingsPanel, "外形框1", kSettingsClosedLeft, -3, 248, 216);
    m_settingsPanel->hide();

    m_settingsButton = place(new PictureButton(QStringLiteral("settings"), tr("Lyric settings"), this), "设置",
                             236, 118, 20, 20);
    m_settingsButton->setCursor(Qt::PointingHandCursor);
    m_shareButton = place(new PictureButton(QStringLiteral("share"), tr("Share as QR code"), this), "微信分享",
                          263, 117, 20, 20);
    m_shareButton->setEnabled(false);
    m_continueButton = place(new PictureButton(QStringLiteral("play"), tr("Continue"), this), "继续播放", 310,
                             156, 30, 30);
    m_continueButton->setCursor(Qt::PointingHandCursor);
    m_continueButton->hide();

    m_playerPanel = place(new ShapeBox(this, QColor(255, 255, 255)), "音乐播放外形框", -16, -1, 649, 217);
    buildPlayerPanel();

    stackInCreationOrder({m_hotKeyLabel, m_sharePanel, m_favouritesPanel, m_settingsPanel, m_settingsButton,
                          m_shareButton, m_continueButton, m_playerPanel});

    m_favouritesMenu = new QMenu(this);
    m_favouritesMenu->setObjectName(QStringLiteral("菜单"));
    m_favouritesMenu->addAction(QStringLiteral("删除选中"), this, [this] { deleteSelectedFavourite(); });
    m_favouritesMenu->addAction(QStringLiteral("清空全部"), this, [this] { clearAllFavourites(); });

    // Children of the window, so they can be found by name like every other control.
    for (QTimer *timer : {&m_dockTimer, &m_hintTimer, &m_playbackTimer, &m_retryTimer})
        timer->setParent(this);
    m_dockTimer.setObjectName(QStringLiteral("时钟1"));
    m_dockTimer.setInterval(100);
    m_hintTimer.setObjectName(QStringLiteral("时钟2"));
    m_playbackTimer.setObjectName(QStringLiteral("times"));
    m_retryTimer.setSingleShot(true);
}

void MainWindow::buildSharePanel()
{
    m_qrPicture = place(new PictureBox(m_sharePanel), "二维码图片框", 16, 16, 144, 144);
    m_shareCaption = place(plainLabel(m_sharePanel), "透明标签1", 16, 160, 144, 24);
    m_shareCaption->setText(QStringLiteral("扫码分享到微信"));
    m_shareCaption->setAlignment(Qt::AlignCenter);
    m_shareCaption->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_shareCaption->setFont(uiFont(14));
}

void MainWindow::buildFavouritesPanel()
{
    m_favouritesGroup = place(new QGroupBox(QStringLiteral("收藏列表"), m_favouritesPanel), "设置分组框2", 11, 8,
                              208, 197);
    m_favouritesList = place(new QTreeWidget(m_favouritesGroup), "收藏歌曲列表", 4, 17, 199, 170);
    m_favouritesList->setFont(uiFont(12));
    m_favouritesList->setRootIsDecorated(false);
    m_favouritesList->setUniformRowHeights(true);
    m_favouritesList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_favouritesList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_favouritesList->setContextMenuPolicy(Qt::CustomContextMenu);
    m_favouritesList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_favouritesList->header()->setStretchLastSection(false);
    m_favouritesList->header()->setMinimumSectionSize(0);
    m_favouritesList->setHeaderLabels({QStringLiteral("歌曲名称"), QStringLiteral("歌手名称"), QStringLiteral("1"),
                                       QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                                       QStringLiteral("5"), QStringLiteral("6")});
    m_favouritesList->setColumnWidth(0, 90);
    m_favouritesList->setColumnWidth(1, 90);
    m_favouritesList->headerItem()->setTextAlignment(1, Qt::AlignCenter);
    for (int c = 2; c < 8; ++c)
        m_favouritesList->setColumnWidth(c, 0);
}

void MainWindow::buildPlayerPanel()
{
    QWidget *p = m_playerPanel;

    m_channelLabel = place(new ClickLabel(p), "标签5", 55, 15, 225, 24);
    m_channelLabel->setText(QStringLiteral("豆瓣精选 MHz"));
    m_channelLabel->setCursor(Qt::PointingHandCursor);
    m_channelLabel->setFont(uiFont(14));

    m_channelCombo = place(new QComboBox(p), "组合框1", 56, 18, 99, 20);
    for (const auto &entry : service::channelTable())
        m_channelCombo->addItem(toQt(entry.itemText));
    m_channelCombo->setMaxVisibleItems(32);
    m_channelCombo->hide();

    m_titleLabel = place(new ClickLabel(p), "标签1", 34, 41, 263, 46);
    m_titleLabel->setText(QStringLiteral("Sorvane"));
    m_titleLabel->setFont(uiFont(21));

    m_lyricLabel = place(new ClickLabel(p), "标签2", 34, 86, 263, 24);
    m_lyricLabel->setText(QStringLiteral("当前暂无歌词"));
    m_lyricLabel->setFont(uiFont(14));

    m_animation = place(new PlayingAnimation(p), "图片框2", 32, 17, 20, 20);

    m_cover = place(new PictureBox(p), "图片框1", 306, 16, 120, 120);

    m_timeLabel = place(plainLabel(p), "标签3", 35, 119, 80, 20);
    m_timeLabel->setText(QStringLiteral("00:00/00:00"));
    m_timeLabel->setFont(uiFont(12));

    m_volumeButton = place(new PictureButton(QStringLiteral("volume"), tr("Volume"), p), "音量", 111, 118, 20, 20);
    m_volumeButton->setCursor(Qt::PointingHandCursor);

    m_volumeSlider = place(new QSlider(Qt::Horizontal, p), "滑块条1", 136, 120, 112, 19);
    m_volumeSlider->setRange(1, 100);
    m_volumeSlider->setValue(100);
    m_volumeSlider->setPageStep(5);
    m_volumeSlider->setSingleStep(1);
    m_volumeSlider->installEventFilter(new SliderReleaseFilter(m_volumeSlider));
    m_volumeSlider->hide();

    m_bitrateLabel = place(plainLabel(p), "标签4", 163, 120, 56, 20);
    m_bitrateLabel->setText(QStringLiteral("128kbs"));
    m_bitrateLabel->setFont(uiFont(12));

    m_lyricsButton = place(new PictureButton(QStringLiteral("lyrics"), tr("Desktop lyrics"), p), "歌词显示", 226,
                           120, 20, 19);
    m_lyricsButton->setCursor(Qt::PointingHandCursor);

    m_progressGreen = place(new ShapeBox(p, QColor(26, 213, 152)), "进度条_绿", 36, 142, 0, 3);
    m_progressGrey = place(new ShapeBox(p, QColor(236, 236, 236)), "进度条_灰", 36, 142, 390, 3);

    m_redHeart = place(new PictureButton(QStringLiteral("heart"), tr("Remove from favourites"), p), "红心歌曲", 39,
                       156, 30, 30);
    m_redHeart->setCursor(Qt::PointingHandCursor);
    m_redHeart->hide();
    m_collectButton = place(new PictureButton(QStringLiteral("collect"), tr("Add to favourites"), p), "收藏歌曲",
                            39, 156, 30, 30);
    m_collectButton->setCursor(Qt::PointingHandCursor);
    m_collectButton->hide();

    m_hintLabel = place(plainLabel(p), "提示", 36, 188, 144, 20);
    m_hintLabel->setText(QStringLiteral("SorvaneV1.5"));
    m_hintLabel->setFont(uiFont(12));

    m_similarButton = place(new PictureButton(QStringLiteral("similar"), tr("Similar songs"), p), "相似歌曲", 272,
                            157, 30, 30);
    m_similarButton->setCursor(Qt::PointingHandCursor);
    m_similarButton->hide();
    m_pauseButton = place(new PictureButton(QStringLiteral("pause"), tr("Pause"), p), "暂停按钮", 326, 157, 30, 30);
    m_pauseButton->setCursor(Qt::PointingHandCursor);
    m_nextButton = place(new PictureButton(QStringLiteral("next"), tr("Next song"), p), "下一曲", 379, 157, 30, 30);
    m_nextButton->setCursor(Qt::PointingHandCursor);
    m_favouritesButton = place(new PictureButton(QStringLiteral("favourites"), tr("Favourites"), p), "收藏按钮",
                               430, 81, 12, 40);

    stackInCreationOrder({m_channelLabel, m_channelCombo, m_titleLabel, m_lyricLabel, m_animation, m_cover,
                          m_timeLabel, m_volumeButton, m_volumeSlider, m_bitrateLabel, m_lyricsButton,
                          m_progressGreen, m_progressGrey, m_redHeart, m_collectButton, m_hintLabel,
                          m_similarButton, m_pauseButton, m_nextButton, m_favouritesButton});
}

} // namespace sorvane::app
