// Typed results for the file layer: a value or an error that says what went wrong.
//
// Expected failures (a missing file, a full disk, an unwritable directory) are values,
// never exceptions. The caller decides what an error means for the user; most of the
// program treats a failed read as "keep the defaults" and a failed write as "the old
// file stays as it was".
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace sorvane::storage {

enum class ErrorCode {
    NotFound, // the file does not exist
    NotAFile, // the path names a directory, a device or a pipe
    TooLarge, // the file is larger than the loader accepts
    ReadFailed, // open or read failed for another reason
    WriteFailed, // the new file could not be written completely; the old one is untouched
    NoDataDirectory, // no usable directory for the program's files
};

struct Error
{
    ErrorCode code;
    std::string message; // for logs: the path and the system's reason
};

// Holds either a T or an Error.
template <typename T> class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_value(std::move(value))
    {
    }
    Result(Error error)
        : m_error(std::move(error))
    {
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    // Only valid when ok().
    T &value() & { return *m_value; }
    const T &value() const & { return *m_value; }
    T &&value() && { return std::move(*m_value); }
    T *operator->() { return &*m_value; }
    const T *operator->() const { return &*m_value; }

    // Only meaningful when !ok().
    const Error &error() const { return m_error; }

private:
    std::optional<T> m_value;
    Error m_error { ErrorCode::ReadFailed, {} };
};

// Success or an Error. A default-constructed Result<void> is a success.
template <> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Error error)
        : m_error(std::move(error))
    {
    }

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error &error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};

} // namespace sorvane::storage
