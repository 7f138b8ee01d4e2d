#include "ui/Fonts.h"

#include "documents/rules/FontFaces.h"

#include <QApplication>
#include <QFont>

namespace quorvane {

void InstallFontSubstitutions() {
    InstallFaceSubstitutions();
    QFont font(QStringLiteral("新細明體"), 10);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

}  // namespace quorvane
