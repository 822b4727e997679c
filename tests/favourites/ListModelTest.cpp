#include "favourites/ListModel.h"
#include "favourites/Favourites.h"

#include <gtest/gtest.h>

using namespace sorvane::favourites;

namespace {

ListModel albums(std::initializer_list<const char *> links)
{
    ListModel list(favouriteColumns());
    for (const char *link : links) {
        const std::size_t row = list.appendRow({ link });
        list.setCell(row, kAlbumLinkColumn, link);
    }
    return list;
}

TEST(ListModel, RemovesEveryMatchingRowAlsoNeighbours)
{
    ListModel list = albums({ "/subject/1/", "/subject/2/", "/subject/2/", "/subject/3/", "/subject/2/" });
    EXPECT_EQ(list.removeRowsWhere(kAlbumLinkColumn, "/subject/2/"), 3u);
    ASSERT_EQ(list.rowCount(), 2u);
    EXPECT_EQ(list.cell(0, 0), "/subject/1/");
    EXPECT_EQ(list.cell(1, 0), "/subject/3/");

    // An empty text matches the rows whose cell is empty or was never set.
    list.appendRow({ "no album" });
    EXPECT_EQ(list.findRow(kAlbumLinkColumn, ""), 2u);
    EXPECT_EQ(list.removeRowsWhere(kAlbumLinkColumn, ""), 1u);
    EXPECT_FALSE(list.findRow(kAlbumLinkColumn, "/subject/2/"));
}

TEST(ListModel, CellsOutsideTheTableReadEmpty)
{
    ListModel list(favouriteColumns());
    list.appendRow({ "only title" });
    EXPECT_EQ(list.cell(0, kKbpsColumn), "");
    EXPECT_EQ(list.cell(0, 100), "");
    EXPECT_EQ(list.cell(5, 0), "");
    list.setCell(0, 9, "beyond the columns");
    EXPECT_EQ(list.cell(0, 9), "beyond the columns");
    EXPECT_EQ(list.columnCount(), 8u);
}

} // namespace
