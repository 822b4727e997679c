#include "app/UiFonts.h"

#include "lyrics/ui/FontFamilies.h"

namespace sorvane::app {

QFont uiFont(int pixels)
{
    QFont font = lyrics::uiFont(QStringLiteral("微软雅黑"), pixels);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace sorvane::app
