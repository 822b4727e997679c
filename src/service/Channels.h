// The channel combo box: its 32 items, the channel id of each, and the channel label.
#pragma once

#include "text/Encoding.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace sorvane::service {

// The channel played after start-up and after a favourite.
inline constexpr std::string_view kDefaultChannelId = "-10";

struct ChannelEntry
{
    text::GbString itemText; // the combo box item, GB18030
    std::string id; // the channel id; empty for a separator
    bool isSeparator() const { return id.empty(); }
};

inline constexpr std::size_t kChannelCount = 32;

// The combo box items in list order: index 0 "豆瓣精选" (id "-10"), separators "-------" at
// 1, 11 and 23, ..., index 31 "运动" (id "257").
const std::array<ChannelEntry, kChannelCount> &channelTable();

// The channel id of the item at `index`, or nullopt for a separator or an index outside
// the table (choosing such an item changes nothing).
std::optional<std::string> channelIdAt(int index);

// "name MHz": the label shown for a channel name, or for the artist after a switch to
// similar songs.
text::GbString mhzLabel(std::string_view name);

// The channel label after choosing item `index` and fetching its channel name: always
// "豆瓣精选 MHz" for index 0, otherwise mhzLabel(channelName) (" MHz" when the name is empty).
text::GbString channelLabel(int index, std::string_view channelName);

} // namespace sorvane::service
