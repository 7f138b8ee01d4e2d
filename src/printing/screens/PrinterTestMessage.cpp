#include "printing/screens/PrinterTestMessage.h"

#include "printing/rules/PrinterAccess.h"
#include "ui/Dialogs.h"

namespace quorvane {

void ShowPrinterTest() {
    const PrinterTest test = TestPrinterQueue();
    const QString crLf = QStringLiteral("\r\n");
    const QString heading = test.passed() ? QStringLiteral("印表機測試成功")
                                          : QStringLiteral("印表機測試不正常") + crLf + crLf +
                                                QStringLiteral("請檢查印表機");
    const QString text = heading + crLf + crLf + crLf + QStringLiteral("裝置名稱　：") +
                         test.printer.name + crLf + QStringLiteral("連接埠位置：") +
                         test.printer.port + crLf + QStringLiteral("待列印文件：") +
                         QString::number(test.jobs);
    AppDialogs().message(test.passed() ? Dialogs::Icon::Information : Dialogs::Icon::Warning,
                         QStringLiteral("印表機測試"), text);
}

}  // namespace quorvane
