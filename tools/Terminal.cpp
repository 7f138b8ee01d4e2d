#include "Terminal.h"

#include "core/Failure.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

#include <termios.h>
#include <unistd.h>

namespace quorvane::tool {

namespace {

const QString kSource = QStringLiteral("quorvane-db");

QString escapeControls(const QString& text, bool keepLayout) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (keepLayout && (c == QLatin1Char('\n') || c == QLatin1Char('\t'))) {
            out += c;
        } else if (keepLayout && c == QLatin1Char('\r') && i + 1 < text.size() &&
                   text.at(i + 1) == QLatin1Char('\n')) {
            // The line feed that follows ends the line.
        } else if (c.category() == QChar::Other_Control) {
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}

// The terminal's settings while echo is off, so that an interrupt can restore them.
struct termios savedTerminal;
volatile std::sig_atomic_t echoOff = 0;

void restoreAndExit(int signal) {
    if (echoOff != 0) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    }
    _exit(128 + signal);
}

bool readLine(QString& text) {
    std::string line;
    if (!std::getline(std::cin, line)) {
        return false;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    text = QString::fromLocal8Bit(line.data(), static_cast<qsizetype>(line.size()));
    return true;
}

QString askHidden(const QString& prompt) {
    Print(stderr, prompt);

    if (tcgetattr(STDIN_FILENO, &savedTerminal) != 0) {
        throw Failure(0, QStringLiteral("無法設定終端機，無法輸入密碼"), kSource);
    }
    struct termios hidden = savedTerminal;
    hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    hidden.c_lflag |= ICANON;
    auto* previousInt = std::signal(SIGINT, restoreAndExit);
    auto* previousTerm = std::signal(SIGTERM, restoreAndExit);
    echoOff = 1;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);

    QString text;
    const bool read = readLine(text);

    tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    echoOff = 0;
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    Print(stderr, QStringLiteral("\n"));

    if (!read) {
        throw Failure(0, QStringLiteral("未輸入密碼，未做任何變更"), kSource);
    }
    return text;
}

}  // namespace

QString Shown(const QString& text) {
    return escapeControls(text, false);
}

void Print(std::FILE* stream, const QString& text) {
    std::fputs(escapeControls(text, true).toUtf8().constData(), stream);
    std::fflush(stream);
}

QString ReadNewPassword() {
    if (isatty(STDIN_FILENO) == 0) {
        QString text;
        if (!readLine(text)) {
            throw Failure(
                0, QStringLiteral("標準輸入沒有密碼，未做任何變更（請由標準輸入提供一行密碼）"),
                kSource);
        }
        return text;
    }
    const QString first = askHidden(QStringLiteral("請輸入密碼："));
    const QString second = askHidden(QStringLiteral("請再輸入一次密碼："));
    if (first != second) {
        throw Failure(0, QStringLiteral("兩次輸入的密碼不一致，未做任何變更"), kSource);
    }
    return first;
}

void ConfirmDestruction(const QString& loss, const QString& name, bool allowed) {
    Print(stderr, loss);
    if (allowed) {
        return;
    }
    if (isatty(STDIN_FILENO) == 0) {
        throw Failure(0,
                      QStringLiteral("標準輸入不是終端機，無法確認，未做任何變更。\n"
                                     "若確定要刪除以上資料，請加上 --destroy-data"),
                      kSource);
    }
    Print(stderr, QStringLiteral("確定要刪除以上資料，請輸入資料庫名稱「") + Shown(name) +
                      QStringLiteral("」（輸入其他內容則不做任何變更）："));
    QString answer;
    if (!readLine(answer)) {
        throw Failure(0, QStringLiteral("\n未輸入資料庫名稱，未做任何變更"), kSource);
    }
    if (answer.trimmed() != name) {
        throw Failure(0,
                      QStringLiteral("輸入的名稱與資料庫名稱「") + Shown(name) +
                          QStringLiteral("」不符，未做任何變更"),
                      kSource);
    }
}

}  // namespace quorvane::tool
