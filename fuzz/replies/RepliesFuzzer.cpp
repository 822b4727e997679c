// Feeds arbitrary bytes to every reader of the service's replies. The first bytes choose
// the markers and the lyric position; the rest is the reply.
#include "lyrics/LyricLookup.h"
#include "service/Extract.h"
#include "service/JsonText.h"
#include "service/Replies.h"
#include "service/Urls.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace sorvane;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool isPartOf(std::string_view part, std::string_view whole)
{
    return part.empty() || whole.find(part) != std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string start = in.ConsumeRandomLengthString(8);
    const std::string end = in.ConsumeRandomLengthString(8);
    const std::string position = in.ConsumeRandomLengthString(6);
    const std::string reply = in.ConsumeRemainingBytesAsString();

    const std::string cut = service::extractBetween(reply, start, end);
    check(isPartOf(cut, reply));
    check(isPartOf(service::quotedValue(reply, start, end), reply));

    // Decoding hardly grows a text: a six-byte \uXXXX gives at most eight bytes (two
    // U+FFFD when the system cannot write the character in GB18030), all else shrinks.
    const std::string decoded = service::jsonUnescape(reply);
    check(decoded.size() * 3 <= reply.size() * 4);

    const std::string line = lyrics::findLyricLine(reply, position);
    check(line.size() <= reply.size());
    const lyrics::LyricLookup lookup(reply);
    (void)lookup.tick(position);

    const service::Song song = service::parseSong(reply);
    if (const auto url = service::albumPageUrl("https://music.douban.com", song.album))
        check(service::originOf(*url) == service::originOf("https://music.douban.com"));
    (void)service::isWebAddress(song.url);
    (void)service::parseSimilarChannelId(reply);
    (void)service::parseShareChannelId(reply);
    return 0;
}
