// The radio client's own Chinese texts, as GB18030 program text. Source files are UTF-8,
// so every such literal of this library is converted here and nowhere else.
#pragma once

#include "text/Encoding.h"

#include <array>

namespace sorvane::service::texts {

// The placeholder a marker may use for a double-quote character ("#引号").
const text::GbString &quotePlaceholder();

// The play status set once the first playlist song has started ("正在播放").
const text::GbString &playing();

// The label of the default channel, whatever its channel information says ("豆瓣精选 MHz").
const text::GbString &defaultChannelLabel();

// The item texts of the channel combo box, in list order (separators included).
const std::array<text::GbString, 32> &channelItemTexts();

// Converts a UTF-8 literal of this library once; the result lives for the whole run.
text::GbString fromSource(const char *utf8);

} // namespace sorvane::service::texts
