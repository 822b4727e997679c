// A colour picker: a button filled with its colour that opens a colour dialog.
#pragma once

#include "lyrics/ui/LyricsRenderer.h"

#include <QPushButton>

namespace sorvane::lyrics {

class ColourPickerButton : public QPushButton
{
    Q_OBJECT
public:
    explicit ColourPickerButton(QWidget *parent = nullptr);

    // The colour as given (0x00BBGGRR); a value from the settings file is kept as it came
    // even when its top byte is set, and only its low three bytes are shown.
    ColorRef colour() const { return m_colour; }
    void setColour(ColorRef colour);

    static QColor toQColor(ColorRef colour);
    static ColorRef fromQColor(const QColor &colour);

Q_SIGNALS:
    void colourChanged(sorvane::lyrics::ColorRef colour);

private:
    void choose();

    ColorRef m_colour = 0;
};

} // namespace sorvane::lyrics
