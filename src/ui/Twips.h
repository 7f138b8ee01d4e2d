#pragma once

#include <QScreen>
#include <QSize>
#include <QWidget>
#include <QtGlobal>

namespace quorvane {

// Screen sizes are designed in twips: 1440 to the inch, converted at the screen's logical DPI so
// a screen keeps its proportions with the user's font scaling.
constexpr int TwipsPerInch = 1440;

inline int TwipsToPixels(int twips, qreal dotsPerInch) {
    return qRound(twips * dotsPerInch / TwipsPerInch);
}

// The screen a widget is on (the primary screen before it is shown).
inline const QScreen* ScreenOf(const QWidget* widget) {
    return widget != nullptr ? widget->screen() : nullptr;
}

inline int TwipsToPixelsX(int twips, const QWidget* widget) {
    const QScreen* screen = ScreenOf(widget);
    return TwipsToPixels(twips, screen != nullptr ? screen->logicalDotsPerInchX() : 96.0);
}

inline int TwipsToPixelsY(int twips, const QWidget* widget) {
    const QScreen* screen = ScreenOf(widget);
    return TwipsToPixels(twips, screen != nullptr ? screen->logicalDotsPerInchY() : 96.0);
}

inline QSize TwipsToPixels(int widthTwips, int heightTwips, const QWidget* widget) {
    return {TwipsToPixelsX(widthTwips, widget), TwipsToPixelsY(heightTwips, widget)};
}

}  // namespace quorvane
