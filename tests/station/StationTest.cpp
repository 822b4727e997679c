#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <future>

#include "station/Replies.h"
#include "station/Station.h"

using namespace sorvane::station;

namespace {

// The client's way of reading a reply: the text between a start marker and the first
// end marker after it, or nothing.
std::string between(const std::string &text, const std::string &start, const std::string &end)
{
    const auto s = text.find(start);
    if (s == std::string::npos)
        return {};
    const auto e = text.find(end, s + start.size());
    if (e == std::string::npos)
        return {};
    return text.substr(s + start.size(), e - s - start.size());
}

std::string quotedValue(const std::string &reply, const std::string &key, const std::string &next)
{
    return between(reply, "\"" + key + "\":\"", "\",\"" + next);
}

std::string unescape(const std::string &value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size())
            ++i;
        out.push_back(value[i]);
    }
    return out;
}

Song makeSong(std::string sid, std::string ssid, std::string title, std::string channel)
{
    Song s;
    s.sid = std::move(sid);
    s.ssid = std::move(ssid);
    s.title = std::move(title);
    s.artist = "歌手" + s.sid;
    s.channel = std::move(channel);
    s.audio = "ID3 audio of " + s.sid;
    return s;
}

// Three songs: one with every field, one whose texts need escaping and no cover or
// lyrics on the same album, one on a path without "subject".
Catalogue smallCatalogue()
{
    Song a = makeSong("11", "aa1", "茉莉花", "8");
    a.albumTitle = "江南/小调";
    a.albumPath = "/subject/500/";
    a.cover = std::string("\x89PNG cover a", 13);
    a.lyric = "[ti:茉莉花]\n[00:01.00]第一行\n[00:03.50]第二行\n";
    a.lengthSeconds = 4;
    Song b = makeSong("22", "bb2", R"(引"号/斜\杠)", "8");
    b.albumPath = "/subject/500/";
    Song c = makeSong("33", "cc3", "Third", "-10");
    c.albumPath = "/musician/7/";
    c.cover = "JFIF cover c";
    c.coverExt = "jpg";
    c.lyric = "[00:00.00]only";
    return Catalogue({ a, b, c });
}

class LiveStation : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(station_.start());
        client_ = std::make_unique<httplib::Client>("127.0.0.1", station_.port());
        client_->set_connection_timeout(5);
        client_->set_read_timeout(10);
    }

    httplib::Result get(const std::string &target) { return client_->Get(target.c_str()); }
    std::string body(const std::string &target)
    {
        auto res = get(target);
        return res ? res->body : std::string();
    }
    std::string playlist(const std::string &channel)
    {
        return body("/j/v2/playlist?channel=" + channel
            + "&kbps=128&client=s%3Amainsite%7Cy%3A3.0&app_name=radio_website&version=100&type=n");
    }
    std::string local(const std::string &url)
    {
        const std::string base = station_.baseUrl();
        return url.rfind(base, 0) == 0 ? url.substr(base.size()) : "not local: " + url;
    }

    Station station_ { smallCatalogue() };
    std::unique_ptr<httplib::Client> client_;
};

TEST_F(LiveStation, PlaylistValuesReadThroughTheirMarkers)
{
    const std::string reply = playlist("x"); // not an integer: the rotation starts at the first song
    const std::string base = station_.baseUrl();
    const struct
    {
        const char *key, *next;
        std::string value;
    } fields[] = {
        { "albumtitle", "url", "江南/小调" },
        { "url", "file_ext", base + "/audio/11.mp3" },
        { "file_ext", "album", "mp3" },
        { "album", "ssid", "/subject/500/" },
        { "ssid", "title", "aa1" },
        { "title", "sid", "茉莉花" },
        { "sid", "sha256", "11" },
        { "picture", "update_time", base + "/cover/11.png" },
        { "artist", "is_royal", "歌手11" },
        { "kbps", "available_formats", "128" },
    };
    for (const auto &f : fields)
        EXPECT_EQ(unescape(quotedValue(reply, f.key, f.next)), f.value) << f.key << " in " << reply;
    // Slashes come escaped, as from the service.
    EXPECT_EQ(quotedValue(reply, "album", "ssid"), R"(\/subject\/500\/)");
    // The reply holds the next song too, after the first song's keys.
    EXPECT_LT(reply.find("\"sha256\""), reply.find("\"sid\":\"22\""));

    EXPECT_EQ(body(local(unescape(quotedValue(reply, "url", "file_ext")))), "ID3 audio of 11");
    EXPECT_EQ(body(local(unescape(quotedValue(reply, "picture", "update_time")))),
        std::string("\x89PNG cover a", 13));
}

