#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using sorvane::platform::InstanceLock;

namespace {

enum Outcome { Refused = 0, Held = 1, Unguarded = 2 };

Outcome outcomeOf(InstanceLock &lock)
{
    if (!lock.tryAcquire())
        return Refused;
    return lock.isHeld() ? Held : Unguarded;
}

// Tries the lock in a separate process, as a second start of the program would.
Outcome acquireInOtherProcess()
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        InstanceLock lock;
        ::_exit(outcomeOf(lock));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? Outcome(WEXITSTATUS(status)) : Unguarded;
}

// A running instance: a child process that takes the lock and keeps it until killed.
class HolderProcess
{
public:
    HolderProcess()
    {
        int ready[2];
        EXPECT_EQ(::pipe(ready), 0);
        m_pid = ::fork();
        if (m_pid == 0) {
            InstanceLock lock;
            const char outcome = char('0' + outcomeOf(lock));
            (void)!::write(ready[1], &outcome, 1);
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        char outcome = '?';
        EXPECT_EQ(::read(ready[0], &outcome, 1), 1);
        ::close(ready[0]);
        m_outcome = Outcome(outcome - '0');
    }
    ~HolderProcess() { killHard(); }

    Outcome outcome() const { return m_outcome; }

    void killHard()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    Outcome m_outcome = Unguarded;
};

class ScopedEnv
{
public:
    explicit ScopedEnv(const char *name)
        : m_name(name)
        , m_wasSet(qEnvironmentVariableIsSet(name))
        , m_value(qgetenv(name))
    {
    }
    ~ScopedEnv()
    {
        if (m_wasSet)
            qputenv(m_name, m_value);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_wasSet;
    QByteArray m_value;
};

class InstanceLockTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    ScopedEnv m_savedRuntime { "XDG_RUNTIME_DIR" };
    ScopedEnv m_savedTmp { "TMPDIR" };
    QTemporaryDir m_runtime;
};

} // namespace

TEST_F(InstanceLockTest, SecondProcessIsRefusedWhileTheFirstLivesAndAdmittedAfterSigkill)
{
    HolderProcess first;
    ASSERT_EQ(first.outcome(), Held);
    EXPECT_EQ(acquireInOtherProcess(), Refused);

    InstanceLock second;
    EXPECT_FALSE(second.tryAcquire());
    EXPECT_FALSE(second.isHeld());
    EXPECT_TRUE(second.errorString().isEmpty());

    first.killHard();
    EXPECT_TRUE(second.tryAcquire());
    EXPECT_TRUE(second.isHeld());
    EXPECT_EQ(second.filePath(), m_runtime.path() + QStringLiteral("/Vemlo.lock"));
    EXPECT_EQ(acquireInOtherProcess(), Refused);
}

TEST_F(InstanceLockTest, ReleaseAndDestructionLetTheNextInstanceIn)
{
    {
        InstanceLock lock;
        ASSERT_TRUE(lock.tryAcquire());
        EXPECT_TRUE(lock.tryAcquire()) << "asking again while holding must not refuse ourselves";
        lock.release();
        EXPECT_EQ(acquireInOtherProcess(), Held);
        ASSERT_TRUE(lock.tryAcquire());
        EXPECT_EQ(acquireInOtherProcess(), Refused);
    }
    EXPECT_EQ(acquireInOtherProcess(), Held);
}

TEST_F(InstanceLockTest, LocksWithDifferentNamesAreIndependent)
{
    InstanceLock vemlo;
    InstanceLock other(QStringLiteral("Other"));
    EXPECT_TRUE(vemlo.tryAcquire());
    EXPECT_TRUE(other.tryAcquire());
    EXPECT_TRUE(other.isHeld());
}

// Without a runtime directory the lock lives in a per-user directory under the shared
// temporary directory, where another user may have prepared a trap.
TEST_F(InstanceLockTest, FallbackDirectoryIsPrivateAndRefusesWhatIsNotOurs)
{
    struct Case
    {
        const char *label;
        const char *runtimeDir; // nullptr: XDG_RUNTIME_DIR unset
        std::function<void(const QString &dir, const QString &outside)> prepare;
        bool needsRoot;
        Outcome expected;
    };
    const auto makeDir = [](const QString &dir, mode_t mode) {
        ASSERT_EQ(::mkdir(QFile::encodeName(dir).constData(), 0700), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(dir).constData(), mode), 0);
    };
    const Case cases[] = {
        { "created fresh", nullptr, [](const QString &, const QString &) {}, false, Held },
        { "runtime dir missing", "/nonexistent/run", [](const QString &, const QString &) {}, false, Held },
        { "runtime dir relative", "run", [](const QString &, const QString &) {}, false, Held },
        { "ours but open to all", nullptr, [&](const QString &dir, const QString &) { makeDir(dir, 0777); },
            false, Held },
        { "symlink to elsewhere", nullptr,
            [](const QString &dir, const QString &outside) { ASSERT_TRUE(QFile::link(outside, dir)); }, false,
            Unguarded },
        { "lock file is a symlink", nullptr,
            [&](const QString &dir, const QString &outside) {
                makeDir(dir, 0700);
                ASSERT_TRUE(QFile::link(
                    outside + QStringLiteral("/Vemlo.lock"), dir + QStringLiteral("/Vemlo.lock")));
            },
            false, Unguarded },
        { "owned by another user", nullptr,
            [&](const QString &dir, const QString &) {
                makeDir(dir, 0700);
                ASSERT_EQ(::chown(QFile::encodeName(dir).constData(), 65534, 65534), 0);
            },
            true, Unguarded },
    };

    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        if (c.needsRoot && ::geteuid() != 0)
            continue;
        QTemporaryDir tmp, outside;
        ASSERT_TRUE(tmp.isValid() && outside.isValid());
        if (c.runtimeDir)
            qputenv("XDG_RUNTIME_DIR", c.runtimeDir);
        else
            qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        const QString dir = tmp.path() + QStringLiteral("/sorvane-") + QString::number(::getuid());
        c.prepare(dir, outside.path());

        InstanceLock lock;
        EXPECT_EQ(outcomeOf(lock), c.expected);
        EXPECT_TRUE(QDir(outside.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
            << "nothing may be created through a link";
        if (c.expected == Held) {
            EXPECT_EQ(lock.filePath(), dir + QStringLiteral("/Vemlo.lock"));
            struct stat st
            {
            };
            ASSERT_EQ(::lstat(QFile::encodeName(dir).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0700u);
            EXPECT_EQ(acquireInOtherProcess(), Refused);
        } else {
            EXPECT_FALSE(lock.errorString().isEmpty());
        }
    }
}
