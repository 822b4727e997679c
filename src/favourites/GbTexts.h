// The favourites module's Chinese texts as GB18030 bytes (this source file is UTF-8).
#pragma once

#include "text/Encoding.h"

namespace sorvane::favourites::gb {

const text::GbString &yes(); // "真"
const text::GbString &no(); // "假"
const text::GbString &titleHeader(); // "歌曲名称"
const text::GbString &artistHeader(); // "歌手名称"

} // namespace sorvane::favourites::gb