TEST_F(LiveStation, TextsNeedingEscapesSurviveTheMarkers)
{
    playlist("x");
    const std::string reply = playlist("x"); // now the second song comes first
    EXPECT_EQ(unescape(quotedValue(reply, "title", "sid")), R"(引"号/斜\杠)");
    EXPECT_EQ(quotedValue(reply, "picture", "update_time"), ""); // no cover
    EXPECT_EQ(quotedValue(reply, "sid", "sha256"), "22");
}

TEST_F(LiveStation, EachChannelRotatesOnItsOwn)
{
    auto firstSid
        = [&](const std::string &channel) { return quotedValue(playlist(channel), "sid", "sha256"); };
    // |id| mod 3 picks the first song: 1 and -10 start at the second, 8 at the third.
    EXPECT_EQ(firstSid("1"), "22");
    EXPECT_EQ(firstSid("8"), "33");
    EXPECT_EQ(firstSid("1"), "33");
    EXPECT_EQ(firstSid("1"), "11");
    EXPECT_EQ(firstSid("-10"), "22");
    EXPECT_EQ(firstSid(""), "11");
    station_.reset();
    EXPECT_EQ(firstSid("1"), "22");

    auto res = get("/j/v2/playlist?kbps=128");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 400);
}

TEST_F(LiveStation, ChannelInfoNamesKnownChannelsOnly)
{
    auto res = get("/j/v2/channel_info?id=8");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->get_header_value("Content-Type"), "application/json; charset=utf-8");
    EXPECT_EQ(quotedValue(res->body, "name", "cover"), "民谣");
    EXPECT_EQ(quotedValue(body("/j/v2/channel_info?id=-10"), "name", "cover"), "豆瓣精选");
    for (const char *id : { "999", "", "abc" })
        EXPECT_EQ(quotedValue(body(std::string("/j/v2/channel_info?id=") + id), "name", "cover"), "") << id;
}

TEST_F(LiveStation, LyricsComeAsTheClientSplitsThem)
{
    const std::string reply = body("/j/v2/lyric?sid=11&ssid=aa1");
    const std::string lyric = quotedValue(reply, "lyric", "name");
    // Every line, the last one too, ends in the four characters \r\n.
    EXPECT_EQ(lyric, R"([ti:茉莉花]\r\n[00:01.00]第一行\r\n[00:03.50]第二行\r\n)");
    EXPECT_EQ(quotedValue(body("/j/v2/lyric?sid=33&ssid=cc3"), "lyric", "name"), R"([00:00.00]only\r\n)");

    const std::string none = body("/j/v2/lyric?sid=22&ssid=bb2");
    EXPECT_EQ(quotedValue(none, "lyric", "name"), "暂无歌词");
    EXPECT_EQ(none.find('['), std::string::npos);

    for (const char *target :
        { "/j/v2/lyric?sid=99&ssid=aa1", "/j/v2/lyric?sid=11&ssid=bb2", "/j/v2/lyric?sid=&ssid=" })
        EXPECT_EQ(body(target), kNoLyricReply) << target;
}

TEST_F(LiveStation, SongPageGivesTheShareChannel)
{
    const std::string shareStart = "jpg\",\"id\":", shareEnd = ",\"name";
    EXPECT_EQ(between(body("/j/v2/song/11gaa1/"), shareStart, shareEnd), "8");
    EXPECT_EQ(between(body("/j/v2/song/33gcc3/"), shareStart, shareEnd), "-10");
    for (const char *target :
        { "/j/v2/song/11gbb2/", "/j/v2/song/99gaa1/", "/j/v2/song/g/", "/j/v2/song/11/" }) {
        auto res = get(target);
        ASSERT_TRUE(res) << target;
        EXPECT_EQ(res->status, 404) << target;
        EXPECT_EQ(between(res->body, shareStart, shareEnd), "") << target;
    }
    auto page = get("/channel/8?start=11");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("茉莉花"), std::string::npos);
}

TEST_F(LiveStation, AlbumPageLinksItsChannel)
{
    const std::string page = body("/music/subject/500/");
    EXPECT_EQ(between(page, "cid=", "&amp"), "8");
    EXPECT_NE(page.find("茉莉花"), std::string::npos);
    EXPECT_NE(page.find("引&quot;号/斜\\杠"), std::string::npos); // both songs of the album, escaped
    EXPECT_EQ(body("/music/subject/500"), page);
    for (const char *target : { "/music/subject/501/", "/music/musician/7/", "/music/", "/subject/500/" }) {
        auto res = get(target);
        ASSERT_TRUE(res) << target;
        EXPECT_EQ(res->status, 404) << target;
    }
}

