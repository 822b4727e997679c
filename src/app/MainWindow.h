// The main window: the player panel with its labels and buttons, and the favourites,
// lyric-settings and share panels that slide in beside it. Its handlers are grouped by
// panel in WindowRules.cpp, PlayerPanel.cpp, SongRoad.cpp, FavouritesPanel.cpp and
// SharePanel.cpp. Everything runs on the GUI thread; web requests are synchronous and
// bounded by the HTTP client's time-outs.
#pragma once

#include "app/RadioState.h"

#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QSlider;
class QTreeWidget;

namespace sorvane::web {
class HttpRequest;
}
namespace sorvane::playback {
class MediaPlayer;
}
namespace sorvane::lyrics {
class DesktopLyrics;
class LyricSettingsPanel;
}

namespace sorvane::app {

class ClickLabel;
class PictureBox;
class PictureButton;
class PlayingAnimation;
class ShapeBox;

// What the window needs from the rest of the program. All references outlive the window.
struct AppServices
{
    web::HttpRequest &http;
    playback::MediaPlayer &player;
    std::string serviceBase;   // e.g. "https://douban.fm"
    std::string musicBase;     // e.g. "https://music.douban.com"
    std::filesystem::path dataDirectory; // where gcsz.ini and scgq.ini live
    // Opens an address in the listener's browser; tests replace it.
    std::function<void(const QString &)> openUrl;
};

class MainWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kNarrowWidth = 432;
    static constexpr int kWideWidth = 658;
    static constexpr int kHeight = 216;
    static constexpr int kSettingsOpenLeft = 182;
    static constexpr int kSettingsClosedLeft = 430;

    explicit MainWindow(AppServices services, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The start-up steps that follow the single-instance guard: hot key, desktop lyrics,
    // the two files, the first channel information. Call once, before show().
    void initialise();

    // Saves both files; run when the window closes. Safe to call more than once.
    void saveAll();

    std::filesystem::path settingsFilePath() const;
    std::filesystem::path favouritesFilePath() const;

    RadioState &state() { return m_state; }
    lyrics::DesktopLyrics *desktopLyrics() const { return m_desktopLyrics; }

    // The window's own media-player state for the MPRIS service.
    bool isPaused() const;

Q_SIGNALS:
    // A new song was started (from a playlist or the favourites).
    void songStarted();
    // The song started by songStarted() is now heard; its length is known.
    void songPlaying();
    // Pause, continue or the end of a song changed the playing state.
    void playingStateChanged();
    void volumeChanged(int volume);

public Q_SLOTS:
    void playNextSong();
    void pressNext();
    void pressPause();
    void pressContinue();
    void setVolumeFromOutside(int volume);
    void hotKeyActivated(int id);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildPlayerPanel();
    void buildFavouritesPanel();
    void buildSharePanel();

    // Window rules.
    void closePanels();
    void channelChooser();
    void copySongInfo();
    void toggleFavouritesPanel();
    void edgeDockTick();
    void putSettingsPanelAway();
    void toggleLyricSettingsPanel();
    void applyLyricSettings();

    // Transport.
    void volumeButtonClicked();
    void volumeSliderMoved(int position);
    void playbackTick();
    void restoreHint();
    void showHintMessage(const QString &message);
    void setHintToVolume();

    // The road of one song.
    GbString serviceRequest(const std::string &address);
    QByteArray download(const std::string &address);
    void channelChosen(int index);
    void fetchChannelInfo();
    void startPlayback(const GbString &address);
    void coverClicked();
    void similarSongs();
    void fetchLyrics();
    void showLyricLine(const GbString &position);
    void toggleDesktopLyrics();
    void lyricLabelPressed();
    void updateFavouriteMark();
    void setSongLabels(const GbString &title, const GbString &artist, const GbString &kbps);
    void setAlbumLinkPointer();
    void waitProcessingEvents(int milliseconds);

    // Favourites.
    void collectClicked();
    void redHeartClicked();
    void playFavourite();
    void favouritesMenuRequested(const QPoint &pos);
    void deleteSelectedFavourite();
    void clearAllFavourites();
    void showFavouritesCount();
    void loadFavourites();
    bool saveFavourites();
    void loadLyricSettings();
    void saveLyricSettings();

    // Share.
    void shareCurrentSong();

    AppServices m_services;
    RadioState m_state;

    // Controls on the window.
    ClickLabel *m_hotKeyLabel = nullptr;     // 标签6
    ShapeBox *m_sharePanel = nullptr;        // 外形框3
    PictureBox *m_qrPicture = nullptr;       // 二维码图片框
    QLabel *m_shareCaption = nullptr;        // 透明标签1
    ShapeBox *m_favouritesPanel = nullptr;   // 外形框2
    QGroupBox *m_favouritesGroup = nullptr;  // 设置分组框2
    QTreeWidget *m_favouritesList = nullptr; // 收藏歌曲列表
    lyrics::LyricSettingsPanel *m_settingsPanel = nullptr; // 外形框1
    PictureButton *m_settingsButton = nullptr; // 设置
    PictureButton *m_shareButton = nullptr;    // 微信分享
    PictureButton *m_continueButton = nullptr; // 继续播放
    ShapeBox *m_playerPanel = nullptr;         // 音乐播放外形框
    QMenu *m_favouritesMenu = nullptr;         // 菜单

    // Controls on the player panel.
    ClickLabel *m_channelLabel = nullptr;   // 标签5
    QComboBox *m_channelCombo = nullptr;    // 组合框1
    ClickLabel *m_titleLabel = nullptr;     // 标签1
    ClickLabel *m_lyricLabel = nullptr;     // 标签2
    PlayingAnimation *m_animation = nullptr; // 图片框2
    PictureBox *m_cover = nullptr;          // 图片框1
    QLabel *m_timeLabel = nullptr;          // 标签3
    PictureButton *m_volumeButton = nullptr; // 音量
    QSlider *m_volumeSlider = nullptr;      // 滑块条1
    QLabel *m_bitrateLabel = nullptr;       // 标签4
    PictureButton *m_lyricsButton = nullptr; // 歌词显示
    ShapeBox *m_progressGreen = nullptr;    // 进度条_绿
    ShapeBox *m_progressGrey = nullptr;     // 进度条_灰
    PictureButton *m_redHeart = nullptr;    // 红心歌曲
    PictureButton *m_collectButton = nullptr; // 收藏歌曲
    QLabel *m_hintLabel = nullptr;          // 提示
    PictureButton *m_similarButton = nullptr; // 相似歌曲
    PictureButton *m_pauseButton = nullptr;   // 暂停按钮
    PictureButton *m_nextButton = nullptr;    // 下一曲
    PictureButton *m_favouritesButton = nullptr; // 收藏按钮

    QTimer m_dockTimer;     // 时钟1
    QTimer m_hintTimer;     // 时钟2
    QTimer m_playbackTimer; // times

    // Without a service, playlist rounds that give nothing playable wait longer each
    // time (0.5 s doubling up to 30 s) so the listener's address is not banned for
    // rapid requests; the wait resets once a song plays.
    QTimer m_retryTimer;
    int m_failedRounds = 0;
    bool m_songReachedPlaying = false;

    lyrics::DesktopLyrics *m_desktopLyrics = nullptr;
};

} // namespace sorvane::app
