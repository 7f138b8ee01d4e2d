#pragma once

#include <QString>

#include <exception>

namespace quorvane {

// Every failure the program can meet at run time is a Failure: an error number, a description
// and the component that raised it. Procedures catch it through their step runner and hand it
// to the exception dialog; nothing returns error codes instead.
class Failure : public std::exception {
public:
    Failure(long number, QString description, QString source);

    long number() const { return number_; }
    const QString& description() const { return description_; }
    const QString& source() const { return source_; }
    const char* what() const noexcept override { return what_.constData(); }

private:
    long number_;
    QString description_;
    QString source_;
    QByteArray what_;
};

// A failure reported by the database driver: the description says first, in the clerk's
// words, what happened and what to do, then gives the driver's text on the next line; the
// number is the server's native error code (0 when the server gave none).
class DatabaseFailure : public Failure {
public:
    DatabaseFailure(long nativeCode, QString driverText, QString source, QString sqlState = {});

    // SQLSTATE on PostgreSQL, the extended result code on SQLite (as text); empty when unknown.
    const QString& sqlState() const { return sqlState_; }

private:
    QString sqlState_;
};

}  // namespace quorvane
