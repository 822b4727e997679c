#include "service/Replies.h"

#include <gtest/gtest.h>

using namespace sorvane;
using namespace sorvane::service;

namespace {

// The shape of a playlist reply: keys in the order the service sends them, two songs.
std::string playlistReply()
{
    const std::string song1
        = R"({"albumtitle":"Back in Black","url":"https:\/\/mr.example\/a.mp3","file_ext":"mp3",)"
          R"("album":"\/subject\/1234\/","ssid":"9f3a","title":"Hells Bells","sid":"101",)"
          R"("sha256":"ab","status":0,"picture":"https:\/\/img.example\/c.jpg",)"
          R"("update_time":1,"artist":"AC\/DC","is_royal":false,"kbps":"128",)"
          R"("available_formats":{"128":1}})";
    const std::string song2 = R"({"albumtitle":"Other","url":"https:\/\/mr.example\/b.mp3","file_ext":"mp3",)"
                              R"("album":"\/subject\/99\/","ssid":"0000","title":"Second","sid":"202",)"
                              R"("sha256":"cd","picture":"p2","update_time":2,"artist":"B","is_royal":false,)"
                              R"("kbps":"64","available_formats":{}})";
    return R"({"r":0,"song":[)" + song1 + "," + song2 + "]}";
}

TEST(ParseSong, FirstSongOfPlaylistDecoded)
{
    const Song s = parseSong(playlistReply());
    EXPECT_EQ(s.title, "Hells Bells");
    EXPECT_EQ(s.artist, "AC/DC");
    EXPECT_EQ(s.url, "https://mr.example/a.mp3");
    EXPECT_EQ(s.picture, "https://img.example/c.jpg");
    EXPECT_EQ(s.sid, "101");
    EXPECT_EQ(s.ssid, "9f3a");
    EXPECT_EQ(s.kbps, "128");
    EXPECT_EQ(s.album, "/subject/1234/");
    EXPECT_EQ(s.albumTitle, "Back in Black");
}

TEST(ParseSong, ReplyWithoutSongGivesEmptyValues)
{
    EXPECT_EQ(parseSong(""), Song {});
    EXPECT_EQ(parseSong(R"({"r":1,"err":"not_found"})"), Song {});
}

TEST(ParseSong, ChineseTitleWithUnicodeEscapes)
{
    const std::string reply = R"({"ssid":"1","title":"\u6211 )" + std::string("\x87\x5B") + R"(","sid":"2"})";
    EXPECT_EQ(parseSong(reply).title, "\xCE\xD2 \x87\x5B"); // 我 嘯
}

TEST(Replies, ChannelName)
{
    EXPECT_EQ(parseChannelName(R"({"data":{"channel":{"name":"A","cover":"x"}}})"), "A");
    EXPECT_EQ(parseChannelName(R"({"name":"Rock \/ Roll","cover":"x"})"), "Rock / Roll");
    EXPECT_EQ(parseChannelName("<html>502</html>"), "");
}

TEST(Replies, ShareChannelId)
{
    EXPECT_EQ(parseShareChannelId(R"({"cover":"https:\/\/img\/a.jpg","id":153,"name":"x"})"), "153");
    EXPECT_EQ(parseShareChannelId(R"({"id":153,"name":"x"})"), "");
    // 乯 ends in the byte 'j': "乯pg" is no "jpg".
    EXPECT_EQ(parseShareChannelId(
                  "{\"x\":\"\x81\x6Apg\",\"id\":1,\"name\":\"\",\"c\":\"a.jpg\",\"id\":2,\"name\":\"\"}"),
        "2");
}

TEST(Replies, SimilarChannelId)
{
    EXPECT_EQ(parseSimilarChannelId(R"(<a href="https://douban.fm/?cid=1003856&amp;context=x">)"), "1003856");
    EXPECT_EQ(parseSimilarChannelId("<html>no link</html>"), "");
    // 乧 ends in the byte 'c': "乧id=" holds no "cid=".
    EXPECT_EQ(parseSimilarChannelId("<p>\x81\x63id=6&amp;</p><a href=\"?cid=7&amp;\">"), "7");
}

} // namespace
