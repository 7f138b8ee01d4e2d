#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <initializer_list>

namespace quorvane {

// One SQL statement with its values bound by position ('?'). User text is never spliced into
// the SQL text; it always travels as a bound value.
struct Statement {
    Statement() = default;
    Statement(QString text) : sql(std::move(text)) {}  // NOLINT: plain text converts freely
    Statement(const char* text) : sql(QString::fromUtf8(text)) {}  // NOLINT
    Statement(QString text, std::initializer_list<QVariant> values)
        : sql(std::move(text)), binds(values) {}
    Statement(QString text, QVariantList values) : sql(std::move(text)), binds(std::move(values)) {}

    QString sql;
    QVariantList binds;

    // The statement and its values as one text, for the exception dialog's location text.
    QString describe() const;
};

}  // namespace quorvane
