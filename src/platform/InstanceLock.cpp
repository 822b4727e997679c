#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sorvane::platform {

namespace {

QString errnoText(const char *what, const QString &path)
{
    return QStringLiteral("%1 %2: %3")
        .arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(errno)));
}

bool isDirectory(const QByteArray &path)
{
    struct stat st
    {
    };
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// <tmp>/sorvane-<uid>, made private to this user. /tmp is shared by everyone, so the
// directory may have been planted by someone else: accept only a real directory (not a
// symlink) that we own, and tighten its mode if it is ours but open to others.
std::optional<QString> privateTempDirectory(QString &error)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/sorvane-") + QString::number(::getuid());
    const QByteArray native = QFile::encodeName(dir);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        error = errnoText("cannot create", dir);
        return std::nullopt;
    }
    struct stat st
    {
    };
    if (::lstat(native.constData(), &st) != 0) {
        error = errnoText("cannot inspect", dir);
        return std::nullopt;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        error = QStringLiteral("%1 is not a directory owned by this user").arg(dir);
        return std::nullopt;
    }
    if ((st.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0) {
        error = errnoText("cannot restrict", dir);
        return std::nullopt;
    }
    return dir;
}

std::optional<QString> lockDirectory(QString &error)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && isDirectory(QFile::encodeName(runtime)))
        return runtime;
    return privateTempDirectory(error);
}

} // namespace

InstanceLock::InstanceLock(QString name)
    : m_name(std::move(name))
{
    Q_ASSERT(!m_name.isEmpty() && !m_name.contains(QLatin1Char('/')));
}

InstanceLock::~InstanceLock()
{
    release();
}

bool InstanceLock::tryAcquire()
{
    if (isHeld())
        return true;
    m_error.clear();
    m_path.clear();

    const std::optional<QString> dir = lockDirectory(m_error);
    if (!dir)
        return true;
    m_path = *dir + QLatin1Char('/') + m_name + QStringLiteral(".lock");

    // O_NOFOLLOW: a symlink in place of the lock file must not make us create or lock
    // some other file.
    const int fd
        = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        m_error = errnoText("cannot open", m_path);
        return true;
    }
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        m_fd = fd;
        return true;
    }
    const bool heldElsewhere = errno == EWOULDBLOCK;
    if (!heldElsewhere)
        m_error = errnoText("cannot lock", m_path);
    ::close(fd);
    return !heldElsewhere;
}

void InstanceLock::release()
{
    if (m_fd >= 0) {
        ::close(m_fd); // closing the only descriptor drops the flock
        m_fd = -1;
    }
}

} // namespace sorvane::platform
