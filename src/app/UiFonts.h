// Fonts of the main window. The window's face is "微软雅黑", which Linux does not have;
// it maps to the installed CJK sans face so Chinese text always draws in a fitting face.
#pragma once

#include <QFont>

namespace sorvane::app {

// The window's face at a character height of `pixels`, normal weight.
QFont uiFont(int pixels);

} // namespace sorvane::app