TEST_F(LiveStation, FilesAreServedWithTypesAndRanges)
{
    auto audio = get("/audio/11.mp3");
    ASSERT_TRUE(audio);
    EXPECT_EQ(audio->get_header_value("Content-Type"), "audio/mpeg");
    auto cover = get("/cover/33.jpg");
    ASSERT_TRUE(cover);
    EXPECT_EQ(cover->get_header_value("Content-Type"), "image/jpeg");
    EXPECT_EQ(cover->body, "JFIF cover c");

    auto part = client_->Get("/audio/11.mp3", { httplib::make_range_header({ { 4, 8 } }) });
    ASSERT_TRUE(part);
    EXPECT_EQ(part->status, 206);
    EXPECT_EQ(part->body, "audio");

    for (const char *target :
        { "/cover/22.png", "/audio/11.ogg", "/audio/99.mp3", "/audio/11", "/nothing" }) {
        auto res = get(target);
        ASSERT_TRUE(res) << target;
        EXPECT_EQ(res->status, 404) << target;
    }
}

// Each fault as the client sees it, set once through the API and once over HTTP.
TEST_F(LiveStation, FaultsReachTheClient)
{
    const std::string target = "/j/v2/channel_info?id=8";
    const std::string normal = body(target);
    struct Case
    {
        const char *kind;
        int value;
        std::function<void(const httplib::Result &)> check;
    };
    const Case cases[] = {
        { "status", 503,
            [](const httplib::Result &r) {
                ASSERT_TRUE(r);
                EXPECT_EQ(r->status, 503);
                EXPECT_EQ(quotedValue(r->body, "name", "cover"), "");
            } },
        { "status", 0,
            [](const httplib::Result &r) {
                ASSERT_TRUE(r);
                EXPECT_EQ(r->status, 500);
            } },
        { "drop", 0, [](const httplib::Result &r) { EXPECT_FALSE(r); } },
        { "truncate", 0, [](const httplib::Result &r) { EXPECT_FALSE(r); } },
        { "truncate", 10, [](const httplib::Result &r) { EXPECT_FALSE(r); } },
        { "garbage", 0,
            [&](const httplib::Result &r) {
                ASSERT_TRUE(r);
                EXPECT_EQ(r->status, 200);
                EXPECT_EQ(r->body.size(), 512u);
                EXPECT_EQ(quotedValue(r->body, "name", "cover"), "");
            } },
        { "garbage", 7,
            [](const httplib::Result &r) {
                ASSERT_TRUE(r);
                EXPECT_EQ(r->body.size(), 7u);
            } },
    };
    for (const bool overHttp : { false, true }) {
        for (const auto &c : cases) {
            SCOPED_TRACE(
                std::string(c.kind) + " " + std::to_string(c.value) + (overHttp ? " over HTTP" : ""));
            if (overHttp) {
                auto res = get(std::string("/_station/fault?path=/j/v2/channel_info&kind=") + c.kind
                    + "&value=" + std::to_string(c.value) + "&count=1");
                ASSERT_TRUE(res);
                ASSERT_EQ(res->status, 200);
            } else {
                station_.addFault({ "/j/v2/channel_info", *faultKindFromName(c.kind), c.value, 1 });
            }
            c.check(get(target));
            EXPECT_EQ(body(target), normal); // count 1: the next request is served normally
        }
    }
}

TEST_F(LiveStation, FaultsMatchPathPrefixesUntilCleared)
{
    station_.addFault({ "/j/v2/lyric", FaultKind::Status, 502, -1 });
    for (int i = 0; i < 3; ++i) {
        auto res = get("/j/v2/lyric?sid=11&ssid=aa1");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, 502);
    }
    EXPECT_EQ(quotedValue(playlist("x"), "sid", "sha256"), "11"); // other paths untouched

    station_.addFault({ "", FaultKind::Garbage, 3, -1 }); // every path, after the lyric fault
    EXPECT_EQ(get("/j/v2/lyric?sid=11&ssid=aa1")->status, 502);
    EXPECT_EQ(body("/music/subject/500/").size(), 3u);

    auto reset = get("/_station/reset");
    ASSERT_TRUE(reset);
    EXPECT_EQ(get("/j/v2/lyric?sid=11&ssid=aa1")->status, 200);
    // Control requests are never faulted.
    station_.addFault({ "", FaultKind::Drop, 0, -1 });
    EXPECT_TRUE(get("/_station/log"));
    station_.clearFaults();
    EXPECT_TRUE(get("/"));
}

