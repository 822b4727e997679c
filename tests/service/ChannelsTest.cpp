#include "service/Channels.h"

#include <gtest/gtest.h>

using namespace sorvane;
using namespace sorvane::service;

namespace {

TEST(Channels, TableHasThreeSeparators)
{
    std::vector<int> separators;
    for (std::size_t i = 0; i < channelTable().size(); ++i)
        if (channelTable()[i].isSeparator()) {
            separators.push_back(static_cast<int>(i));
            EXPECT_EQ(channelTable()[i].itemText, "-------");
        }
    EXPECT_EQ(separators, (std::vector<int> { 1, 11, 23 }));
}

TEST(Channels, IdsOfItems)
{
    struct Item
    {
        int index;
        const char *utf8;
        std::optional<std::string> id;
    };
    for (const Item &c :
        { Item { 0, "豆瓣精选", "-10" }, Item { 7, "粤语", "6" }, Item { 14, "民谣MHz", "8" },
            Item { 29, "Easy", "77" }, Item { 31, "运动", "257" }, Item { 11, "-------", std::nullopt } }) {
        EXPECT_EQ(channelTable()[c.index].itemText, text::utf8ToGb(c.utf8)) << c.index;
        EXPECT_EQ(channelIdAt(c.index), c.id) << c.index;
    }
    EXPECT_EQ(channelIdAt(-1), std::nullopt);
    EXPECT_EQ(channelIdAt(32), std::nullopt);
}

TEST(Channels, Labels)
{
    EXPECT_EQ(channelLabel(0, "Whatever the reply says"), text::utf8ToGb("豆瓣精选 MHz"));
    EXPECT_EQ(channelLabel(14, text::utf8ToGb("民谣")), text::utf8ToGb("民谣 MHz"));
    EXPECT_EQ(channelLabel(2, ""), " MHz");
}

} // namespace
