#include "PasswordPrompt.h"

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
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);

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
    std::fputs("\n", stderr);

    if (!read) {
        throw Failure(0, QStringLiteral("未輸入密碼，未做任何變更"), kSource);
    }
    return text;
}

}  // namespace

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

}  // namespace quorvane::tool
