// The program's own client (HttpRequest, download and the reply readers) against the
// station on loopback: a whole service round, and every injected fault read as the
// empty value without a crash or a hang.

#include <gtest/gtest.h>

#include "lyrics/LyricLookup.h"
#include "service/Channels.h"
#include "service/Extract.h"
#include "service/Replies.h"
#include "service/Urls.h"
#include "station/Station.h"
#include "text/Encoding.h"
#include "web/CurlGlobal.h"
#include "web/Download.h"
#include "web/HttpRequest.h"

using namespace sorvane;
using station::FaultKind;
using text::utf8ToGb;

namespace {

const web::CurlGlobal curlGlobal;

station::Catalogue shortCatalogue()
{
    std::string error;
    auto catalogue = station::Catalogue::load(station::shortCatalogueDir(), error);
    if (!catalogue)
        throw std::runtime_error(error);
    return std::move(*catalogue);
}

class ServiceRound : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(station_.start()); }

    // The program's service request: open, send, responseText on its one object.
    text::GbString request(const std::string &url)
    {
        http_.open(url);
        http_.send();
        return http_.responseText();
    }
    std::string base() const { return station_.baseUrl(); }

    const station::Catalogue catalogue_ = shortCatalogue();
    station::Station station_ { catalogue_ };
    web::HttpRequest http_;
};

TEST_F(ServiceRound, SongFromChannelToSharedLink)
{
    EXPECT_EQ(service::parseChannelName(request(service::channelInfoUrl(base(), "8"))), utf8ToGb("民谣"));

    const service::Song song = service::parseSong(request(service::playlistUrl(base(), "-10")));
    const station::Song &expected = *catalogue_.findSid("1001");
    EXPECT_EQ(song.title, utf8ToGb("茉莉花"));
    EXPECT_EQ(song.artist, utf8ToGb("江苏民歌"));
    EXPECT_EQ(song.albumTitle, utf8ToGb("江南小调"));
    EXPECT_EQ(song.sid, "1001");
    EXPECT_EQ(song.ssid, "4e7a");
    EXPECT_EQ(song.kbps, "128");
    EXPECT_EQ(song.album, "/subject/1001/");
    EXPECT_TRUE(service::hasAlbumPage(song.album));
    ASSERT_TRUE(service::isWebAddress(song.url)) << song.url;
    ASSERT_TRUE(service::isWebAddress(song.picture)) << song.picture;

    EXPECT_EQ(web::download(song.picture), expected.cover);
    EXPECT_EQ(web::download(song.url), expected.audio);

    const lyrics::LyricLookup lyric(request(service::lyricUrl(base(), song.sid, song.ssid)));
    EXPECT_EQ(lyric.tick("00:00"), utf8ToGb("好一朵美丽的茉莉花"));
    EXPECT_EQ(lyric.tick("00:01"), std::nullopt);

    const auto shareId
        = service::parseShareChannelId(request(service::songPageUrl(base(), song.sid, song.ssid)));
    EXPECT_EQ(shareId, "8");
    const auto link = service::shareLink(base(), shareId, song.sid);
    EXPECT_EQ(web::download(link).value_or("").find("茉莉花") != std::string::npos, true) << link;

    const auto albumUrl = service::albumPageUrl(station_.musicBaseUrl(), song.album);
    ASSERT_TRUE(albumUrl);
    const auto page = web::download(*albumUrl);
    ASSERT_TRUE(page);
    EXPECT_EQ(service::parseSimilarChannelId(text::toGb(*page, "utf-8")), "8");

    // The next playlist request moves the channel on to the next song.
    EXPECT_EQ(service::parseSong(request(service::playlistUrl(base(), "-10"))).sid, "1002");
    for (const auto &r : station_.requests()) {
        EXPECT_EQ(r.status / 100, 2) << r.line();
    }
}

TEST_F(ServiceRound, EveryChannelOfTheListHasAName)
{
    for (const auto &entry : service::channelTable()) {
        if (!entry.isSeparator()) {
            EXPECT_NE(service::parseChannelName(request(service::channelInfoUrl(base(), entry.id))), "")
                << entry.id;
        }
    }
}

