#include "ProgramHarness.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <optional>

namespace sorvane::process_test {

namespace {

const QString objectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString rootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

// A D-Bus call may wait on a program busy with a blocking request; it never waits long.
constexpr int kCallTimeoutMs = 10000;

// Windows come and go while the tree is read; a vanished one must not end the test.
int ignoreXError(Display *, XErrorEvent *)
{
    return 0;
}

} // namespace

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "program_process_tests";
    static char *argv[] = { name, nullptr };
    static QCoreApplication *app = new QCoreApplication(argc, argv);
    (void)app;
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

QProcessEnvironment programEnvironment(
    const std::string &serviceBase, const std::string &musicBase, const ProgramFolders &folders)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SORVANE_SERVICE_BASE"), QString::fromStdString(serviceBase));
    env.insert(QStringLiteral("SORVANE_MUSIC_BASE"), QString::fromStdString(musicBase));
    env.insert(QStringLiteral("SORVANE_DATA_DIR"), folders.data.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folders.runtime.path());
    env.insert(QStringLiteral("SORVANE_MPV_OPTIONS"), QStringLiteral("ao=null"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("no_proxy"), QStringLiteral("127.0.0.1"));
    env.insert(QStringLiteral("NO_PROXY"), QStringLiteral("127.0.0.1"));
    return env;
}

Program::Program(const QProcessEnvironment &environment, const QStringList &arguments)
{
    ensureApplication();
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(SORVANE_PROGRAM), arguments);
    m_started = m_process.waitForStarted(10000);
}

Program::~Program()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool Program::waitForExit(int timeoutMs)
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    return m_process.waitForFinished(timeoutMs);
}

QByteArray Program::standardOutput()
{
    m_output += m_process.readAllStandardOutput();
    return m_output;
}

namespace {

// Fields of /proc/PID/stat: "pid (comm) state ppid ..."; comm may hold spaces and brackets.
struct ProcStat
{
    QString comm;
    QChar state;
    qint64 parent = 0;
};

std::optional<ProcStat> procStat(const QString &pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString line = QString::fromUtf8(file.readAll());
    const qsizetype open = line.indexOf(QLatin1Char('('));
    const qsizetype close = line.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return std::nullopt;
    const QStringList rest = line.mid(close + 2).split(QLatin1Char(' '));
    if (rest.size() < 2 || rest[0].isEmpty())
        return std::nullopt;
    return ProcStat { line.mid(open + 1, close - open - 1), rest[0][0], rest[1].toLongLong() };
}

} // namespace

std::vector<qint64> childProcesses(qint64 pid, const QString &name)
{
    std::vector<qint64> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 child = entry.toLongLong(&number);
        if (!number)
            continue;
        const auto stat = procStat(entry);
        if (stat && stat->parent == pid && stat->comm == name && stat->state != QLatin1Char('Z'))
            children.push_back(child);
    }
    return children;
}

bool processEnded(qint64 pid)
{
    const auto stat = procStat(QString::number(pid));
    return !stat || stat->state == QLatin1Char('Z');
}

const QString MprisClient::busName = QStringLiteral("org.mpris.MediaPlayer2.sorvane");

bool MprisClient::isUp() const
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(busName).value();
}

qint64 MprisClient::ownerPid() const
{
    const QDBusReply<uint> reply = QDBusConnection::sessionBus().interface()->servicePid(busName);
    return reply.isValid() ? reply.value() : 0;
}

QString MprisClient::call(const QString &method)
{
    const bool root = method == QLatin1String("Quit") || method == QLatin1String("Raise");
    QDBusInterface object(
        busName, objectPath, root ? rootInterface : playerInterface, QDBusConnection::sessionBus());
    object.setTimeout(kCallTimeoutMs);
    const QDBusMessage reply = object.call(method);
    return reply.type() == QDBusMessage::ReplyMessage ? QString() : reply.errorMessage();
}

QVariant MprisClient::property(const QString &interface, const QString &name)
{
    QDBusInterface properties(busName, objectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QDBusConnection::sessionBus());
    properties.setTimeout(kCallTimeoutMs);
    const QDBusReply<QDBusVariant> reply = properties.call(QStringLiteral("Get"), interface, name);
    return reply.isValid() ? reply.value().variant() : QVariant();
}

QString MprisClient::playbackStatus()
{
    return property(playerInterface, QStringLiteral("PlaybackStatus")).toString();
}

QVariantMap MprisClient::metadata()
{
    const QVariant raw = property(playerInterface, QStringLiteral("Metadata"));
    if (!raw.canConvert<QDBusArgument>())
        return {};
    return qdbus_cast<QVariantMap>(raw.value<QDBusArgument>());
}

qint64 MprisClient::positionUs()
{
    return property(playerInterface, QStringLiteral("Position")).toLongLong();
}

XSession::XSession()
    : m_display(XOpenDisplay(nullptr))
{
    XSetErrorHandler(ignoreXError);
}

XSession::~XSession()
{
    if (m_display)
        XCloseDisplay(m_display);
}

long XSession::windowPid(unsigned long window)
{
    const Atom pidAtom = XInternAtom(m_display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(
            m_display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data)
            == Success
        && data && format == 32 && count == 1)
        pid = static_cast<long>(*reinterpret_cast<unsigned long *>(data));
    if (data)
        XFree(data);
    return pid;
}

QString XSession::title(unsigned long window)
{
    const Atom netName = XInternAtom(m_display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(m_display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    QString result;
    if (XGetWindowProperty(
            m_display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data)
            == Success
        && data && format == 8)
        result = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(count));
    if (data)
        XFree(data);
    return result;
}

std::vector<unsigned long> XSession::windowsOf(qint64 pid, const QRegularExpression &titlePattern)
{
    std::vector<unsigned long> found;
    if (!m_display)
        return found;
    Window root = 0, parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count))
        return found;
    // No window manager runs on the test's X server: top-level windows are the root's children.
    for (unsigned int i = 0; i < count; ++i) {
        if (windowPid(children[i]) == pid && titlePattern.match(title(children[i])).hasMatch())
            found.push_back(children[i]);
    }
    if (children)
        XFree(children);
    return found;
}

bool XSession::isViewable(unsigned long window)
{
    XWindowAttributes attributes {};
    if (!XGetWindowAttributes(m_display, window, &attributes))
        return false;
    return attributes.map_state == IsViewable;
}

unsigned long XSession::waitForViewableWindow(
    qint64 pid, const QRegularExpression &titlePattern, int timeoutMs)
{
    unsigned long shown = 0;
    waitUntil(
        [&] {
            for (const unsigned long window : windowsOf(pid, titlePattern)) {
                if (isViewable(window)) {
                    shown = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return shown;
}

void XSession::pressKey(unsigned long keySym, const std::vector<unsigned long> &modifierKeySyms)
{
    for (const unsigned long modifier : modifierKeySyms)
        XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, modifier), True, CurrentTime);
    const KeyCode key = XKeysymToKeycode(m_display, keySym);
    XTestFakeKeyEvent(m_display, key, True, CurrentTime);
    XTestFakeKeyEvent(m_display, key, False, CurrentTime);
    for (auto it = modifierKeySyms.rbegin(); it != modifierKeySyms.rend(); ++it)
        XTestFakeKeyEvent(m_display, XKeysymToKeycode(m_display, *it), False, CurrentTime);
    XSync(m_display, False);
}

void XSession::focus(unsigned long window)
{
    XSetInputFocus(m_display, window, RevertToPointerRoot, CurrentTime);
    XSync(m_display, False);
}

} // namespace sorvane::process_test
