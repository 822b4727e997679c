#include "storage/AtomicFile.h"
#include "storage/IniFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace sorvane::storage;
using sorvane::testing::readBytes;
using sorvane::testing::TempDir;
using sorvane::testing::writeBytes;

namespace {

mode_t modeOf(const std::filesystem::path &path)
{
    struct stat st
    {
    };
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(AtomicFile, ReplacesTheFileAndLeavesNothingBeside)
{
    TempDir dir;
    const auto path = dir / "scgq.ini";
    const mode_t oldUmask = ::umask(022);
    ASSERT_TRUE(writeFileAtomically(path, "first"));
    EXPECT_EQ(modeOf(path), 0644u); // not the 0600 of a private temporary file
    ::umask(oldUmask);

    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(path, "second"));
    EXPECT_EQ(readBytes(path), "second");
    EXPECT_EQ(modeOf(path), 0640u);
    EXPECT_EQ(dir.listing(), "scgq.ini;");
}

TEST(AtomicFile, FailedSaveKeepsTheOldFileAndRemovesTheTemporary)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "adir");
    writeBytes(dir / "adir" / "inside", "x");

    // The path is a directory: the rename fails after everything was written.
    Result<void> r = writeFileAtomically(dir / "adir", "new");
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().code, ErrorCode::WriteFailed);
    EXPECT_EQ(readBytes(dir / "adir" / "inside"), "x");

    // The directory does not exist: nothing can be created.
    r = writeFileAtomically(dir / "missing" / "gcsz.ini", "new");
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().code, ErrorCode::WriteFailed);
    EXPECT_NE(r.error().message.find("missing"), std::string::npos);

    EXPECT_EQ(dir.listing(), "adir;");
}

// A full disk, simulated with a file size limit: the write fails half way.
TEST(AtomicFile, FullDiskNeverTruncatesTheOldFile)
{
    TempDir dir;
    const auto path = dir / "gcsz.ini";
    const std::string old(300, 'o');
    writeBytes(path, old);

    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Result<void> r = writeFileAtomically(path, std::string(1000, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().code, ErrorCode::WriteFailed);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(dir.listing(), "gcsz.ini;");
}

TEST(AtomicFile, ReadErrorsAreTyped)
{
    TempDir dir;
    writeBytes(dir / "eleven", "01234567890");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);

    EXPECT_EQ(readFile(dir / "none", 100).error().code, ErrorCode::NotFound);
    EXPECT_EQ(readFile(dir.path(), 100).error().code, ErrorCode::NotAFile);
    EXPECT_EQ(readFile(dir / "pipe", 100).error().code, ErrorCode::NotAFile); // must not block
    EXPECT_EQ(readFile(dir / "eleven", 10).error().code, ErrorCode::TooLarge);
    EXPECT_EQ(readFile(dir / "eleven", 11).value(), "01234567890");
    EXPECT_EQ(IniFile::load(dir / "none").error().code, ErrorCode::NotFound);
}

TEST(AtomicFile, IniDocumentRoundTripsThroughAFile)
{
    TempDir dir;
    const auto path = dir / "a.ini";
    IniFile doc;
    doc.set("GECI", "k", "v");
    ASSERT_TRUE(doc.save(path));
    EXPECT_EQ(readBytes(path), "[GECI]\r\nk=v\r\n");
    Result<IniFile> again = IniFile::load(path);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->get("geci", "K"), "v");
}

} // namespace