TEST_F(ServiceRound, SongWithoutWordsShowsItsHint)
{
    const lyrics::LyricLookup lyric(request(service::lyricUrl(base(), "1005", "5a90")));
    EXPECT_EQ(lyric.tick("00:01"), utf8ToGb("暂无歌词"));
    const lyrics::LyricLookup unknown(request(service::lyricUrl(base(), "1005", "0000")));
    EXPECT_EQ(unknown.tick("00:01"), std::nullopt);
}

struct FaultCase
{
    const char *name;
    FaultKind kind;
    int value;
};

class ServiceFault : public ServiceRound, public testing::WithParamInterface<FaultCase>
{
};

// Every reader gets the empty value, and once the fault is gone the same object reads
// the next reply again. Faults stay until reset: libcurl retries a request once when a
// reused connection closes without a reply.
TEST_P(ServiceFault, EveryReaderGetsTheEmptyValue)
{
    const FaultCase &c = GetParam();
    // A delay longer than the lowered time-outs, so the request gives up after 300 ms.
    http_.setTimeouts(50, 50, 50, 150);
    station_.addFault({ "/j/v2/", c.kind, c.value, -1 });

    EXPECT_EQ(service::parseChannelName(request(service::channelInfoUrl(base(), "8"))), "");
    EXPECT_EQ(service::parseSong(request(service::playlistUrl(base(), "-10"))), service::Song {});
    const lyrics::LyricLookup lyric(request(service::lyricUrl(base(), "1001", "4e7a")));
    EXPECT_EQ(lyric.lyricText(), "");
    EXPECT_EQ(service::parseShareChannelId(request(service::songPageUrl(base(), "1001", "4e7a"))), "");

    station_.clearFaults();
    EXPECT_EQ(service::parseChannelName(request(service::channelInfoUrl(base(), "8"))), utf8ToGb("民谣"));
}

INSTANTIATE_TEST_SUITE_P(Station, ServiceFault,
    testing::Values(FaultCase { "delay", FaultKind::Delay, 600000 },
        FaultCase { "status", FaultKind::Status, 500 }, FaultCase { "drop", FaultKind::Drop, 0 },
        FaultCase { "truncate", FaultKind::Truncate, 0 }, FaultCase { "garbage", FaultKind::Garbage, 0 }),
    [](const auto &info) { return std::string(info.param.name); });

class DownloadFault : public ServiceRound, public testing::WithParamInterface<FaultCase>
{
};

TEST_P(DownloadFault, CoverAndAlbumPageGiveNothingUsable)
{
    const FaultCase &c = GetParam();
    station_.addFault({ "/cover/", c.kind, c.value, -1 });
    station_.addFault({ "/music/", c.kind, c.value, -1 });
    const auto cover = web::download(base() + "/cover/1001.png");
    const auto page = web::download(station_.musicBaseUrl() + "/subject/1001/");
    if (c.kind == FaultKind::Garbage) {
        // The bytes arrive; the picture does not decode and the page holds no channel.
        EXPECT_NE(cover, catalogue_.findSid("1001")->cover);
        ASSERT_TRUE(page);
        EXPECT_EQ(service::parseSimilarChannelId(text::toGb(*page, "utf-8")), "");
    } else {
        EXPECT_EQ(cover, std::nullopt);
        EXPECT_EQ(page, std::nullopt);
    }
    station_.clearFaults();
    EXPECT_EQ(web::download(base() + "/cover/1001.png"), catalogue_.findSid("1001")->cover);
}

INSTANTIATE_TEST_SUITE_P(Station, DownloadFault,
    testing::Values(FaultCase { "status404", FaultKind::Status, 404 },
        FaultCase { "drop", FaultKind::Drop, 0 }, FaultCase { "truncate", FaultKind::Truncate, 0 },
        FaultCase { "garbage", FaultKind::Garbage, 0 }),
    [](const auto &info) { return std::string(info.param.name); });

// The download has no time-out of its own to lower: a stalled reply ends at the
// program's whole-request limit.
TEST_F(ServiceRound, StalledDownloadEndsAtTheRequestLimit)
{
    station_.addFault({ "/cover/", FaultKind::Delay, 600000, -1 });
    EXPECT_EQ(web::download(base() + "/cover/1001.png"), std::nullopt);
}

} // namespace
