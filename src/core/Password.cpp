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

// For every code the encoding can produce, the character it stands for: single bytes 0..255
// and double bytes 0x8000..0xFFFF (the negative codes). A code counts only when its character
// encodes back to that same code, so that every decoded piece re-encodes to its digits (Big5
// has a few characters under two codes; the second code is never written).
class CodeTable {
public:
    static const CodeTable& instance() {
        static const CodeTable table;
        return table;
    }

    const QChar* single(int code) const { return lookup(single_, code); }
    const QChar* dual(int code) const { return lookup(dual_, code - 0x8000); }

private:
    struct Entry {
        bool valid = false;
        QChar character;
    };

    CodeTable() : single_(256), dual_(0x8000) {
        Conversion fromCp950("UTF-8", "CP950");
        Conversion toCp950("CP950", "UTF-8");
        const auto fill = [&](Entry& entry, const QByteArray& bytes) {
            const std::optional<QByteArray> utf8 = fromCp950.convert(bytes);
            if (!utf8) {
                return;
            }
            const QString text = QString::fromUtf8(*utf8);
            if (text.size() == 1 && cp950Bytes(toCp950, text.at(0).unicode()) == bytes) {
                entry.valid = true;
                entry.character = text.at(0);
            }
        };
        for (int code = 0; code < 256; ++code) {
            fill(single_[static_cast<std::size_t>(code)], QByteArray(1, static_cast<char>(code)));
        }
        for (int code = 0x8000; code <= 0xFFFF; ++code) {
            const char pair[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
            fill(dual_[static_cast<std::size_t>(code - 0x8000)], QByteArray(pair, 2));
        }
    }

    static const QChar* lookup(const std::vector<Entry>& entries, int index) {
        if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) {
            return nullptr;
        }
        const Entry& entry = entries[static_cast<std::size_t>(index)];
        return entry.valid ? &entry.character : nullptr;
    }

    std::vector<Entry> single_;
    std::vector<Entry> dual_;
};

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A single-byte control character (or 0x80) counts against a way of reading the digits; a
// password is typed, so of two readings the one with fewer such characters is the password.
int controlPenalty(int code) {
    return code < 32 || code >= 127 ? 1 : 0;
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
QString DecodePassword(const QString& encoded) {
    const qsizetype length = encoded.size();
    for (const QChar c : encoded) {
        if (!isDigit(c) && c != QLatin1Char('-')) {
            return {};
        }
    }
    const CodeTable& table = CodeTable::instance();
    constexpr int kImpossible = std::numeric_limits<int>::max();
    struct Choice {
        int cost = kImpossible;
        int width = 0;
        QChar character;
    };
    std::vector<Choice> best(static_cast<std::size_t>(length) + 1);
    best[static_cast<std::size_t>(length)].cost = 0;
    const auto digitsAt = [&](qsizetype from, qsizetype count, int* value) {
        if (from + count > length) {
            return false;
        }
        int number = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            if (!isDigit(encoded[i])) {
                return false;
            }
            number = number * 10 + (encoded[i].unicode() - u'0');
        }
        *value = number;
        return true;
    };

    for (qsizetype at = length - 1; at >= 0; --at) {
        Choice& choice = best[static_cast<std::size_t>(at)];
        const auto consider = [&](qsizetype width, const QChar* character, int penalty) {
            const Choice& rest = best[static_cast<std::size_t>(at + width)];
            if (character == nullptr || rest.cost == kImpossible) {
                return;
            }
            const int cost = rest.cost + penalty;
            if (cost < choice.cost) {
                choice = Choice{cost, static_cast<int>(width), *character};
            }
        };
        int value = 0;
        if (encoded[at] == QLatin1Char('-')) {
            for (qsizetype digits = 3; digits <= 5; ++digits) {
                if (at + 1 < length && encoded[at + 1] != QLatin1Char('0') &&
                    digitsAt(at + 1, digits, &value) && value <= 0x8000) {
                    consider(digits + 1, table.dual(0x10000 - value), 0);
                }
            }
            continue;
        }
        if (digitsAt(at, 2, &value)) {
            consider(2, table.single(value), controlPenalty(value));
        }
        if ((encoded[at] == QLatin1Char('1') || encoded[at] == QLatin1Char('2')) &&
            digitsAt(at, 3, &value) && value <= 255) {
            consider(3, table.single(value), controlPenalty(value));
        }
    }

    if (best[0].cost == kImpossible) {
        return {};
    }
    QString decoded;
    for (qsizetype at = 0; at < length; at += best[static_cast<std::size_t>(at)].width) {
        decoded += best[static_cast<std::size_t>(at)].character;
    }
    return decoded;
}

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
