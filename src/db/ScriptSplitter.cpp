#include "db/ScriptSplitter.h"

#include "core/Failure.h"

namespace quorvane {

namespace {

bool isIdentifierChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The dollar-quote tag ("$$" or "$name$") starting at `pos`, or empty when there is none. A
// '$' right after an identifier character belongs to the identifier, and "$1" is a parameter.
QString dollarTagAt(const QString& text, qsizetype pos) {
    if (pos > 0 && isIdentifierChar(text.at(pos - 1))) {
        return {};
    }
    qsizetype end = pos + 1;
    while (end < text.size() && (text.at(end).isLetter() || text.at(end) == QLatin1Char('_') ||
                                 (end > pos + 1 && text.at(end).isDigit()))) {
        ++end;
    }
    if (end < text.size() && text.at(end) == QLatin1Char('$')) {
        return text.mid(pos, end - pos + 1);
    }
    return {};
}

[[noreturn]] void unterminated(const QString& what, const QString& text, qsizetype start) {
    const qsizetype line = text.left(start).count(QLatin1Char('\n')) + 1;
    throw Failure(
        0,
        QStringLiteral("資料庫結構指令碼第 %1 行的%2沒有結束，未執行任何指令").arg(line).arg(what),
        QStringLiteral("SchemaInstaller"));
}

}  // namespace

QStringList SplitSqlScript(const QString& script) {
    QStringList statements;
    QString current;
    auto finish = [&] {
        const QString statement = current.trimmed();
        if (!statement.isEmpty()) {
            statements.append(statement);
        }
        current.clear();
    };

    const qsizetype n = script.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = script.at(i);
        const QChar next = i + 1 < n ? script.at(i + 1) : QChar();
        if (c == QLatin1Char(';')) {
            finish();
            ++i;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A doubled quote inside is an escaped quote: the loop closes and reopens.
            const qsizetype close = script.indexOf(c, i + 1);
            if (close < 0) {
                unterminated(
                    c == QLatin1Char('\'') ? QStringLiteral("字串") : QStringLiteral("識別名稱"),
                    script, i);
            }
            current += script.mid(i, close - i + 1);
            i = close + 1;
        } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
            const qsizetype eol = script.indexOf(QLatin1Char('\n'), i);
            i = eol < 0 ? n : eol;
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            // PostgreSQL lets block comments nest.
            const qsizetype start = i;
            int depth = 0;
            do {
                if (i + 1 >= n) {
                    unterminated(QStringLiteral("註解"), script, start);
                }
                if (script.at(i) == QLatin1Char('/') && script.at(i + 1) == QLatin1Char('*')) {
                    ++depth;
                    i += 2;
                } else if (script.at(i) == QLatin1Char('*') &&
                           script.at(i + 1) == QLatin1Char('/')) {
                    --depth;
                    i += 2;
                } else {
                    ++i;
                }
            } while (depth > 0);
            current += QLatin1Char(' ');
        } else if (c == QLatin1Char('$') && !dollarTagAt(script, i).isEmpty()) {
            const QString tag = dollarTagAt(script, i);
            const qsizetype close = script.indexOf(tag, i + tag.size());
            if (close < 0) {
                unterminated(QStringLiteral("函數本體 ") + tag, script, i);
            }
            current += script.mid(i, close + tag.size() - i);
            i = close + tag.size();
        } else {
            current += c;
            ++i;
        }
    }
    finish();
    return statements;
}

}  // namespace quorvane
