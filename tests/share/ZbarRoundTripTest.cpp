// Every symbol we make must decode, with a real QR decoder (zbar), to the UTF-8 of its text.
#include "qr/Encoder.h"
#include "qr/QrTestSupport.h"
#include "share/QrPicture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace sorvane::share {
namespace {

using qr::test::gb;

// The bytes zbar reads from the picture.
std::string decode(const Picture &picture, const std::string &name)
{
    const std::string path = testing::TempDir() + "sorvane-qr-" + name + ".bmp";
    {
        std::ofstream file(path, std::ios::binary);
        file.write(
            reinterpret_cast<const char *>(picture.data()), static_cast<std::streamsize>(picture.size()));
    }
    const std::string command = "zbarimg --nodbus --raw -Sbinary '" + path + "' 2>/dev/null";
    std::FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return "<no zbarimg>";
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    pclose(pipe);
    std::remove(path.c_str());
    return out;
}

// Encodes UTF-8 text as the program does (GB18030 in), three pixels per module.
std::string roundTrip(
    const std::string &utf8, const char *level, const std::string &name, int *version = nullptr)
{
    const qr::编码类 encoder;
    qr::二维码类 probe;
    encoder.编码(gb(utf8), levelFromText(level), probe);
    const int side = (probe.matrixWidth() + 4) * 3;
    const Picture picture = 创建二维码(gb(utf8), level, side, side, 0xFFFFFF, 0x000000);
    if (version)
        *version = qr::moduleQrCode().version();
    return decode(picture, name);
}

TEST(ZbarRoundTrip, ContentKinds)
{
    const std::pair<std::string, const char *> cases[] = {
        { "01234567", "M" }, { "HELLO WORLD $%*+-./:0123", "Q" },
        { "Sorvane: a small radio client, v1.5!", "H" }, { "豆瓣电台：分享这首歌给朋友", "L" },
        { "表情 😀 四字节", "M" }, { "https://douban.fm/channel/153?start=1548867g8eb1c0f7e2ab9d04", "M" },
        { "https://douban.fm/channel/?start=1548867", "M" }, // a reply without the channel id
    };
    int i = 0;
    for (const auto &[text, level] : cases)
        EXPECT_EQ(roundTrip(text, level, "kind" + std::to_string(i++)), text) << level;
}

// A text of exactly `bytes` UTF-8 bytes; with Chinese characters when `chinese`.
std::string filler(int bytes, bool chinese)
{
    const std::string unit = chinese ? "豆瓣FM 私人电台 " : "sorvane share link/0123456789-";
    std::string s;
    while (static_cast<int>(s.size() + unit.size()) <= bytes)
        s += unit;
    while (static_cast<int>(s.size()) < bytes)
        s += static_cast<char>('a' + s.size() % 26);
    return s;
}

TEST(ZbarRoundTrip, FullSymbolsOfEachLevel)
{
    const char *levels[] = { "L", "M", "Q", "H" };
    for (int version : { 1, 2, 6, 7, 10, 27, 40 }) {
        for (int l = 0; l < 4; ++l) {
            const qr::Version &v = qr::versionList()[static_cast<std::size_t>(version - 1)];
            const int capacity
                = v.totalCodewords() - v.blocksForLevel(levelFromText(levels[l])).totalEcCodewords() - 3;
            const std::string text = filler(capacity, l % 2 == 1);
            int encodedVersion = 0;
            const std::string decoded
                = roundTrip(text, levels[l], "v" + std::to_string(version) + levels[l], &encodedVersion);
            EXPECT_EQ(encodedVersion, version) << levels[l];
            EXPECT_EQ(decoded.size(), text.size()) << "version " << version << " " << levels[l];
            EXPECT_TRUE(decoded == text) << "version " << version << " " << levels[l];
        }
    }
}

} // namespace
} // namespace sorvane::share
