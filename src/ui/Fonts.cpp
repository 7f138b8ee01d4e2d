#include "ui/Fonts.h"

#include <QApplication>
#include <QFont>

namespace quorvane {

void InstallFontSubstitutions() {
    const QString kai = QStringLiteral("AR PL UKai TW");
    const QString ming = QStringLiteral("AR PL UMing TW");
    for (const QString& face : {QStringLiteral("標楷體"), QStringLiteral("DFKai-SB")}) {
        QFont::insertSubstitution(face, kai);
    }
    for (const QString& face : {QStringLiteral("新細明體"), QStringLiteral("PMingLiU"),
                                QStringLiteral("細明體"), QStringLiteral("MingLiU")}) {
        QFont::insertSubstitution(face, ming);
    }
    QFont font(QStringLiteral("新細明體"), 10);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

}  // namespace quorvane
