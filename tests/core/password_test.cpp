#include "core/Password.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(EncodePassword, WritesEachCodeWithAtLeastTwoDigits) {
    const struct {
        QString text;
        QString encoded;
    } cases[] = {
        {QString(), QString()},
        {QStringLiteral("abc"), QStringLiteral("979899")},
        {QStringLiteral("d"), QStringLiteral("100")},
        {QStringLiteral("中"), QStringLiteral("-23388")},
        {QStringLiteral("~"), QStringLiteral("126")},
        {QStringLiteral(" "), QStringLiteral("32")},
        {QStringLiteral("\t"), QStringLiteral("09")},
        {QString(QChar(u'\0')), QStringLiteral("00")},
        {QStringLiteral("Ab1"), QStringLiteral("659849")},
        {QStringLiteral("中文x"), QStringLiteral("-23388-23323120")},  // 文 = A4 E5
        {QStringLiteral("　"), QStringLiteral("-24256")},              // A1 40, the first code
        {QStringLiteral("€"), QStringLiteral("-23583")},               // A3 E1
        // No CP950 code: written as "?", as the workstation's code page conversion does.
        {QStringLiteral("é"), QStringLiteral("63")},
        {QStringLiteral("😀"), QStringLiteral("6363")},  // two UTF-16 units, neither in CP950
        {QStringLiteral("aéb"), QStringLiteral("976398")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodePassword(c.text), c.encoded) << c.text.toStdString();
    }
}

TEST(HashPassword, VerifiesOnlyTheSamePassword) {
    const QString hash = HashPassword(QStringLiteral("Secret 中文"));
    EXPECT_TRUE(hash.startsWith(QStringLiteral("$argon2id$"))) << hash.toStdString();
    EXPECT_NE(HashPassword(QStringLiteral("Secret 中文")), hash) << "hashes must be salted";
    EXPECT_TRUE(PasswordMatches(hash, QStringLiteral("Secret 中文")));
    EXPECT_FALSE(PasswordMatches(hash, QStringLiteral("secret 中文")));
    EXPECT_FALSE(PasswordMatches(hash, QStringLiteral("Secret 中文 ")));
    EXPECT_FALSE(PasswordMatches(hash, QString()));
    EXPECT_FALSE(PasswordMatches(hash, EncodePassword(QStringLiteral("Secret 中文"))));
}

TEST(PasswordMatches, ComparesTheOldFormExactly) {
    const QString stored = EncodePassword(QStringLiteral("Abc 中"));
    EXPECT_TRUE(PasswordMatches(stored, QStringLiteral("Abc 中")));
    EXPECT_FALSE(PasswordMatches(stored, QStringLiteral("abc 中")));
    EXPECT_FALSE(PasswordMatches(stored, QStringLiteral("Abc中")));
    EXPECT_FALSE(PasswordMatches(stored, QStringLiteral("Abc 中 ")));  // the caller trims
    EXPECT_FALSE(PasswordMatches(stored, stored));
}

TEST(PasswordMatches, EmptyPasswords) {
    EXPECT_TRUE(PasswordMatches(QString(), QString()));
    EXPECT_FALSE(PasswordMatches(QString(), QStringLiteral("a")));
    EXPECT_FALSE(PasswordMatches(QString(), QStringLiteral(" ")));
    const QString hashOfEmpty = HashPassword(QString());
    EXPECT_TRUE(PasswordMatches(hashOfEmpty, QString()));
    EXPECT_FALSE(PasswordMatches(hashOfEmpty, QStringLiteral("a")));
}

TEST(PasswordMatches, RefusesDamagedHashes) {
    const QString hash = HashPassword(QStringLiteral("pw"));
    const QString damaged[] = {
        QStringLiteral("$argon2id$"),
        hash.left(hash.size() - 4),
        hash + QStringLiteral("AAAA"),
        QStringLiteral("$argon2id$") + QString(500, QLatin1Char('x')),
    };
    for (const QString& stored : damaged) {
        EXPECT_FALSE(PasswordMatches(stored, QStringLiteral("pw"))) << stored.toStdString();
    }
}

TEST(HashPassword, TakesUnusualPasswords) {
    const QString inputs[] = {
        QString(10000, QChar(u'密')),
        QStringLiteral("\x01\x02\t\r\n"),
        QStringLiteral("'; DROP TABLE BF_User; --\""),
    };
    for (const QString& input : inputs) {
        const QString hash = HashPassword(input);
        EXPECT_TRUE(PasswordMatches(hash, input));
        EXPECT_FALSE(PasswordMatches(hash, input + QLatin1Char('x')));
        EXPECT_TRUE(PasswordMatches(EncodePassword(input), input));
    }
}

}  // namespace
}  // namespace quorvane
