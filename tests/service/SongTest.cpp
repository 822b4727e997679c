#include "service/Song.h"

#include <gtest/gtest.h>

using namespace sorvane;
using namespace sorvane::service;

namespace {

Song sample()
{
    return Song { "T", "A", "https://h/a.mp3", "https://h/c.jpg", "101", "9f3a", "128", "/subject/1/",
        "Album" };
}

TEST(Song, RecordKeepsItsSixFieldsInOrder)
{
    EXPECT_EQ(songRecordOf(sample()),
        (SongRecord { "https://h/c.jpg", "Album", "https://h/c.jpg", "A", "https://h/a.mp3", "T" }));
}

TEST(Song, FavouriteRowRoundTrip)
{
    const FavouriteRow row = favouriteRowOf(sample());
    EXPECT_EQ(row,
        (FavouriteRow {
            "T", "A", "https://h/a.mp3", "https://h/c.jpg", "101", "9f3a", "128", "/subject/1/" }));
    Song back = sample();
    back.albumTitle.clear();
    EXPECT_EQ(songFromFavouriteRow(row), back);

    const std::vector<text::GbString> shortRow { "T", "A" };
    const Song partial = songFromFavouriteRow(shortRow);
    EXPECT_EQ(partial.artist, "A");
    EXPECT_EQ(partial.album, "");
}

TEST(Song, LabelsAndAlbumPage)
{
    EXPECT_EQ(songCaption("", ""), " - ");
    EXPECT_EQ(songCaption("T", "A"), "T - A");
    EXPECT_EQ(kbpsLabel(""), "Kbps");
    EXPECT_TRUE(hasAlbumPage("/subject/1/"));
    EXPECT_FALSE(hasAlbumPage("/musician/1/"));
    EXPECT_FALSE(hasAlbumPage(""));
}

} // namespace
