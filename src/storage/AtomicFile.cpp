#include "storage/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace sorvane::storage {

namespace {

std::string describe(const std::string &what, const std::filesystem::path &path, int err)
{
    return what + " " + path.string() + ": " + std::strerror(err);
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    // Closes now so that the caller sees the error (a delayed write error shows up here
    // on some file systems).
    int close()
    {
        const int rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }

private:
    int m_fd;
};

std::string randomSuffix()
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 generator { std::random_device {}()
        ^ static_cast<std::uint64_t>(::getpid()) };
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
    std::string suffix(6, '\0');
    for (char &c : suffix)
        c = kAlphabet[pick(generator)];
    return suffix;
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

Result<std::string> readFile(const std::filesystem::path &path, std::uintmax_t maxBytes)
{
    // O_NONBLOCK keeps open() from waiting for a writer when the path is a pipe.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        const int err = errno;
        return Error { err == ENOENT ? ErrorCode::NotFound : ErrorCode::ReadFailed,
            describe("open", path, err) };
    }
    struct stat st
    {
    };
    if (::fstat(fd.get(), &st) != 0)
        return Error { ErrorCode::ReadFailed, describe("stat", path, errno) };
    if (!S_ISREG(st.st_mode))
        return Error { ErrorCode::NotAFile, path.string() + " is not a regular file" };
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        return Error { ErrorCode::TooLarge,
            path.string() + " is larger than " + std::to_string(maxBytes) + " bytes" };

    std::string bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size()) {
            // The file may have grown since fstat; keep reading up to the limit.
            if (bytes.size() > maxBytes)
                return Error { ErrorCode::TooLarge,
                    path.string() + " is larger than " + std::to_string(maxBytes) + " bytes" };
            bytes.resize(bytes.size() + 4096);
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + have, bytes.size() - have);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Error { ErrorCode::ReadFailed, describe("read", path, errno) };
        }
        if (n == 0)
            break;
        have += static_cast<std::size_t>(n);
    }
    if (have > maxBytes)
        return Error { ErrorCode::TooLarge,
            path.string() + " is larger than " + std::to_string(maxBytes) + " bytes" };
    bytes.resize(have);
    return bytes;
}

Result<void> writeFileAtomically(const std::filesystem::path &path, std::string_view bytes)
{
    const std::filesystem::path dir
        = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");

    struct stat old
    {
    };
    const bool keepMode = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    std::filesystem::path temp;
    int rawFd = -1;
    for (int attempt = 0; attempt < 100 && rawFd < 0; ++attempt) {
        temp = dir / (path.filename().string() + ".tmp-" + randomSuffix());
        rawFd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (rawFd < 0 && errno != EEXIST)
            return Error { ErrorCode::WriteFailed, describe("create", temp, errno) };
    }
    if (rawFd < 0)
        return Error { ErrorCode::WriteFailed, "no free temporary name beside " + path.string() };
    FileDescriptor fd(rawFd);

    const auto fail = [&](const char *what) -> Result<void> {
        const int err = errno;
        if (fd.get() >= 0)
            fd.close();
        ::unlink(temp.c_str());
        return Error { ErrorCode::WriteFailed, describe(what, temp, err) };
    };

    if (keepMode)
        ::fchmod(fd.get(), old.st_mode & 07777); // best effort: the content matters more
    if (!writeAll(fd.get(), bytes))
        return fail("write");
    if (::fsync(fd.get()) != 0)
        return fail("fsync");
    if (fd.close() != 0)
        return fail("close");
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return Error { ErrorCode::WriteFailed, describe("rename over", path, err) };
    }
    // Makes the rename itself durable. The new file is in place already, so a file system
    // that cannot sync directories is no reason to report a failure.
    FileDescriptor dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() >= 0)
        ::fsync(dirFd.get());
    return {};
}

} // namespace sorvane::storage
