#pragma once

#include <QString>

namespace sorvane::platform {

// A named lock that lets one instance of the program run per user.
//
// The lock is an flock() on "<name>.lock" in $XDG_RUNTIME_DIR, or, when that is unset or
// unusable, in <tmp>/sorvane-<uid> (created with mode 0700 and refused unless it is a
// real directory owned by this user). The kernel drops an flock when the last descriptor
// closes, so the lock goes away with its process however that process ends (SIGKILL and
// crashes included) and a stale file never blocks the next start. The file itself is
// left in place: removing it would race with a second instance locking it.
//
// Not thread-safe; use from one thread.
class InstanceLock
{
public:
    explicit InstanceLock(QString name = QStringLiteral("Vemlo"));
    ~InstanceLock(); // releases the lock
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // Takes the lock without waiting. Returns false only when another live process holds
    // it; true when this object now holds it (or already did). When the lock cannot be
    // set up at all (no usable directory, the file cannot be opened, the file system
    // refuses locks) it also returns true: a guard that cannot work must not keep the
    // user from the program. isHeld() and errorString() tell that case apart.
    bool tryAcquire();

    bool isHeld() const { return m_fd >= 0; }
    // Why the last tryAcquire() could not set up the lock; empty otherwise.
    QString errorString() const { return m_error; }
    // The lock file of the last tryAcquire(); empty before it or when no directory was usable.
    QString filePath() const { return m_path; }

    void release();

private:
    QString m_name;
    QString m_path;
    QString m_error;
    int m_fd = -1;
};

} // namespace sorvane::platform
