// quorvane-db: creates a Quorvane database (an SQLite file or a PostgreSQL database) with its
// installation data, adds the first system administrator, and loads demo data.

#include "Commands.h"
#include "DemoData.h"
#include "Terminal.h"

#include "core/Failure.h"
#include "core/Password.h"
#include "db/SchemaInstaller.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <sodium.h>

#include <exception>

namespace {

using quorvane::ConnectionTarget;
using quorvane::Failure;
using quorvane::tool::Print;
using quorvane::tool::Shown;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const QString kHelp = QStringLiteral(
    "quorvane-db：建立與更新 Quorvane 資料庫、系統管理者與示範資料\n"
    "\n"
    "用法：\n"
    "  quorvane-db init  (--sqlite FILE | --postgres CONNINFO) [--force [--destroy-data]]\n"
    "                    [--fax NUMBER]\n"
    "  quorvane-db upgrade (--sqlite FILE | --postgres CONNINFO)\n"
    "  quorvane-db admin (--sqlite FILE | --postgres CONNINFO) --id ID [--name NAME]\n"
    "  quorvane-db demo  (--sqlite FILE | --postgres CONNINFO)\n"
    "  quorvane-db fax (--sqlite FILE | --postgres CONNINFO) [--set NUMBER]\n"
    "  quorvane-db --help\n"
    "\n"
    "命令：\n"
    "  init   建立資料表、檢視、函數與安裝資料（票卷版面、文字方向），並記錄結構版本。\n"
    "         SQLite 檔案不存在時自動建立（所在資料夾必須已存在）；資料庫已有資料表時\n"
    "         不做任何變更，除非加上 --force：刪除本系統的資料表與資料後重建。\n"
    "         --force 會先列出將刪除的資料（各資料表的筆數），並要求在終端機上輸入\n"
    "         資料庫名稱（PostgreSQL 的資料庫名稱，或 SQLite 的檔案名稱）確認；輸入其他\n"
    "         內容則不做任何變更。標準輸入不是終端機時，必須加上 --destroy-data 才會重建。\n"
    "         SQLite 檔案在重建前複製一份備份於同一資料夾（檔名如\n"
    "         quorvane.db.2026-12-11T16-30-00.bak），並印出其位置；PostgreSQL 資料庫\n"
    "         不會自動備份，請先以 pg_dump 備份。\n"
    "         不是以 init 建立的資料庫（有其他程式的資料表）一律不變更。\n"
    "         --fax 同時設定信託部傳真號碼；省略時為「%3」，請再以 fax --set 設定。\n"
    "  upgrade 將舊版程式建立的資料庫結構更新為本程式的版本（%1），保留所有資料；\n"
    "         在一個交易內完成，失敗時不做任何變更。已是最新版本時不做任何變更。\n"
    "         更新前請先備份資料庫，並請所有工作站結束系統。\n"
    "  admin  新增系統管理者帳號（僅具「系統」權限）。密碼在終端機上輸入兩次（不顯示），\n"
    "         或於標準輸入不是終端機時讀取其第一行；密碼至少 %2 個字元。\n"
    "  demo   在尚無發行業者的資料庫載入示範資料（發行業者、額度申請、票樣），並建立\n"
    "         ADMIN（系統）、CLERK（經辦）、SUPER（主管）三個帳號，隨機密碼印在標準輸出。\n"
    "  fax    顯示信託部傳真號碼（印在確認函）與最後變更者、時間；加上 --set 則變更，\n"
    "         變更者記錄為 quorvane-db 與作業系統使用者。\n"
    "\n"
    "選項：\n"
    "  --sqlite FILE        SQLite 資料庫檔案\n"
    "  --postgres CONNINFO  PostgreSQL 連線字串，例如 \"host=/run/postgresql dbname=quorvane\"\n"
    "                       （不含密碼：使用 peer、~/.pgpass 或 PGSERVICE）\n"
    "  --force              init：重建本系統既有的資料庫物件（既有資料將刪除，須確認）\n"
    "  --destroy-data       init --force：不詢問，直接同意刪除既有資料（供指令碼使用）\n"
    "  --id ID              admin：使用者帳號（轉為大寫，最多 16 個字元）\n"
    "  --name NAME          admin：使用者姓名（最多 4 個字，不可空白；省略時為「管理者」）\n"
    "  --fax NUMBER         init：信託部傳真號碼\n"
    "  --set NUMBER         fax：新的信託部傳真號碼\n"
    "                       （傳真號碼只能有數字、空白與 - ( ) #，最多 %4 個字元）\n"
    "  -h, --help           顯示本說明\n"
    "\n"
    "結束碼：0 成功；1 失敗（訊息印在標準錯誤）；2 命令列錯誤。\n");

// A mistake on the command line: reported with a pointer to the help.
struct UsageError {
    QString text;
};

[[noreturn]] void usage(const QString& text) {
    throw UsageError{text};
}

ConnectionTarget targetFrom(const QCommandLineParser& parser, const QCommandLineOption& sqlite,
                            const QCommandLineOption& postgres) {
    const bool hasSqlite = parser.isSet(sqlite);
    const bool hasPostgres = parser.isSet(postgres);
    if (hasSqlite == hasPostgres) {
        usage(QStringLiteral("請指定 --sqlite FILE 或 --postgres CONNINFO 其中之一"));
    }
    if (hasSqlite) {
        const QString file = parser.value(sqlite).trimmed();
        if (file.isEmpty()) {
            usage(QStringLiteral("--sqlite 需要資料庫檔案路徑"));
        }
        return ConnectionTarget::Sqlite(QFileInfo(file).absoluteFilePath());
    }
    const QString conninfo = parser.value(postgres).trimmed();
    if (conninfo.isEmpty()) {
        usage(QStringLiteral(
            "--postgres 需要連線字串，例如 \"host=/run/postgresql dbname=quorvane\""));
    }
    return ConnectionTarget::Postgres(conninfo);
}

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption sqlite(QStringLiteral("sqlite"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption postgres(QStringLiteral("postgres"), QString(),
                                      QStringLiteral("CONNINFO"));
    const QCommandLineOption force(QStringLiteral("force"));
    const QCommandLineOption destroyData(QStringLiteral("destroy-data"));
    const QCommandLineOption id(QStringLiteral("id"), QString(), QStringLiteral("ID"));
    const QCommandLineOption name(QStringLiteral("name"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption fax(QStringLiteral("fax"), QString(), QStringLiteral("NUMBER"));
    const QCommandLineOption set(QStringLiteral("set"), QString(), QStringLiteral("NUMBER"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({sqlite, postgres, force, destroyData, id, name, fax, set, help});
    parser.addPositionalArgument(QStringLiteral("command"), QString());

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        usage(unknown.isEmpty()
                  ? QStringLiteral("命令列有誤：") + Shown(parser.errorText())
                  : QStringLiteral("無法辨識的選項：") + Shown(unknown.join(QStringLiteral("、"))));
    }
    if (parser.isSet(help)) {
        Print(stdout, kHelp.arg(quorvane::SchemaInstaller::kSchemaVersion)
                          .arg(quorvane::kMinPasswordLength)
                          .arg(quorvane::kFaxPlaceholder)
                          .arg(quorvane::kMaxFaxNumber));
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        usage(positional.isEmpty() ? QStringLiteral("請指定命令：init、upgrade、admin、demo 或 fax")
                                   : QStringLiteral("多餘的參數：") +
                                         Shown(positional.mid(1).join(QLatin1Char(' '))));
    }
    const QString command = positional.front();
    if (command != QStringLiteral("init") && command != QStringLiteral("upgrade") &&
        command != QStringLiteral("admin") && command != QStringLiteral("demo") &&
        command != QStringLiteral("fax")) {
        usage(QStringLiteral("無法辨識的命令：") + Shown(command) +
              QStringLiteral("（可用的命令：init、upgrade、admin、demo、fax）"));
    }
    if (parser.isSet(force) && command != QStringLiteral("init")) {
        usage(QStringLiteral("--force 只能用於 init"));
    }
    if (parser.isSet(destroyData) && !parser.isSet(force)) {
        usage(QStringLiteral("--destroy-data 只能與 init --force 一起使用"));
    }
    if ((parser.isSet(id) || parser.isSet(name)) && command != QStringLiteral("admin")) {
        usage(QStringLiteral("--id 與 --name 只能用於 admin"));
    }
    if (parser.isSet(fax) && command != QStringLiteral("init")) {
        usage(QStringLiteral("--fax 只能用於 init（變更傳真號碼請用 fax --set）"));
    }
    if (parser.isSet(set) && command != QStringLiteral("fax")) {
        usage(QStringLiteral("--set 只能用於 fax"));
    }
    if (parser.isSet(fax) && parser.value(fax).trimmed().isEmpty()) {
        usage(QStringLiteral("--fax 需要傳真號碼"));
    }
    const ConnectionTarget target = targetFrom(parser, sqlite, postgres);

    if (command == QStringLiteral("init")) {
        const QString backup = quorvane::tool::InitDatabase(
            target, parser.isSet(force),
            [&](const QString& loss, const QString& databaseName) {
                quorvane::tool::ConfirmDestruction(loss, databaseName, parser.isSet(destroyData));
            },
            parser.value(fax));
        QString text = QStringLiteral("已建立資料庫結構（版本 %1）：")
                           .arg(quorvane::SchemaInstaller::kSchemaVersion) +
                       Shown(target.describe()) + QLatin1Char('\n');
        if (!backup.isEmpty()) {
            text += QStringLiteral("原資料庫檔案的備份：") + Shown(backup) + QLatin1Char('\n');
        }
        if (parser.isSet(fax)) {
            text += QStringLiteral("信託部傳真號碼：") + parser.value(fax).trimmed() +
                    QLatin1Char('\n');
        } else {
            text += QStringLiteral(
                        "信託部傳真號碼尚未設定（目前為「%1」），請以 "
                        "quorvane-db fax --set 號碼 設定\n")
                        .arg(quorvane::kFaxPlaceholder);
        }
        Print(stdout,
              text + QStringLiteral("下一步：以 quorvane-db admin --id 帳號 建立系統管理者\n"));
    } else if (command == QStringLiteral("upgrade")) {
        const int current = quorvane::SchemaInstaller::kSchemaVersion;
        const int previous = quorvane::tool::UpgradeDatabase(target);
        Print(
            stdout,
            previous == current
                ? QStringLiteral("資料庫結構已是最新版本（版本 %1），未做任何變更：").arg(current) +
                      Shown(target.describe()) + QLatin1Char('\n')
                : QStringLiteral("已將資料庫結構由版本 %1 更新為版本 %2：")
                          .arg(previous)
                          .arg(current) +
                      Shown(target.describe()) + QLatin1Char('\n'));
    } else if (command == QStringLiteral("admin")) {
        if (!parser.isSet(id)) {
            usage(QStringLiteral("admin 需要 --id ID"));
        }
        const QString userName = parser.isSet(name) ? parser.value(name) : QStringLiteral("管理者");
        const QString userId = quorvane::tool::CheckUserId(parser.value(id));
        quorvane::tool::CreateAdministrator(target, userId, userName,
                                            quorvane::tool::ReadNewPassword);
        Print(stdout, QStringLiteral("已建立系統管理者：") + userId + QStringLiteral("（") +
                          Shown(target.describe()) + QStringLiteral("）\n"));
    } else if (command == QStringLiteral("fax")) {
        const quorvane::FaxSetting setting = parser.isSet(set)
                                                 ? quorvane::tool::SetFax(target, parser.value(set))
                                                 : quorvane::tool::ShowFax(target);
        QString text = (parser.isSet(set) ? QStringLiteral("已變更信託部傳真號碼：")
                                          : QStringLiteral("信託部傳真號碼：")) +
                       Shown(setting.number) + QStringLiteral("（") + Shown(target.describe()) +
                       QStringLiteral("）\n");
        if (setting.isPlaceholder()) {
            text += QStringLiteral("尚未設定，請以 quorvane-db fax --set 號碼 設定\n");
        } else if (!setting.idUserModify.isEmpty()) {
            text += QStringLiteral("最後變更：") + Shown(setting.idUserModify) + QLatin1Char(' ') +
                    setting.timeModify.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                    QLatin1Char('\n');
        }
        Print(stdout, text);
    } else {
        const QList<quorvane::tool::Credential> credentials = quorvane::tool::LoadDemoData(target);
        QString text = QStringLiteral("已載入示範資料：") + quorvane::tool::DemoDataSummary() +
                       QStringLiteral("（") + Shown(target.describe()) + QStringLiteral("）\n\n") +
                       QStringLiteral("帳號\t權限\t密碼\n");
        for (const quorvane::tool::Credential& credential : credentials) {
            text += credential.id + QLatin1Char('\t') + credential.role + QLatin1Char('\t') +
                    credential.password + QLatin1Char('\n');
        }
        text += QStringLiteral("\n請妥善保管以上密碼；登入後可於「E4-使用者帳號設定」變更。\n");
        Print(stdout, text);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvane-db"));
    if (sodium_init() < 0) {
        Print(stderr, QStringLiteral("quorvane-db：無法初始化 libsodium 亂數產生器\n"));
        return kExitFailure;
    }
    try {
        return run(QCoreApplication::arguments());
    } catch (const UsageError& error) {
        Print(stderr, QStringLiteral("quorvane-db：") + error.text +
                          QStringLiteral("\n請執行 quorvane-db --help 查看用法\n"));
        return kExitUsage;
    } catch (const Failure& failure) {
        QString text = QStringLiteral("quorvane-db：") + failure.description() + QLatin1Char('\n');
        // A failed statement names its driver and statement in the source; show it too.
        if (dynamic_cast<const quorvane::DatabaseFailure*>(&failure) != nullptr &&
            failure.source().contains(QStringLiteral("："))) {
            text += QStringLiteral("（") + failure.source() + QStringLiteral("）\n");
        }
        Print(stderr, text);
        return kExitFailure;
    } catch (const std::exception& error) {
        Print(stderr, QStringLiteral("quorvane-db：") + QString::fromLocal8Bit(error.what()) +
                          QLatin1Char('\n'));
        return kExitFailure;
    }
}
