#include "service/Channels.h"

#include "service/Texts.h"

namespace sorvane::service {

const std::array<ChannelEntry, kChannelCount> &channelTable()
{
    static const std::array<ChannelEntry, kChannelCount> table = [] {
        static constexpr std::array<std::string_view, kChannelCount> ids = {
            "-10",
            "",
            "1",
            "2",
            "3",
            "4",
            "5",
            "6",
            "17",
            "18",
            "61",
            "",
            "194",
            "7",
            "8",
            "9",
            "10",
            "13",
            "27",
            "28",
            "187",
            "188",
            "189",
            "",
            "153",
            "151",
            "152",
            "154",
            "155",
            "77",
            "32",
            "257",
        };
        const auto &items = texts::channelItemTexts();
        std::array<ChannelEntry, kChannelCount> t;
        for (std::size_t i = 0; i < kChannelCount; ++i)
            t[i] = ChannelEntry { items[i], std::string(ids[i]) };
        return t;
    }();
    return table;
}

std::optional<std::string> channelIdAt(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= kChannelCount)
        return std::nullopt;
    const ChannelEntry &e = channelTable()[static_cast<std::size_t>(index)];
    if (e.isSeparator())
        return std::nullopt;
    return e.id;
}

text::GbString mhzLabel(std::string_view name)
{
    text::GbString label(name);
    label += " MHz";
    return label;
}

text::GbString channelLabel(int index, std::string_view channelName)
{
    if (index == 0)
        return texts::defaultChannelLabel();
    return mhzLabel(channelName);
}

} // namespace sorvane::service
