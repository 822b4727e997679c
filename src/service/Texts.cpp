#include "service/Texts.h"

namespace sorvane::service::texts {

text::GbString fromSource(const char *utf8)
{
    return text::utf8ToGb(utf8);
}

const text::GbString &quotePlaceholder()
{
    static const text::GbString s = fromSource("#引号");
    return s;
}

const text::GbString &playing()
{
    static const text::GbString s = fromSource("正在播放");
    return s;
}

const text::GbString &defaultChannelLabel()
{
    static const text::GbString s = fromSource("豆瓣精选 MHz");
    return s;
}

const std::array<text::GbString, 32> &channelItemTexts()
{
    static const std::array<text::GbString, 32> items = [] {
        const char *const utf8[32] = {
            "豆瓣精选",
            "-------",
            "华语",
            "欧美",
            "70s",
            "80s",
            "90s",
            "粤语",
            "日语",
            "韩语",
            "新歌",
            "-------",
            "流行",
            "摇滚",
            "民谣MHz",
            "轻音乐",
            "电影原声",
            "爵士",
            "古典",
            "动漫",
            "世界音乐",
            "布鲁斯",
            "拉丁",
            "-------",
            "工作学习",
            "户外",
            "休息",
            "亢奋",
            "舒缓",
            "Easy",
            "咖啡",
            "运动",
        };
        std::array<text::GbString, 32> gb;
        for (std::size_t i = 0; i < gb.size(); ++i)
            gb[i] = fromSource(utf8[i]);
        return gb;
    }();
    return items;
}

} // namespace sorvane::service::texts
