#pragma once

#include <QSize>

#include <optional>

class QWidget;

namespace quorvane {

// The size a control takes when its screen is resized: its designed size grown (or shrunk) by
// as much as the screen's inner size differs from the screen's designed inner size. Nothing,
// when either the width or the height would come out below 1: the control then keeps its size.
// Any unit serves as long as all three sizes use it (the designs are in twips).
std::optional<QSize> ResizedControlSize(const QSize& innerSize, const QSize& designInnerSize,
                                        const QSize& controlDesignSize);

// subFormReSize, list form: the list beside a record screen's fields takes the size above and
// the banner over it takes the new width (its height stays). Sizes are in twips, height first;
// the screen's inner size is its contents rectangle. False when the list would come out
// below 1 and keeps its size (and so does the banner).
bool subFormReSize(QWidget* screen, QWidget* list, QWidget* banner, int designInnerHeight,
                   int designInnerWidth, int listDesignHeight, int listDesignWidth);

// subFormReSize, single control: the same for one control (a report screen's grid).
bool subFormReSize(QWidget* screen, int designInnerHeight, int designInnerWidth,
                   int controlDesignHeight, int controlDesignWidth, QWidget* control);

}  // namespace quorvane
