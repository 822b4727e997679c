#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include <unistd.h>

#include "station/Catalogue.h"

namespace fs = std::filesystem;
using sorvane::station::Catalogue;

namespace {

// Length in seconds of an MP3 made of MPEG-1 Layer III frames, counted frame by frame.
double mp3Seconds(const std::string &bytes)
{
    static constexpr int kBitrates[]
        = { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0 };
    static constexpr int kRates[] = { 44100, 48000, 32000, 0 };
    size_t pos = 0;
    if (bytes.rfind("ID3", 0) == 0 && bytes.size() > 10)
        pos = 10
            + ((bytes[6] & 0x7F) << 21 | (bytes[7] & 0x7F) << 14 | (bytes[8] & 0x7F) << 7
                | (bytes[9] & 0x7F));
    long frames = 0;
    int rate = 0;
    while (pos + 4 <= bytes.size()) {
        const auto b1 = static_cast<unsigned char>(bytes[pos + 1]),
                   b2 = static_cast<unsigned char>(bytes[pos + 2]);
        if (static_cast<unsigned char>(bytes[pos]) != 0xFF || (b1 & 0xFE) != 0xFA)
            return -1; // not an MPEG-1 Layer III frame where one must start
        const int kbps = kBitrates[b2 >> 4];
        rate = kRates[(b2 >> 2) & 3];
        if (kbps == 0 || rate == 0)
            return -1;
        pos += 144 * kbps * 1000 / rate + ((b2 >> 1) & 1);
        ++frames;
    }
    return rate ? frames * 1152.0 / rate : -1;
}

std::vector<double> lyricTimes(const std::string &lrc)
{
    std::vector<double> out;
    static const std::regex tag(R"(\[(\d\d):(\d\d)\.(\d\d)\])");
    for (auto it = std::sregex_iterator(lrc.begin(), lrc.end(), tag); it != std::sregex_iterator(); ++it)
        out.push_back(std::stoi((*it)[1]) * 60 + std::stoi((*it)[2]) + std::stoi((*it)[3]) / 100.0);
    return out;
}

struct Generated
{
    const char *name;
    fs::path dir;
    double minSeconds, maxSeconds;
};

class GeneratedCatalogue : public testing::TestWithParam<Generated>
{
};

// The catalogues made at build time hold playable songs whose lyric lines fall inside
// the song, so a player really reaches each line.
TEST_P(GeneratedCatalogue, SongsAreWhatTheCatalogueSays)
{
    const Generated &g = GetParam();
    std::string error;
    auto catalogue = Catalogue::load(g.dir, error);
    ASSERT_TRUE(catalogue) << error;
    ASSERT_EQ(catalogue->songs().size(), 5u);
    int withLyrics = 0;
    for (const auto &song : catalogue->songs()) {
        SCOPED_TRACE(song.title);
        const double seconds = mp3Seconds(song.audio);
        EXPECT_GE(seconds, g.minSeconds);
        EXPECT_LE(seconds, g.maxSeconds);
        EXPECT_NEAR(seconds, song.lengthSeconds, 1.0);
        EXPECT_EQ(song.audioExt, "mp3");
        EXPECT_EQ(song.cover.rfind("\x89PNG\r\n\x1a\n", 0), 0u);
        EXPECT_NE(song.albumPath.find("subject"), std::string::npos);
        if (!song.lyric)
            continue;
        ++withLyrics;
        const auto times = lyricTimes(*song.lyric);
        ASSERT_FALSE(times.empty());
        EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
        EXPECT_LT(times.back(), seconds - 0.4);
        // Chinese words on the lines.
        EXPECT_NE(song.lyric->find("\xE4"), std::string::npos);
    }
    EXPECT_EQ(withLyrics, 4);
}

INSTANTIATE_TEST_SUITE_P(Station, GeneratedCatalogue,
    testing::Values(Generated { "demo", sorvane::station::demoCatalogueDir(), 15, 25 },
        Generated { "short", sorvane::station::shortCatalogueDir(), 2, 3.5 }),
    [](const auto &info) { return std::string(info.param.name); });

class CatalogueFolder : public testing::Test
{
protected:
    void SetUp() override
    {
        root_ = fs::path(testing::TempDir())
            / ("catalogue-" + std::to_string(::getpid()) + "-"
                + testing::UnitTest::GetInstance()->current_test_info()->name());
        dir_ = root_ / "songs";
        fs::remove_all(root_);
        fs::create_directories(dir_);
        fs::create_directories(root_ / "outside");
        std::ofstream(root_ / "outside" / "x.mp3") << "x";
        write("a.mp3", "ID3 not really audio");
        write("c.png", "\x89PNG");
        write("a.lrc", "[00:01.00]一\n");
    }
    void TearDown() override { fs::remove_all(root_); }
    void write(const std::string &name, const std::string &text)
    {
        std::ofstream(dir_ / name, std::ios::binary) << text;
    }
    std::optional<Catalogue> load(const std::string &ini, std::string &error)
    {
        write("catalogue.ini", ini);
        return Catalogue::load(dir_, error);
    }
    fs::path root_, dir_;
};

TEST_F(CatalogueFolder, MinimalSongGetsDefaults)
{
    std::string error;
    auto c
        = load("\xEF\xBB\xBF# comment\n\n[song]\nsid = 7\nssid=x1\ntitle = 标题\nartist = A\naudio = a.mp3\n",
            error);
    ASSERT_TRUE(c) << error;
    const auto &s = c->songs().at(0);
    EXPECT_EQ(s.albumPath, "/subject/7/");
    EXPECT_EQ(s.channel, "-10");
    EXPECT_EQ(s.kbps, "128");
    EXPECT_EQ(s.audio, "ID3 not really audio");
    EXPECT_TRUE(s.cover.empty());
    EXPECT_FALSE(s.lyric);
    EXPECT_EQ(s.sha256.size(), 64u);
    EXPECT_EQ(c->findSid("7"), &s);
    EXPECT_EQ(c->findSid("8"), nullptr);
}

TEST_F(CatalogueFolder, FullSongReadsEveryFile)
{
    std::string error;
    auto c = load("[song]\nsid=1\nssid=a\ntitle=T\nartist=A\naudio=a.mp3\ncover=c.png\nlyric=a.lrc\n"
                  "album=专辑\nalbum_path=/musician/3/\nchannel=28\nkbps=192\nlength=21\n",
        error);
    ASSERT_TRUE(c) << error;
    const auto &s = c->songs().at(0);
    EXPECT_EQ(s.cover, "\x89PNG");
    EXPECT_EQ(s.coverExt, "png");
    EXPECT_EQ(s.lyric.value_or(""), "[00:01.00]一\n");
    EXPECT_EQ(s.albumTitle, "专辑");
    EXPECT_EQ(s.albumPath, "/musician/3/");
    EXPECT_EQ(s.channel, "28");
    EXPECT_EQ(s.kbps, "192");
    EXPECT_EQ(s.lengthSeconds, 21);
}

TEST_F(CatalogueFolder, RejectsBadCatalogues)
{
    const std::string ok = "[song]\nsid=1\nssid=a\ntitle=T\nartist=A\naudio=a.mp3\n";
    struct Case
    {
        std::string ini, reason;
    } cases[] = {
        { "", "no songs" }, { "sid=1\n", "[song]\" line must come first" },
        { ok + "colour=red\n", "unknown key \"colour\"" }, { ok + "sid=2\n", "given twice" },
        { ok + "oops\n", "expected" },
        { "[song]\nsid=1\nssid=a\ntitle=T\naudio=a.mp3\n", "lacks \"artist\"" },
        { "[song]\nsid=1x\nssid=a\ntitle=T\nartist=A\naudio=a.mp3\n", "sid must be" },
        { "[song]\nsid=1\nssid=A\ntitle=T\nartist=A\naudio=a.mp3\n", "ssid must be" },
        { ok + ok, "appears twice" }, { ok + "channel=8a\n", "channel must be" },
        { ok + "kbps=high\n", "kbps must be" }, { ok + "length=-3\n", "length must be" },
        { "[song]\nsid=1\nssid=a\ntitle=T\nartist=A\naudio=b.mp3\n", "no file \"b.mp3\"" },
        { "[song]\nsid=1\nssid=a\ntitle=T\nartist=A\naudio=../outside/x.mp3\n", "plain name" },
        { "[song]\nsid=1\nssid=a\ntitle=T\nartist=A\naudio=..\n", "plain name" },
        { ok + "cover=missing.png\n", "no file" },
        { "[song]\nsid=1\nssid=a\ntitle=\xC3\x28\nartist=A\naudio=a.mp3\n", "not UTF-8" },
        { "[song]\nsid=1\nssid=a\ntitle=\xED\xA0\x80\nartist=A\naudio=a.mp3\n", "not UTF-8" }, // a surrogate
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.ini);
        std::string error;
        EXPECT_FALSE(load(c.ini, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
}

TEST_F(CatalogueFolder, RejectsLyricsThatAreNotUtf8AndMissingFolders)
{
    write("bad.lrc", "[00:01.00]\xB0\xA1\n"); // GBK bytes
    std::string error;
    EXPECT_FALSE(load("[song]\nsid=1\nssid=a\ntitle=T\nartist=A\naudio=a.mp3\nlyric=bad.lrc\n", error));
    EXPECT_NE(error.find("not UTF-8"), std::string::npos) << error;
    EXPECT_FALSE(Catalogue::load(dir_ / "nowhere", error));
    EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
}

} // namespace
