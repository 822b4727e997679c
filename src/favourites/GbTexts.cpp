#include "favourites/GbTexts.h"

namespace sorvane::favourites::gb {

const text::GbString &yes()
{
    static const text::GbString s = text::utf8ToGb("真");
    return s;
}

const text::GbString &no()
{
    static const text::GbString s = text::utf8ToGb("假");
    return s;
}

const text::GbString &titleHeader()
{
    static const text::GbString s = text::utf8ToGb("歌曲名称");
    return s;
}

const text::GbString &artistHeader()
{
    static const text::GbString s = text::utf8ToGb("歌手名称");
    return s;
}

} // namespace sorvane::favourites::gb
