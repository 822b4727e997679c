#include "service/Urls.h"
#include "service/Endpoints.h"

#include <gtest/gtest.h>

#include <map>

using namespace sorvane::service;

namespace {

const std::string kBase = "https://douban.fm";
const std::string kMusic = "https://music.douban.com";

TEST(Urls, ServiceRequests)
{
    EXPECT_EQ(channelInfoUrl(kBase, "-10"), "https://douban.fm/j/v2/channel_info?id=-10");
    EXPECT_EQ(playlistUrl(kBase, "8"),
        "https://douban.fm/j/v2/playlist?channel=8&kbps=128&client=s%3Amainsite%7Cy%3A3.0"
        "&app_name=radio_website&version=100&type=n");
    EXPECT_EQ(lyricUrl(kBase, "101", "9f3a"), "https://douban.fm/j/v2/lyric?sid=101&ssid=9f3a");
    EXPECT_EQ(songPageUrl(kBase, "101", "9f3a"), "https://douban.fm/j/v2/song/101g9f3a/");
    EXPECT_EQ(shareLink(kBase, "153", "101"), "https://douban.fm/channel/153?start=101");
    EXPECT_EQ(shareLink(kBase, "", "101"), "https://douban.fm/channel/?start=101");
}

TEST(Urls, ValuesFromRepliesCannotReshapeTheAddress)
{
    EXPECT_EQ(
        lyricUrl(kBase, "1&ssid=x#", "a b"), "https://douban.fm/j/v2/lyric?sid=1%26ssid%3Dx%23&ssid=a%20b");
    EXPECT_EQ(songPageUrl(kBase, "../../x", "1"), "https://douban.fm/j/v2/song/..%2F..%2Fxg1/");
    EXPECT_EQ(channelInfoUrl(kBase, "\xD6\xD0"), "https://douban.fm/j/v2/channel_info?id=%D6%D0");
}

TEST(Urls, AlbumPageStaysOnTheMusicSite)
{
    EXPECT_EQ(albumPageUrl(kMusic, "/subject/1234/"), "https://music.douban.com/subject/1234/");
    EXPECT_EQ(albumPageUrl("http://127.0.0.1:8080", "/subject/1/"), "http://127.0.0.1:8080/subject/1/");
    for (const char *hostile : { "@evil.example/subject/1", ".evil.example/subject/1", ":8443/subject/1",
             "@evil.example:443/subject", "/subject/1 x", "/subject/\n1" })
        EXPECT_EQ(albumPageUrl(kMusic, hostile), std::nullopt) << hostile;
    EXPECT_EQ(albumPageUrl("not a url", "/subject/1/"), std::nullopt);
}

TEST(Urls, Origin)
{
    EXPECT_EQ(originOf("HTTPS://Music.Douban.com/x"), (Origin { "https", "music.douban.com", "443" }));
    EXPECT_EQ(originOf("http://u:p@h:8080?q"), (Origin { "http", "h", "8080" }));
    EXPECT_EQ(originOf("http://[::1]:81/a"), (Origin { "http", "[::1]", "81" }));
    EXPECT_EQ(originOf("https://good.example\\@evil.example/"), (Origin { "https", "good.example", "443" }));
    EXPECT_EQ(originOf("https://h:44x3/"), std::nullopt);
    EXPECT_EQ(originOf("https:///path"), std::nullopt);
}

TEST(Urls, OnlyWebAddressesArePlayed)
{
    EXPECT_TRUE(isWebAddress("https://mr.example/a.mp3?k=1"));
    EXPECT_TRUE(isWebAddress("http://127.0.0.1:8080/a.mp3"));
    for (const char *bad : { "", "/etc/passwd", "file:///etc/passwd", "lavfi://sine", "https://",
             "https:\\/\\/h\\/a", "https://h/a b", "https://h/\xD6\xD0" })
        EXPECT_FALSE(isWebAddress(bad)) << bad;
}

TEST(Endpoints, DefaultsAndEnvironment)
{
    const Endpoints defaults
        = Endpoints::fromEnvironment([](const char *) -> const char * { return nullptr; });
    EXPECT_EQ(defaults.serviceBase, "https://douban.fm");
    EXPECT_EQ(defaults.musicBase, "https://music.douban.com");

    std::map<std::string, const char *> env { { "SORVANE_SERVICE_BASE", "http://127.0.0.1:8080//" },
        { "SORVANE_MUSIC_BASE", "ftp://x" } };
    const Endpoints e = Endpoints::fromEnvironment([&](const char *name) -> const char * {
        const auto it = env.find(name);
        return it == env.end() ? nullptr : it->second;
    });
    EXPECT_EQ(e.serviceBase, "http://127.0.0.1:8080");
    EXPECT_EQ(e.musicBase, "https://music.douban.com"); // not a web address: the default stays
}

TEST(Endpoints, ProgramEndpointsCanBeReplaced)
{
    const Endpoints saved = endpoints();
    setEndpoints({ "http://127.0.0.1:1", "http://127.0.0.1:2" });
    EXPECT_EQ(endpoints().serviceBase, "http://127.0.0.1:1");
    setEndpoints(saved);
}

} // namespace
