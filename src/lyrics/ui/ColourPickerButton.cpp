#include "lyrics/ui/ColourPickerButton.h"

#include <QColorDialog>

namespace sorvane::lyrics {

ColourPickerButton::ColourPickerButton(QWidget *parent)
    : QPushButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setColour(0);
    connect(this, &QPushButton::clicked, this, &ColourPickerButton::choose);
}

QColor ColourPickerButton::toQColor(ColorRef colour)
{
    return QColor::fromRgb(toArgb(colour, 0, false));
}

ColorRef ColourPickerButton::fromQColor(const QColor &colour)
{
    return static_cast<ColorRef>(colour.red()) | static_cast<ColorRef>(colour.green()) << 8
        | static_cast<ColorRef>(colour.blue()) << 16;
}

void ColourPickerButton::setColour(ColorRef colour)
{
    const bool changed = colour != m_colour;
    m_colour = colour;
    setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid #7a7a7a; }")
                      .arg(toQColor(colour).name()));
    if (changed)
        Q_EMIT colourChanged(colour);
}

void ColourPickerButton::choose()
{
    const QColor chosen
        = QColorDialog::getColor(toQColor(m_colour), this, QString(), QColorDialog::DontUseNativeDialog);
    if (chosen.isValid())
        setColour(fromQColor(chosen));
}

} // namespace sorvane::lyrics
