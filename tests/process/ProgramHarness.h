// What the out-of-process tests need around the real sorvane executable: the process
// itself with a private environment, the MPRIS client a desktop widget would be, and the
// X side (its windows and keys pressed through XTest on the test's own display).
#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct _XDisplay;

namespace sorvane::process_test {

// The one QCoreApplication of the test program (D-Bus and QProcess need it).
void ensureApplication();

// Processes events until `done` holds or `timeoutMs` pass; returns done().
bool waitUntil(const std::function<bool()> &done, int timeoutMs);

// The folders one program run keeps to itself: its data folder (gcsz.ini, scgq.ini) and
// its runtime folder, which holds the single-instance lock.
struct ProgramFolders
{
    QTemporaryDir data;
    QTemporaryDir runtime;

    QString dataFile(const QString &name) const { return data.filePath(name); }
};

// The environment of a program that plays from `serviceBase` on loopback, with silent
// audio, in `folders`, on the test's display and session bus.
QProcessEnvironment programEnvironment(
    const std::string &serviceBase, const std::string &musicBase, const ProgramFolders &folders);

// One run of the sorvane executable. The destructor kills a run that is still going.
class Program
{
public:
    Program(const QProcessEnvironment &environment, const QStringList &arguments = {});
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    bool started() const { return m_started; }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    qint64 pid() const { return m_process.processId(); }
    // Waits for the end; true when the process ended by itself within the time.
    bool waitForExit(int timeoutMs);
    bool exitedNormally() const { return m_process.exitStatus() == QProcess::NormalExit; }
    int exitCode() const { return m_process.exitCode(); }
    QByteArray standardOutput();

private:
    QProcess m_process;
    QByteArray m_output;
    bool m_started = false;
};

// Live children of process `pid` whose command name is `name`, read from /proc.
std::vector<qint64> childProcesses(qint64 pid, const QString &name);
// True once `pid` has ended (gone, or a zombie nobody has reaped yet).
bool processEnded(qint64 pid);

// The program's MPRIS service as a client on the session bus sees it.
class MprisClient
{
public:
    static const QString busName;

    // True when the name has an owner (the program has registered).
    bool isUp() const;
    // The process id of the name's owner, 0 when none.
    qint64 ownerPid() const;

    // Calls a method of org.mpris.MediaPlayer2.Player (or of the root interface for
    // Quit and Raise); returns the error text, empty on success.
    QString call(const QString &method);
    QString playbackStatus();
    QVariantMap metadata();
    QString title() { return metadata().value(QStringLiteral("xesam:title")).toString(); }
    QStringList artists() { return metadata().value(QStringLiteral("xesam:artist")).toStringList(); }
    qint64 positionUs();

private:
    QVariant property(const QString &interface, const QString &name);
};

// The test's own connection to the X server that the program shares.
class XSession
{
public:
    XSession();
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    bool isOpen() const { return m_display != nullptr; }

    // Top-level windows of process `pid` whose title matches the regular expression.
    std::vector<unsigned long> windowsOf(qint64 pid, const QRegularExpression &title);
    bool isViewable(unsigned long window);
    // Waits until process `pid` shows a viewable window whose title matches; returns it,
    // or 0 after `timeoutMs`.
    unsigned long waitForViewableWindow(qint64 pid, const QRegularExpression &title, int timeoutMs);

    // A key press and release through XTest, with the modifier keys held around it.
    void pressKey(unsigned long keySym, const std::vector<unsigned long> &modifierKeySyms = {});
    // Gives the keyboard focus to a viewable window.
    void focus(unsigned long window);

private:
    QString title(unsigned long window);
    long windowPid(unsigned long window);

    ::_XDisplay *m_display = nullptr;
};

} // namespace sorvane::process_test
