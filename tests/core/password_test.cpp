#include "core/Password.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <random>
#include <vector>

namespace quorvane {
namespace {

// The Big5 characters of glibc's CP950 table, found by decoding every double-byte code
// independently of the code under test. Characters that come back under another code
// (Big5's duplicates) are left out, so each entry has exactly one code.
std::vector<QString> Big5Characters() {
    std::vector<QString> characters;
    iconv_t fromCp950 = iconv_open("UTF-8", "CP950");
    iconv_t toCp950 = iconv_open("CP950", "UTF-8");
    if (fromCp950 == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1)) ||
        toCp950 == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))) {
        ADD_FAILURE() << "iconv has no CP950";
        return characters;
    }
    const auto run = [](iconv_t cd, const QByteArray& in) -> QByteArray {
        char* input = const_cast<char*>(in.constData());
        std::size_t inputLeft = static_cast<std::size_t>(in.size());
        char buffer[16];
        char* output = buffer;
        std::size_t outputLeft = sizeof buffer;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &input, &inputLeft, &output, &outputLeft) != 0 || inputLeft != 0) {
            return {};
        }
        return QByteArray(buffer, static_cast<qsizetype>(output - buffer));
    };
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const QByteArray bytes(pair, 2);
            const QByteArray utf8 = run(fromCp950, bytes);
            const QString text = QString::fromUtf8(utf8);
            if (text.size() == 1 && run(toCp950, utf8) == bytes) {
                characters.push_back(text);
            }
        }
    }
    iconv_close(fromCp950);
    iconv_close(toCp950);
    return characters;
}

const std::vector<QString>& Big5() {
    static const std::vector<QString> characters = Big5Characters();
    return characters;
}

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

TEST(DecodePassword, ReadsBackWhatEncodeWrote) {
    const QString texts[] = {
        QStringLiteral("abc"),        QStringLiteral("d"),      QStringLiteral("中"),
        QStringLiteral("PassWord 1"), QStringLiteral("~~~d}|"), QStringLiteral("d中d中dd"),
        QStringLiteral("中文測試"),   QStringLiteral("a b"),    QStringLiteral("1234567890"),
        QStringLiteral("-"),          QStringLiteral("-1600"),  QStringLiteral("'\" = ; #"),
    };
    for (const QString& text : texts) {
        EXPECT_EQ(DecodePassword(EncodePassword(text)), text) << text.toStdString();
    }
}

// Inputs that are not the output of EncodePassword, and digit strings with more than one
// reading.
TEST(DecodePassword, ResolvesOrRefusesDoubtfulDigits) {
    const struct {
        QString encoded;
        QString decoded;
    } cases[] = {
        {QString(), QString()},
        {QStringLiteral("9"), QString()},  // a lone digit is no code
        {QStringLiteral("97 98"), QString()},
        {QStringLiteral("9798x"), QString()},
        {QStringLiteral("-"), QString()},
        {QStringLiteral("97-"), QString()},
        {QStringLiteral("-0258"), QString()},   // leading zero: never written
        {QStringLiteral("-99999"), QString()},  // beyond 16 bits
        {QStringLiteral("-32769"), QString()},
        {QStringLiteral("256"), QString()},
        // FEFE (-258) lies in the user-defined rows, which CP950 leaves unmapped, and so does
        // 9AD7 (-25897): neither reading exists.
        {QStringLiteral("-25897"), QString()},
        // A2CC (-23860) is Big5's second code of 十, which is always written as A451 (-23471).
        {QStringLiteral("-23860"), QString()},
        {QStringLiteral("-23471"), QStringLiteral("十")},
        // "12" + "0" or "120": only the second is complete.
        {QStringLiteral("120"), QStringLiteral("x")},
        // "10" + "09" (LF, TAB) or "100" + "9" (incomplete): control characters are decoded
        // when they are the only reading.
        {QStringLiteral("1009"), QStringLiteral("\n\t")},
        // "100" + "65" ("dA") or "10" + "06" + "5" (incomplete).
        {QStringLiteral("10065"), QStringLiteral("dA")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodePassword(c.encoded), c.decoded) << c.encoded.toStdString();
    }
    // "-1600" + "65" + "123" (F9C0, "A{") against "-16006" + "51" + "23" (C17A, "3", ETB):
    // both read completely; the reading without control characters is the password.
    const QString f9c0 = DecodePassword(QStringLiteral("-1600"));
    const QString c17a = DecodePassword(QStringLiteral("-16006"));
    ASSERT_EQ(f9c0.size(), 1);
    ASSERT_EQ(c17a.size(), 1);
    EXPECT_EQ(DecodePassword(QStringLiteral("-160065123")), f9c0 + QStringLiteral("A{"));
    // "-16006" + "51" + "100" (C17A, "3d") against "-1600" + "65" + "11" + "00" (F9C0, "A", VT,
    // NUL): here the password is the reading with the longer double-byte code.
    ASSERT_EQ(EncodePassword(c17a + QStringLiteral("3d")), QStringLiteral("-1600651100"));
    EXPECT_EQ(DecodePassword(QStringLiteral("-1600651100")), c17a + QStringLiteral("3d"));
}