TEST_F(LiveStation, DelaysAddUpAndThenTheReplyComes)
{
    station_.addFault({ "/j/v2/playlist", FaultKind::Delay, 150, 1 });
    station_.addFault({ "/j/v2/", FaultKind::Delay, 150, 1 });
    station_.addFault({ "/j/v2/playlist", FaultKind::Status, 504, 1 });
    const auto start = std::chrono::steady_clock::now();
    auto res = get("/j/v2/playlist?channel=1");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 504);

    // The global delay, set over HTTP.
    ASSERT_TRUE(get("/_station/delay?ms=200"));
    const auto again = std::chrono::steady_clock::now();
    EXPECT_EQ(quotedValue(body("/j/v2/channel_info?id=1"), "name", "cover"), "华语");
    EXPECT_GE(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(200));
}

TEST_F(LiveStation, BadControlRequestsAreRefused)
{
    for (const char *target : { "/_station/fault?path=/a&kind=explode",
             "/_station/fault?path=/a&kind=delay&value=-5", "/_station/fault?path=/a&kind=status&value=42",
             "/_station/fault?path=/a&kind=drop&count=0", "/_station/fault?path=/a&kind=delay&value=x",
             "/_station/delay?ms=", "/_station/delay?ms=9999999" }) {
        auto res = get(target);
        ASSERT_TRUE(res) << target;
        EXPECT_EQ(res->status, 400) << target;
    }
    EXPECT_EQ(get("/_station/nothing")->status, 404);
    EXPECT_EQ(body("/j/v2/channel_info?id=1").find("华语") != std::string::npos, true); // nothing was added
}

TEST_F(LiveStation, LogRecordsServiceRequests)
{
    station_.addFault({ "/j/v2/lyric", FaultKind::Drop, 0, 1 });
    get("/j/v2/channel_info?id=8");
    get("/j/v2/lyric?sid=11&ssid=aa1");
    get("/nothing");
    const auto log = station_.requests();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].line(), "GET /j/v2/channel_info?id=8 200");
    EXPECT_EQ(log[1].line(), "GET /j/v2/lyric?sid=11&ssid=aa1 0 [drop]");
    EXPECT_EQ(log[2].line(), "GET /nothing 404");
    EXPECT_EQ(body("/_station/log"),
        "GET /j/v2/channel_info?id=8 200\nGET /j/v2/lyric?sid=11&ssid=aa1 0 [drop]\nGET /nothing 404\n");
}

TEST(StationLifetime, StopEndsPendingDelaysAtOnce)
{
    std::atomic<int> seen { 0 };
    StationOptions options;
    options.onRequest = [&](const RequestRecord &) { ++seen; };
    Station station(smallCatalogue(), options);
    ASSERT_TRUE(station.start());
    EXPECT_FALSE(station.start()); // already running
    station.addFault({ "", FaultKind::Delay, 600000, -1 });
    auto pending = std::async(std::launch::async, [port = station.port()] {
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(120);
        return static_cast<bool>(client.Get("/j/v2/playlist?channel=1"));
    });
    // Wait until the request sits in its delay, then stop.
    for (int i = 0; i < 10000 && station.arrivals() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(station.arrivals(), 1u);
    station.stop();
    ASSERT_EQ(pending.wait_for(std::chrono::seconds(30)), std::future_status::ready) << "the client hangs";
    EXPECT_FALSE(pending.get());
    EXPECT_EQ(seen.load(), 1);
    station.stop();
}

TEST(StationLifetime, StopDoesNotWaitForIdleKeptAliveConnections)
{
    Station station(smallCatalogue());
    ASSERT_TRUE(station.start());
    httplib::Client client("127.0.0.1", station.port());
    client.set_keep_alive(true);
    ASSERT_TRUE(client.Get("/j/v2/channel_info?id=1"));
    auto stopped = std::async(std::launch::async, [&] { station.stop(); });
    EXPECT_EQ(stopped.wait_for(std::chrono::seconds(3)), std::future_status::ready);
}

TEST(StationLifetime, PortInUseIsRefused)
{
    Station first(smallCatalogue());
    ASSERT_TRUE(first.start());
    Station second(smallCatalogue());
    EXPECT_FALSE(second.start(first.port()));
    EXPECT_EQ(first.musicBaseUrl(), "http://127.0.0.1:" + std::to_string(first.port()) + "/music");
}

} // namespace
