#include "db/FieldKind.h"

namespace quorvane {

bool IsControlInText(QChar character) {
    switch (character.category()) {
        case QChar::Other_Control:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            return false;
    }
}

bool KindUpperCases(int kind) {
    return kind < 40 && kind != FieldKind::Password;
}

bool KindRefuses(int kind, QChar character) {
    const char16_t code = character.unicode();
    if (code >= 1 && code <= 31) {
        return false;  // control keys: Backspace, Enter, Tab and the like
    }
    const bool digit = code >= u'0' && code <= u'9';
    switch (kind) {
        case 2:
            return !(digit || code == u'-' || code == u'.' || code == u'/');
        case 4:
            return !(code == u'Y' || code == u'N' || code == u'y' || code == u'n');
        case 12:
        case 13:
        case 16:
        case 17:
        case 18:
            // "!" to ",", "." and "/", ":" to "@"; space, "-" and the other punctuation pass.
            return (code >= 33 && code <= 44) || code == 46 || code == 47 ||
                   (code >= 58 && code <= 64);
        case 40:
        case 43:
        case 46:
        case 47:
        case 48:
        case 49:
            return !(digit || code == u'-' || code == u'.');
        case 41:
            return !(digit || code == u'.');
        case 42:
            return !(digit || code == u'-');
        case 44:
        case 45:
            return !digit;
        default:
            return false;
    }
}

QChar KindFilterKey(int kind, QChar character) {
    if (KindUpperCases(kind)) {
        character = character.toUpper();
    }
    return KindRefuses(kind, character) ? QChar() : character;
}

QString KindFilterText(int kind, const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar character : text) {
        if (IsControlInText(character)) {
            continue;
        }
        const QChar delivered = KindFilterKey(kind, character);
        if (!delivered.isNull()) {
            kept += delivered;
        }
    }
    return kept;
}

}  // namespace quorvane
