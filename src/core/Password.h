#pragma once

#include <QString>

namespace quorvane {

// The fewest characters (spaces around it not counted) of a password the program or
// quorvane-db stores. Passwords stored before this rule keep working until they are changed.
inline constexpr int kMinPasswordLength = 8;

// The old stored form of a password: each character's code in the Big5 code page (CP950) as a
// signed 16-bit number in decimal, at least two digits, concatenated ("abc" → "979899",
// "d" → "100", "中" → "-23388"). Characters CP950 cannot represent are taken as "?".
QString EncodePassword(const QString& text);

// The form in which the program stores every password it writes: a salted argon2id hash
// (libsodium's crypto_pwhash_str, interactive limits).
QString HashPassword(const QString& password);

// True when `typed` matches `stored`, which is either a hash of HashPassword or the old
// encoded form (compared exactly and case-sensitively); a NULL or empty stored password
// matches only the empty password.
bool PasswordMatches(const QString& stored, const QString& typed);

}  // namespace quorvane
