#include "ui/FormResize.h"

#include "ui/Twips.h"

#include <QWidget>

namespace quorvane {

namespace {

// The new size of a control in pixels, the designs converted at the screen's DPI.
std::optional<QSize> resizedInPixels(const QWidget* screen, int designInnerHeight,
                                     int designInnerWidth, int controlDesignHeight,
                                     int controlDesignWidth) {
    return ResizedControlSize(screen->contentsRect().size(),
                              TwipsToPixels(designInnerWidth, designInnerHeight, screen),
                              TwipsToPixels(controlDesignWidth, controlDesignHeight, screen));
}

}  // namespace

std::optional<QSize> ResizedControlSize(const QSize& innerSize, const QSize& designInnerSize,
                                        const QSize& controlDesignSize) {
    const int height = controlDesignSize.height() + (innerSize.height() - designInnerSize.height());
    const int width = controlDesignSize.width() + (innerSize.width() - designInnerSize.width());
    if (height < 1 || width < 1) {
        return std::nullopt;
    }
    return QSize(width, height);
}

bool subFormReSize(QWidget* screen, QWidget* list, QWidget* banner, int designInnerHeight,
                   int designInnerWidth, int listDesignHeight, int listDesignWidth) {
    if (screen == nullptr || list == nullptr) {
        return false;
    }
    const std::optional<QSize> size = resizedInPixels(screen, designInnerHeight, designInnerWidth,
                                                      listDesignHeight, listDesignWidth);
    if (!size) {
        return false;
    }
    list->resize(*size);
    if (banner != nullptr) {
        banner->resize(size->width(), banner->height());
    }
    return true;
}

bool subFormReSize(QWidget* screen, int designInnerHeight, int designInnerWidth,
                   int controlDesignHeight, int controlDesignWidth, QWidget* control) {
    if (screen == nullptr || control == nullptr) {
        return false;
    }
    const std::optional<QSize> size = resizedInPixels(screen, designInnerHeight, designInnerWidth,
                                                      controlDesignHeight, controlDesignWidth);
    if (!size) {
        return false;
    }
    control->resize(*size);
    return true;
}

}  // namespace quorvane
