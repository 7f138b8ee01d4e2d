#include "documents/rules/FontFaces.h"

#include <QFont>
#include <QStringList>

namespace quorvane {

void InstallFaceSubstitutions() {
    const QString kai = QStringLiteral("AR PL UKai TW");
    const QString ming = QStringLiteral("AR PL UMing TW");
    for (const QString& face : {QStringLiteral("標楷體"), QStringLiteral("DFKai-SB")}) {
        if (!QFont::substitutes(face).contains(kai)) {
            QFont::insertSubstitution(face, kai);
        }
    }
    for (const QString& face : {QStringLiteral("新細明體"), QStringLiteral("PMingLiU"),
                                QStringLiteral("細明體"), QStringLiteral("MingLiU")}) {
        if (!QFont::substitutes(face).contains(ming)) {
            QFont::insertSubstitution(face, ming);
        }
    }
}

}  // namespace quorvane
