// Renders the quota application screen on a few demo-like applications, as a child window the
// way the main window shows it, for docs/frmOR_Account.png:
//   quota_screenshot OUTPUT.png [NoAccount]
// Run it with QT_QPA_PLATFORM=offscreen (or under Xvfb).

#include "core/CurrentUser.h"
#include "db/Database.h"
#include "db/SchemaInstaller.h"
#include "quota/frmOR_Account.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

using quorvane::Database;
using quorvane::Statement;

void seed(Database& db) {
    const char* issuers[][2] = {
        {"K1", "晨曦百貨股份有限公司"},
        {"T0012", "福泰餐飲股份有限公司"},
        {"T0027", "青山書局有限公司"},
        {"M305", "海洋影城股份有限公司"},
    };
    for (const auto& issuer : issuers) {
        db.ConnExecute(Statement(
            QStringLiteral("INSERT INTO BF_Customer (NoContract, NameCompany) VALUES (?, ?)"),
            {QString::fromUtf8(issuer[0]), QString::fromUtf8(issuer[1])}));
    }
    const QVariant none(QMetaType::fromType<int>());
    const QVariant noText(QMetaType::fromType<QString>());
    struct Row {
        const char* contract;
        int item;
        int amount;
        const char* note;
        QVariant verdict;
        const char* noteVerify;
        const char* filed;
    };
    const Row rows[] = {
        {"K1", 1, 500000, "首次申請", 1, "同意", "2024-01-16 09:12:00.000"},
        {"K1", 2, 800000, "年度增加額度", 1, "同意", "2024-06-03 14:20:00.000"},
        {"K1", 3, 1200000, "年節檔期增額", none, "", "2024-12-02 10:05:00.000"},
        {"T0012", 1, 300000, "首次申請", 0, "文件不齊，請補件", "2024-03-04 11:00:00.000"},
        {"T0012", 2, 250000, "補件後重新申請", 1, "同意", "2024-03-18 16:40:00.000"},
        {"T0027", 1, 100000, "首次申請", none, "", "2024-05-21 09:30:00.000"},
    };
    for (const Row& row : rows) {
        const QString contract = QString::fromUtf8(row.contract);
        const bool approved = !row.verdict.isNull() && row.verdict.toInt() == 1;
        const bool returned = !row.verdict.isNull() && row.verdict.toInt() == 0;
        db.ConnExecute(Statement(
            QStringLiteral(
                "INSERT INTO OR_Account (NoAccount, NoContract, NoItem, Amount, NoteHandling, "
                "VerifyApprove, NoteVerify, IdUserVerifyApprove, TimeVerifyApprove, "
                "IdUserVerifyReturn, TimeVerifyReturn, Active, IdUserAddNew, TimeAddNew) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, 'CLERK', ?)"),
            {contract + QStringLiteral("-%1").arg(row.item, 2, 10, QLatin1Char('0')), contract,
             row.item, row.amount, QString::fromUtf8(row.note), row.verdict,
             QString::fromUtf8(row.noteVerify),
             approved ? QVariant(QStringLiteral("SUPER")) : noText,
             approved ? QVariant(QString::fromUtf8(row.filed)) : noText,
             returned ? QVariant(QStringLiteral("SUPER")) : noText,
             returned ? QVariant(QString::fromUtf8(row.filed)) : noText,
             QString::fromUtf8(row.filed)}));
    }
    // 356 vouchers of 1000 printed from K1's first sample.
    db.ConnExecute(Statement(
        QStringLiteral("INSERT INTO OR_TicketForm (NoTicketForm, NoContract, NoItem, AmountTicket, "
                       "VerifyApprove) VALUES ('K1-001', 'K1', 1, 1000, 1)")));
    quorvane::Transaction transaction(db);
    for (int serial = 1; serial <= 356; ++serial) {
        db.ConnExecute(
            Statement(QStringLiteral("INSERT INTO OR_TicketPrint (NoTicket, NoTicketForm, NoItem, "
                                     "NoTicketCheck, Active) VALUES (?, 'K1-001', ?, ?, 1)"),
                      {serial, serial, 4821000000000LL + serial * 7919LL}));
    }
    transaction.commit();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quota_screenshot OUTPUT.png [NoAccount]\n");
        return 2;
    }
    QLocale::setDefault(
        QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan));
    quorvane::InstallFontSubstitutions();
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("quorvane.db"));
    {
        QFile empty(file);
        empty.open(QIODevice::WriteOnly);
    }
    Database db(quorvane::ConnectionTarget::Sqlite(file));
    quorvane::SchemaInstaller::Install(db);
    seed(db);
    quorvane::SetCurrentUser(
        {QStringLiteral("SUPER"), QStringLiteral("林主管"), false, true, false});

    QMdiArea area;
    area.resize(840, 600);
    auto* screen = new quorvane::frmOR_Account(db);
    QMdiSubWindow* window = area.addSubWindow(screen);
    window->resize(window->sizeHint());
    window->move(0, 0);
    area.show();
    window->show();
    if (argc > 2) {
        screen->subFormShowRecord(QString::fromLocal8Bit(argv[2]));
    }
    if (!QTest::qWaitForWindowExposed(&area)) {
        std::fprintf(stderr, "the window was never shown\n");
        return 1;
    }
    QApplication::processEvents();
    const QPixmap picture = window->grab();
    if (!picture.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
