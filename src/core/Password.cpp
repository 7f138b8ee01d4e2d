#include "core/Password.h"

#include "core/Failure.h"

#include <QByteArray>

#include <iconv.h>
#include <sodium.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace quorvane {

namespace {

const QString kSource = QStringLiteral("modPassword");

// One glibc iconv conversion, used for one character at a time.
class Conversion {
public:
    Conversion(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == invalid()) {
            throw Failure(errno, QStringLiteral("無法使用 Big5 字碼頁（iconv CP950）"), kSource);
        }
    }
    ~Conversion() { iconv_close(handle_); }
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    // The converted bytes of `in`, or nothing when any part of it cannot be converted.
    std::optional<QByteArray> convert(const QByteArray& in) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* input = const_cast<char*>(in.constData());
        std::size_t inputLeft = static_cast<std::size_t>(in.size());
        std::array<char, 16> buffer{};
        char* output = buffer.data();
        std::size_t outputLeft = buffer.size();
        const std::size_t result = iconv(handle_, &input, &inputLeft, &output, &outputLeft);
        // A positive result counts characters replaced by approximations: not this character.
        if (result != 0 || inputLeft != 0) {
            return std::nullopt;
        }
        if (iconv(handle_, nullptr, nullptr, &output, &outputLeft) == failed()) {
            return std::nullopt;
        }
        return QByteArray(buffer.data(), static_cast<qsizetype>(output - buffer.data()));
    }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1)); }
    static std::size_t failed() { return static_cast<std::size_t>(-1); }

    iconv_t handle_;
};

// The code page bytes of one UTF-16 unit: one or two bytes, or "?" for a character CP950
// does not have (a lone surrogate, as half of a character outside the BMP, is one of them).
QByteArray cp950Bytes(Conversion& toCp950, char16_t unit) {
    const QByteArray unknown(1, '?');
    if (QChar::isSurrogate(unit)) {
        return unknown;
    }
    const std::optional<QByteArray> bytes = toCp950.convert(QString(QChar(unit)).toUtf8());
    if (!bytes || bytes->isEmpty() || bytes->size() > 2) {
        return unknown;
    }
    return *bytes;
}

// The signed 16-bit code of one or two code page bytes.
int codeOf(const QByteArray& bytes) {
    const auto byte = [&](int i) { return static_cast<int>(static_cast<unsigned char>(bytes[i])); };
    if (bytes.size() == 1) {
        return byte(0);
    }
    const int code = byte(0) * 256 + byte(1);
    return code >= 0x8000 ? code - 0x10000 : code;
}

QString codeText(int code) {
    if (code >= 0 && code < 10) {
        return QLatin1Char('0') + QString::number(code);
    }
    return QString::number(code);
}

void ensureSodium() {
    static const int state = sodium_init();
    if (state < 0) {
        throw Failure(0, QStringLiteral("無法初始化密碼雜湊程式庫（libsodium）"), kSource);
    }
}

}  // namespace

QString EncodePassword(const QString& text) {
    if (text.isEmpty()) {
        return {};
    }
    Conversion toCp950("CP950", "UTF-8");
    QString encoded;
    encoded.reserve(text.size() * 3);
    for (const QChar c : text) {
        encoded += codeText(codeOf(cp950Bytes(toCp950, c.unicode())));
    }
    return encoded;
}

// The digits are read back into codes by dynamic programming from the end: for each position,
// the cheapest way to read the rest, where a reading costs one for each control character it
// contains. A code is "-" and 3 to 5 digits (no leading zero) standing for a double-byte
// character, or two digits, or three digits from 100 to 255; every code must be one that
// EncodePassword writes. Among readings of equal cost the one with the shorter code at the
// earliest position where they differ wins; digits with no reading at all decode to the empty
// text.
//
// A password of printable characters (ASCII 32..126 and double-byte characters) has exactly
// one reading without control characters, so it is decoded exactly. Its printable ASCII codes
// can be split only one way from any starting point (a code starting with "1" has three
// digits, one starting with 3..9 two, none starts with 0 or 2), and two such splits that
// start one digit apart never meet again; CP950's double-byte codes all have four or five
// digits (its user-defined rows, whose codes would have three, are not mapped), so the only
// doubt, where a double-byte code ends, always leaves two splits one digit apart.
QString HashPassword(const QString& password) {
    ensureSodium();
    const QByteArray bytes = password.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(
            hash, bytes.constData(), static_cast<unsigned long long>(bytes.size()),
            crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE,
            crypto_pwhash_ALG_ARGON2ID13) != 0) {
        throw Failure(0, QStringLiteral("密碼雜湊失敗（記憶體不足）"), kSource);
    }
    return QString::fromLatin1(hash);
}

bool PasswordMatches(const QString& stored, const QString& typed) {
    if (stored.startsWith(QStringLiteral("$argon2id$"))) {
        ensureSodium();
        const QByteArray hash = stored.toUtf8();
        if (hash.size() >= static_cast<qsizetype>(crypto_pwhash_STRBYTES)) {
            return false;
        }
        const QByteArray bytes = typed.toUtf8();
        return crypto_pwhash_str_verify(hash.constData(), bytes.constData(),
                                        static_cast<unsigned long long>(bytes.size())) == 0;
    }
    return stored == EncodePassword(typed);
}

}  // namespace quorvane
