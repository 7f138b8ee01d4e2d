#include "core/FailureRouting.h"

#include <utility>

namespace quorvane {

namespace {

QString& exceptionTextStorage() {
    static QString text;
    return text;
}

const QString kScreenPrefix = QStringLiteral("例外程序　　　　：");

FailureHandler& handlerStorage() {
    static FailureHandler handler;
    return handler;
}

}  // namespace

const QString& ExceptionText() {
    return exceptionTextStorage();
}

void SetExceptionText(const QString& text) {
    exceptionTextStorage() = text;
}

void InstallFailureHandler(FailureHandler handler) {
    handlerStorage() = std::move(handler);
}

QString FailureDetails(const Failure* failure, const QString& location) {
    QString details;
    if (failure != nullptr) {
        details = QStringLiteral("例外編號　　　　：") + QString::number(failure->number()) +
                  QStringLiteral("\r\n") + QStringLiteral("例外描述　　　　：") +
                  failure->description() + QStringLiteral("\r\n") +
                  QStringLiteral("例外來源　　　　：") + failure->source() + QStringLiteral("\r\n");
    }
    return details + location;
}

Answer ShowException(const Failure* failure, const QString& location) {
    const FailureHandler& handler = handlerStorage();
    if (!handler) {
        return Answer::Exit;
    }
    return handler(failure, location);
}

QString ScreenLocation(const QString& procedure) {
    return kScreenPrefix + procedure + QStringLiteral("\r\n\r\n");
}

QString InitializeLocation(const QString& connection) {
    return kScreenPrefix + QStringLiteral("Initialize\r\n連線字串　　　　：") + connection +
           QStringLiteral("\r\n");
}

Procedure::Procedure(QString location) : location_(std::move(location)) {}

StepOutcome Procedure::step(const std::function<void()>& work) {
    if (left_) {
        return StepOutcome::Left;
    }
    for (;;) {
        try {
            work();
            return StepOutcome::Done;
        } catch (const Failure& failure) {
            SetExceptionText(location_);
            switch (ShowException(&failure, ExceptionText())) {
                case Answer::Retry:
                    continue;
                case Answer::Ignore:
                    return StepOutcome::Skipped;
                case Answer::Exit:
                    left_ = true;
                    return StepOutcome::Left;
            }
        }
    }
}

}  // namespace quorvane