// A double-byte character whose code, followed by the digits of the next character, also
// reads as a longer code: the decoder must still find the password.
TEST(DecodePassword, KeepsEveryBig5CharacterBeforeDigitsThatCouldExtendIt) {
    ASSERT_GT(Big5().size(), 13000u);
    const QString followers[] = {QStringLiteral(" "), QStringLiteral("0"), QStringLiteral("A"),
                                 QStringLiteral("d"), QStringLiteral("x"), QStringLiteral("~"),
                                 QStringLiteral("9z")};
    int failures = 0;
    for (const QString& character : Big5()) {
        for (const QString& follower : followers) {
            const QString password = character + follower;
            if (DecodePassword(EncodePassword(password)) != password && ++failures <= 10) {
                ADD_FAILURE() << "lost " << password.toStdString() << " ("
                              << EncodePassword(password).toStdString() << ")";
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(DecodePassword, RoundTripsRandomPrintablePasswords) {
    ASSERT_FALSE(Big5().empty());
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> length(1, 24);
    std::uniform_int_distribution<int> kind(0, 2);  // one in three characters is Big5
    std::uniform_int_distribution<int> ascii(32, 126);
    std::uniform_int_distribution<std::size_t> big5(0, Big5().size() - 1);
    int failures = 0;
    for (int round = 0; round < 20000; ++round) {
        QString password;
        const int size = length(random);
        for (int i = 0; i < size; ++i) {
            if (kind(random) == 0) {
                password += Big5()[big5(random)];
            } else {
                password += QChar(static_cast<char16_t>(ascii(random)));
            }
        }
        const QString encoded = EncodePassword(password);
        if (DecodePassword(encoded) != password && ++failures <= 10) {
            ADD_FAILURE() << "lost " << password.toStdString() << " (" << encoded.toStdString()
                          << ")";
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(DecodePassword, SurvivesLongAndHostileInput) {
    const QString longPassword(10000, QLatin1Char('d'));
    EXPECT_EQ(DecodePassword(EncodePassword(longPassword)), longPassword);
    // Very many ways to read the same digits: one of them, or none at all, must be found
    // without trying them one by one.
    const QString ones(20000, QLatin1Char('1'));
    EXPECT_EQ(EncodePassword(DecodePassword(ones)), ones);
    EXPECT_EQ(DecodePassword(ones + QLatin1Char('-')), QString());
    // Control characters have no single reading ("10" "27" "127" is also "102" "71" "27"), but
    // whatever is read encodes back to the same digits.
    const QString controls = QStringLiteral("\x01\x02\r\n\x1b\x7f");
    const QString decoded = DecodePassword(EncodePassword(controls));
    EXPECT_FALSE(decoded.isEmpty());
    EXPECT_EQ(EncodePassword(decoded), EncodePassword(controls));
    EXPECT_EQ(DecodePassword(QString(10000, QLatin1Char('-'))), QString());
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
