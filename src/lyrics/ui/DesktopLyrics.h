// The desktop lyrics: one line of large outlined letters with a drop shadow, shown in a
// borderless, always-on-top window straight on the desktop. One object lives for the
// whole run; its window is made by create() and starts hidden.
//
// All calls run on the GUI thread. Nothing reports errors: without a window the setters
// still change the look and the text, and the next redraw after create() shows them.
#pragma once

#include "lyrics/ui/LyricsRenderer.h"
#include "text/Encoding.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QWidget;

namespace sorvane::lyrics {

class LyricsWindow;

class DesktopLyrics : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultHeight = 150;

    // The object with the built-in look and no window.
    explicit DesktopLyrics(QObject *parent = nullptr);
    ~DesktopLyrics() override;

    // Makes the window (hidden) at the bottom centre of the primary screen's work area:
    // the work area's width and 150 pixels high unless given. Draggable from the start.
    // False, changing nothing, when the window already exists.
    bool create(std::optional<int> width = std::nullopt, std::optional<int> height = std::nullopt);
    // Closes and deletes the window, whatever the no-close flag; false when there was none.
    bool destroyWindow();
    bool exists() const;
    // The window, or null.
    QWidget *handle() const;

    // `name` first, then the fallbacks of kFallbackFontList. No redraw: call redraw().
    void setFont(
        const QString &name, int pixelSize, bool bold = false, bool italic = false, bool underline = false);
    void setBackground(ColorRef colour, int alpha, bool redraw = false);
    void setShadow(ColorRef colour, int alpha, int offset, bool redraw = false);
    // No redraw: call redraw().
    void setTextColours(ColorRef colour1, ColorRef colour2, std::optional<ColorRef> outline, int fillMode);
    void setHighlightColours(
        ColorRef colour1, ColorRef colour2, std::optional<ColorRef> outline, int fillMode);

    void show();
    void hide();
    bool isShown() const;

    // Places and sizes the window; omitted values keep the current ones. The drawing size
    // stays the one fixed by create().
    void move(std::optional<int> x = std::nullopt, std::optional<int> y = std::nullopt,
        std::optional<int> width = std::nullopt, std::optional<int> height = std::nullopt,
        bool noRedraw = false);
    int width() const;
    int height() const;
    int top() const;
    int left() const;

    void setTopmost(bool on);
    void setDraggable(bool on);
    void setNoClose(bool on);
    // Lifts the no-close flag and closes the window: for the program's own shutdown.
    void forceClose();

    // Shows `text` (a program text) with the left `highlightPercent` % (clamped to 0–100)
    // in highlight colours, and redraws, also while the window is hidden.
    void setText(const text::GbString &text, int highlightPercent = 0);
    // Draws the whole window afresh from the current text and look.
    void redraw();

    const LyricsRenderer &renderer() const { return m_renderer; }
    // The size drawn into: fixed by create(), empty before.
    QSize drawingSize() const { return m_drawingSize; }

private:
    LyricsRenderer m_renderer;
    QPointer<LyricsWindow> m_window;
    QSize m_drawingSize;
    bool m_draggable = false;
    bool m_noClose = false;
};

} // namespace sorvane::lyrics
