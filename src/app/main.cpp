// Sorvane: start-up and shut-down order.
#include "app/DemoStation.h"
#include "app/MainWindow.h"
#include "app/MprisBridge.h"
#include "app/TermSignals.h"
#include "app/Trace.h"
#include "platform/GlobalHotKey.h"
#include "platform/InstanceLock.h"
#include "platform/XcbPreference.h"
#include "playback/MediaPlayer.h"
#include "service/Endpoints.h"
#include "storage/DataDirectory.h"
#include "web/CurlGlobal.h"
#include "web/HttpRequest.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDesktopServices>
#include <QIcon>
#include <QMessageBox>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <string_view>

using namespace sorvane;

namespace {

// True when the command line asks for text only (help or version).
bool asksOnlyForText(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Internet radio for the Douban FM service."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Play from the built-in demo station on this machine."));
    parser.addOption(demo);

    // Help and version are printed on a terminal that may have no display at all, and
    // the GUI platform aborts the process without one: answer them before it loads.
    if (asksOnlyForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("sorvane"));
        QCoreApplication::setApplicationVersion(QStringLiteral(SORVANE_VERSION));
        parser.process(app); // prints and exits
        return 0;
    }

    platform::preferXcbPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sorvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Sorvane"));
    QApplication::setApplicationVersion(QStringLiteral(SORVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("sorvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/sorvane.svg")));
    parser.process(app);

    // One instance at a time; a second start says so and touches no file.
    platform::InstanceLock instanceLock;
    if (!instanceLock.tryAcquire()) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Sorvane"), QStringLiteral("你已经打开这个程序了！"),
                        QMessageBox::Ok);
        box.exec();
        return 0;
    }

    app::DemoStation station;
    if (parser.isSet(demo)) {
        if (!station.start()) {
            std::fprintf(stderr, "sorvane: %s\n", qPrintable(station.errorText()));
            return 1;
        }
        // The demo station is on loopback: its traffic never goes through a proxy.
        for (const char *name : {"no_proxy", "NO_PROXY"}) {
            QByteArray value = qgetenv(name);
            value += value.isEmpty() ? "127.0.0.1,localhost" : ",127.0.0.1,localhost";
            qputenv(name, value);
        }
        service::Endpoints e;
        e.serviceBase = station.serviceBase().toStdString();
        e.musicBase = station.musicBase().toStdString();
        service::setEndpoints(e);
    }

    const auto dataDirectory = storage::dataDirectory();
    if (!dataDirectory) {
        std::fprintf(stderr, "sorvane: %s\n", dataDirectory.error().message.c_str());
        QMessageBox::critical(nullptr, QStringLiteral("Sorvane"),
                              QStringLiteral("No folder for the settings and favourites: %1")
                                  .arg(QString::fromStdString(dataDirectory.error().message)));
        return 1;
    }

    web::CurlGlobal curl;
    web::HttpRequest http;
    playback::MediaPlayer player;

    const auto &endpoints = service::endpoints();
    app::AppServices services{http,
                              player,
                              endpoints.serviceBase,
                              endpoints.musicBase,
                              dataDirectory.value(),
                              [](const QString &url) { QDesktopServices::openUrl(QUrl(url)); }};
    app::MainWindow window(std::move(services));

    platform::GlobalHotKey hotKey;
    window.state().hotKeyId = hotKey.registerHotKey(platform::homeKeySym);
    QObject::connect(&hotKey, &platform::GlobalHotKey::activated, &window, &app::MainWindow::hotKeyActivated);

    window.initialise();
    window.show();

    app::MprisBridge mpris(window, player);
    app::tracePlaying(player, window);

    app::TermSignals termSignals;
    // Like a quit from MPRIS: the window may be hidden by the hot key, when closing it
    // alone would not end the event loop.
    QObject::connect(&termSignals, &app::TermSignals::terminationRequested, &window, [&window] {
        if (window.close())
            QCoreApplication::quit();
    });

    const int code = app.exec();
    hotKey.unregisterHotKey(window.state().hotKeyId);
    return code;
}
