#include "core/Password.h"
#include "db/Database.h"
#include "db/InstallationSettings.h"
#include "db/SchemaInstaller.h"
#include "support/SilentServer.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvane {
namespace {

using test::Backend;
using test::ScratchDatabase;

constexpr int kToolWaitMs = 120000;  // a guard against a hung tool, not a timing check

struct ToolRun {
    int exitCode = -1;
    bool crashed = true;
    QString out;
    QString err;
};

// Runs quorvane-db with `input` on standard input (closed afterwards, so it is no terminal).
ToolRun runTool(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess process;
    process.start(QStringLiteral(QUORVANE_DB_TOOL), arguments);
    ToolRun run;
    if (!process.waitForStarted()) {
        run.err = QStringLiteral("cannot start ") + QStringLiteral(QUORVANE_DB_TOOL);
        return run;
    }
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(kToolWaitMs)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("quorvane-db did not finish");
        return run;
    }
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Runs quorvane-db on a pseudo-terminal, as an administrator at a terminal would: `answer` is
// typed once `prompt` has appeared. Standard output and error both go to the terminal, so
// `out` holds everything it showed (with LF line ends).
ToolRun runToolOnTerminal(const QStringList& arguments, const QString& prompt,
                          const QByteArray& answer) {
    std::vector<std::string> words{QUORVANE_DB_TOOL};
    for (const QString& argument : arguments) {
        words.push_back(argument.toStdString());
    }
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    ToolRun run;
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid < 0) {
        run.err = QStringLiteral("cannot open a pseudo-terminal");
        return run;
    }
    if (pid == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    const QByteArray wanted = prompt.toUtf8();
    QByteArray shown;
    bool answered = false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kToolWaitMs) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(kToolWaitMs - clock.elapsed())) <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t count = read(terminal, buffer, sizeof buffer);
        if (count <= 0) {
            break;  // the tool has ended and closed the terminal
        }
        shown.append(buffer, count);
        if (!answered && shown.contains(wanted)) {
            answered = true;
            if (write(terminal, answer.constData(), static_cast<size_t>(answer.size())) < 0) {
                break;
            }
        }
    }
    if (clock.elapsed() >= kToolWaitMs) {
        kill(pid, SIGKILL);
        run.err = QStringLiteral("quorvane-db did not finish");
    }
    close(terminal);
    int status = 0;
    waitpid(pid, &status, 0);
    run.crashed = !WIFEXITED(status);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = QString::fromUtf8(shown).remove(QLatin1Char('\r'));
    return run;
}

std::string describe(const ToolRun& run) {
    return QStringLiteral("exit %1%2\nstdout: %3\nstderr: %4")
        .arg(run.exitCode)
        .arg(run.crashed ? QStringLiteral(" (crashed)") : QString())
        .arg(run.out, run.err)
        .toStdString();
}

std::unique_ptr<Database> connect(const ConnectionTarget& target) {
    return std::make_unique<Database>(target, test::UniqueConnectionName());
}

qint64 rowCount(const ConnectionTarget& target, const QString& table) {
    return connect(target)->LookupInt64(
        Statement(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)));
}

// The rows of every table of the program's data: all of the schema's tables but its fixed
// installation data (text directions) and the schema version.
QMap<QString, qint64> dataRows(const ConnectionTarget& target) {
    const std::unique_ptr<Database> db = connect(target);
    const QString sql = db->dialect().isSqlite()
                            ? QStringLiteral(
                                  "SELECT name FROM sqlite_master WHERE type = 'table' "
                                  "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'")
                            : QStringLiteral(
                                  "SELECT table_name FROM information_schema.tables WHERE "
                                  "table_schema = current_schema() AND table_type = 'BASE TABLE'");
    QStringList tables;
    {
        UnitOfWork unit(*db);
        QSqlQuery query = db->Query(Statement(sql));
        while (query.next()) {
            tables.append(query.value(0).toString());
        }
    }
    QMap<QString, qint64> rows;
    for (const QString& table : tables) {
        const QString lower = table.toLower();
        if (lower != QStringLiteral("vba_msotextorientation") &&
            lower != QStringLiteral("sys_schemaversion")) {
            rows.insert(lower, rowCount(target, table));
        }
    }
    return rows;
}

// True when the text holds a control character other than line feeds and tabs.
bool hasControlCharacter(const QString& text) {
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control && c != QLatin1Char('\n') &&
            c != QLatin1Char('\t')) {
            return true;
        }
    }
    return false;
}

QStringList backupsBeside(const QString& file) {
    return QFileInfo(file).dir().entryList({QFileInfo(file).fileName() + QStringLiteral(".*.bak")},
                                           QDir::Files);
}

// ---- Both backends ----------------------------------------------------------------------

class ToolTest : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override { scratch_ = std::make_unique<ScratchDatabase>(GetParam()); }
    void TearDown() override { scratch_.reset(); }

    const ConnectionTarget& target() const { return scratch_->target(); }
    QStringList on(const QString& command, const QStringList& more = {}) const {
        const bool sqlite = GetParam() == Backend::Sqlite;
        return QStringList{command,
                           sqlite ? QStringLiteral("--sqlite") : QStringLiteral("--postgres"),
                           target().location()} +
               more;
    }
    void init() {
        const ToolRun run = runTool(on(QStringLiteral("init")));
        ASSERT_EQ(run.exitCode, 0) << describe(run);
    }

    std::unique_ptr<ScratchDatabase> scratch_;
};

TEST_P(ToolTest, InitInstallsOnceAndForceRebuilds) {
    const ToolRun first = runTool(on(QStringLiteral("init")));
    ASSERT_EQ(first.exitCode, 0) << describe(first);
    EXPECT_EQ(SchemaInstaller::InstalledVersion(*connect(target())),
              SchemaInstaller::kSchemaVersion);
    connect(target())->ConnExecute(Statement(
        QStringLiteral("INSERT INTO BF_Customer (NoContract) VALUES (?)"), {QStringLiteral("K1")}));

    const ToolRun second = runTool(on(QStringLiteral("init")));
    EXPECT_EQ(second.exitCode, 1) << describe(second);
    EXPECT_FALSE(second.crashed);
    EXPECT_TRUE(second.err.contains(QStringLiteral("--force"))) << describe(second);
    EXPECT_TRUE(second.err.contains(QStringLiteral("未做任何變更"))) << describe(second);
    EXPECT_EQ(rowCount(target(), QStringLiteral("BF_Customer")), 1);

    const ToolRun forced = runTool(
        on(QStringLiteral("init"), {QStringLiteral("--force"), QStringLiteral("--destroy-data")}));
    EXPECT_EQ(forced.exitCode, 0) << describe(forced);
    EXPECT_EQ(rowCount(target(), QStringLiteral("BF_Customer")), 0);
    EXPECT_EQ(rowCount(target(), QStringLiteral("ST_TicketPrintTemplate")), 12);
}

TEST_P(ToolTest, ForcedInitDestroysDataOnlyOnceConfirmed) {
    init();
    const QString folder = QFileInfo(target().location()).absolutePath();
    // A workstation still logged in.
    const std::unique_ptr<Database> workstation = connect(target());
    const QString name =
        GetParam() == Backend::Sqlite
            ? QStringLiteral("quorvane.db")
            : workstation->LookupText(Statement(QStringLiteral("SELECT current_database()")));
    const QString prompt = QStringLiteral("請輸入資料庫名稱");

    struct Attempt {
        const char* name;
        bool terminal;
        QByteArray typed;
        bool destroyData;
        bool destroys;
        const char* message;  // besides the list of what would be lost
    };
    const Attempt attempts[] = {
        {"no terminal and no --destroy-data", false, {}, false, false, "--destroy-data"},
        {"another name typed", true, "quorvane\n", false, false, "不符"},
        {"end of input at the prompt", true, "\x04", false, false, "未輸入資料庫名稱"},
        {"the database's name typed", true, name.toUtf8() + "\n", false, true, "已建立資料庫結構"},
        {"--destroy-data", false, {}, true, true, "已建立資料庫結構"},
    };
    for (const Attempt& attempt : attempts) {
        SCOPED_TRACE(attempt.name);
        if (rowCount(target(), QStringLiteral("BF_Customer")) == 0) {
            const ToolRun demo = runTool(on(QStringLiteral("demo")));
            ASSERT_EQ(demo.exitCode, 0) << describe(demo);
        }
        const QMap<QString, qint64> before = dataRows(target());
        ASSERT_GT(before.value(QStringLiteral("bf_customer")), 0);
        ASSERT_GT(before.value(QStringLiteral("or_account")), 0);
        const QStringList backupsBefore = backupsBeside(target().location());

        QStringList arguments = on(QStringLiteral("init"), {QStringLiteral("--force")});
        if (attempt.destroyData) {
            arguments.append(QStringLiteral("--destroy-data"));
        }
        const ToolRun run = attempt.terminal ? runToolOnTerminal(arguments, prompt, attempt.typed)
                                             : runTool(arguments);
        const QString shown = run.out + run.err;
        EXPECT_FALSE(run.crashed) << describe(run);
        EXPECT_TRUE(shown.contains(QString::fromUtf8(attempt.message))) << describe(run);
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            EXPECT_TRUE(shown.toLower().contains(
                QStringLiteral("（%1）：%2 筆").arg(it.key()).arg(it.value())))
                << it.key().toStdString() << "\n"
                << describe(run);
        }
        if (GetParam() == Backend::Postgres) {
            EXPECT_TRUE(shown.contains(QRegularExpression(QStringLiteral("另有 \\d+ 個連線"))))
                << describe(run);
        }

        if (!attempt.destroys) {
            EXPECT_EQ(run.exitCode, 1) << describe(run);
            EXPECT_EQ(dataRows(target()), before);
            EXPECT_EQ(backupsBeside(target().location()), backupsBefore);
            continue;
        }
        EXPECT_EQ(run.exitCode, 0) << describe(run);
        EXPECT_EQ(rowCount(target(), QStringLiteral("BF_Customer")), 0);
        EXPECT_EQ(rowCount(target(), QStringLiteral("BF_User")), 0);
        EXPECT_EQ(SchemaInstaller::InstalledVersion(*connect(target())),
                  SchemaInstaller::kSchemaVersion);
        if (GetParam() == Backend::Sqlite) {
            const QRegularExpressionMatch match =
                QRegularExpression(QStringLiteral("原資料庫檔案的備份：(.+\\.bak)$"),
                                   QRegularExpression::MultilineOption)
                    .match(shown);
            ASSERT_TRUE(match.hasMatch()) << describe(run);
            const QString backup = match.captured(1);
            EXPECT_EQ(QFileInfo(backup).absolutePath(), folder);
            EXPECT_EQ(dataRows(ConnectionTarget::Sqlite(backup)), before);
        }
    }
}

// A database holding another program's tables is neither rebuilt nor added to, whatever the
// options; an SQLite file is not even opened for writing.
TEST_P(ToolTest, ADatabaseOfAnotherProgramIsNeverChanged) {
    const QStringList statements = {QStringLiteral("CREATE TABLE Notes (Body TEXT)"),
                                    QStringLiteral("INSERT INTO Notes VALUES ('keep me')")};
    if (GetParam() == Backend::Sqlite) {
        // Written the way another program would: a rollback-journal file.
        const QString name = test::UniqueConnectionName();
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            other.setDatabaseName(target().location());
            ASSERT_TRUE(other.open());
            for (const QString& sql : statements) {
                ASSERT_TRUE(QSqlQuery(other).exec(sql)) << sql.toStdString();
            }
            other.close();
        }
        QSqlDatabase::removeDatabase(name);
    } else {
        for (const QString& sql : statements) {
            connect(target())->ConnExecute(Statement(sql));
        }
    }
    const QDir folder = QFileInfo(target().location()).dir();
    const QStringList files = folder.entryList(QDir::Files);
    auto bytes = [&] {
        QFile file(target().location());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray contents = GetParam() == Backend::Sqlite ? bytes() : QByteArray();

    const QStringList attempts[] = {
        on(QStringLiteral("init")),
        on(QStringLiteral("init"), {QStringLiteral("--force")}),
        on(QStringLiteral("init"), {QStringLiteral("--force"), QStringLiteral("--destroy-data")}),
        on(QStringLiteral("admin"), {QStringLiteral("--id"), QStringLiteral("ROOT")}),
        on(QStringLiteral("demo")),
    };
    for (const QStringList& arguments : attempts) {
        const ToolRun run = runTool(arguments, "secret\n");
        EXPECT_EQ(run.exitCode, 1) << describe(run);
        EXPECT_TRUE(run.err.contains(QStringLiteral("不是以 quorvane-db init 建立")))
            << describe(run);
    }
    if (GetParam() == Backend::Sqlite) {
        EXPECT_EQ(bytes(), contents);
        EXPECT_EQ(folder.entryList(QDir::Files), files);
    }
    EXPECT_EQ(connect(target())->LookupText(Statement(QStringLiteral("SELECT Body FROM Notes"))),
              QStringLiteral("keep me"));
    EXPECT_EQ(SchemaInstaller::InstalledVersion(*connect(target())), 0);
}

TEST_P(ToolTest, AdminStoresAHashedSystemAccountOnce) {
    init();
    const ToolRun run =
        runTool(on(QStringLiteral("admin"), {QStringLiteral("--id"), QStringLiteral(" root "),
                                             QStringLiteral("--name"), QStringLiteral("王小明")}),
                "  Secret 9  \n");
    ASSERT_EQ(run.exitCode, 0) << describe(run);

    {
        const std::unique_ptr<Database> db = connect(target());
        UnitOfWork unit(*db);
        QSqlQuery query = db->Query(Statement(QStringLiteral(
            "SELECT IdUser, PWD, NameUser, PMI_System, PMI_Handling, PMI_Verify, IdUserAddNew, "
            "TimeAddNew FROM BF_User")));
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toString(), QStringLiteral("ROOT"));
        const QString stored = query.value(1).toString();
        EXPECT_NE(stored, QStringLiteral("Secret 9"));
        EXPECT_TRUE(PasswordMatches(stored, QStringLiteral("Secret 9")));
        EXPECT_FALSE(PasswordMatches(stored, QStringLiteral("secret 9")));
        EXPECT_EQ(query.value(2).toString(), QStringLiteral("王小明"));
        EXPECT_EQ(query.value(3).toInt(), 1);
        EXPECT_EQ(query.value(4).toInt(), 0);
        EXPECT_EQ(query.value(5).toInt(), 0);
        EXPECT_EQ(query.value(6).toString(), QStringLiteral("ROOT"));
        EXPECT_TRUE(Dialect::readTime(query.value(7)).isValid());
        EXPECT_FALSE(query.next());
    }

    const ToolRun duplicate = runTool(
        on(QStringLiteral("admin"), {QStringLiteral("--id"), QStringLiteral("Root")}), "other\n");
    EXPECT_EQ(duplicate.exitCode, 1) << describe(duplicate);
    EXPECT_TRUE(duplicate.err.contains(QStringLiteral("已存在"))) << describe(duplicate);
    EXPECT_TRUE(duplicate.err.contains(QStringLiteral("ROOT"))) << describe(duplicate);
    EXPECT_EQ(rowCount(target(), QStringLiteral("BF_User")), 1);
}

TEST_P(ToolTest, DemoLoadsOnceAndPrintsWorkingCredentials) {
    init();
    const ToolRun run = runTool(on(QStringLiteral("demo")));
    ASSERT_EQ(run.exitCode, 0) << describe(run);

    const std::unique_ptr<Database> db = connect(target());
    const QRegularExpression line(QStringLiteral("^(ADMIN|CLERK|SUPER)\\t[^\\t]+\\t([a-z0-9]{8})$"),
                                  QRegularExpression::MultilineOption);
    QSet<QString> seen;
    for (auto it = line.globalMatch(run.out); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString id = match.captured(1);
        seen.insert(id);
        UnitOfWork unit(*db);
        QSqlQuery query = db->Query(
            Statement(QStringLiteral("SELECT PWD, PMI_System, PMI_Handling, PMI_Verify FROM "
                                     "BF_User WHERE IdUser = ?"),
                      {id}));
        ASSERT_TRUE(query.next()) << id.toStdString();
        EXPECT_TRUE(PasswordMatches(query.value(0).toString(), match.captured(2)))
            << id.toStdString();
        EXPECT_EQ(query.value(1).toInt(), id == QStringLiteral("ADMIN") ? 1 : 0);
        EXPECT_EQ(query.value(2).toInt(), id == QStringLiteral("CLERK") ? 1 : 0);
        EXPECT_EQ(query.value(3).toInt(), id == QStringLiteral("SUPER") ? 1 : 0);
    }
    EXPECT_EQ(seen, (QSet<QString>{QStringLiteral("ADMIN"), QStringLiteral("CLERK"),
                                   QStringLiteral("SUPER")}))
        << describe(run);

    EXPECT_GE(rowCount(target(), QStringLiteral("BF_Customer")), 3);
    {
        UnitOfWork unit(*db);
        QSqlQuery applications = db->Query(Statement(
            QStringLiteral("SELECT NoAccount, NoContract, NoItem, VerifyApprove FROM OR_Account")));
        QSet<QString> verdicts;
        while (applications.next()) {
            EXPECT_EQ(applications.value(0).toString(),
                      applications.value(1).toString() + QStringLiteral("-") +
                          QStringLiteral("%1").arg(applications.value(2).toInt(), 2, 10,
                                                   QLatin1Char('0')));
            verdicts.insert(applications.value(3).isNull() ? QStringLiteral("未核")
                                                           : applications.value(3).toString());
        }
        EXPECT_EQ(verdicts, (QSet<QString>{QStringLiteral("未核"), QStringLiteral("0"),
                                           QStringLiteral("1")}));

        QSqlQuery samples = db->Query(Statement(QStringLiteral(
            "SELECT NoTicketForm, NoContract, NoItem, NameFileTemplate, VerifyApprove "
            "FROM OR_TicketForm")));
        int approved = 0;
        int other = 0;
        while (samples.next()) {
            const QString number = samples.value(0).toString();
            EXPECT_EQ(number, samples.value(1).toString() + QStringLiteral("-") +
                                  QStringLiteral("%1").arg(samples.value(2).toInt(), 3, 10,
                                                           QLatin1Char('0')));
            EXPECT_EQ(samples.value(3).toString(), QStringLiteral("票卷範本-") + number);
            if (!samples.value(4).isNull() && samples.value(4).toInt() == 1) {
                ++approved;
            } else {
                ++other;
            }
        }
        EXPECT_GE(approved, 1);
        EXPECT_GE(other, 1);
    }

    const ToolRun again = runTool(on(QStringLiteral("demo")));
    EXPECT_EQ(again.exitCode, 1) << describe(again);
    EXPECT_TRUE(again.err.contains(QStringLiteral("已有發行業者"))) << describe(again);
}

TEST_P(ToolTest, AdminAndDemoRefuseAnUninitialisedDatabase) {
    for (const QStringList& arguments :
         {on(QStringLiteral("admin"), {QStringLiteral("--id"), QStringLiteral("ROOT")}),
          on(QStringLiteral("demo"))}) {
        const ToolRun run = runTool(arguments, "secret\n");
        EXPECT_EQ(run.exitCode, 1) << describe(run);
        EXPECT_TRUE(run.err.contains(QStringLiteral("quorvane-db init"))) << describe(run);
    }
    if (GetParam() == Backend::Sqlite) {
        // The empty file was not opened for writing: it has not grown, and nothing was made
        // beside it.
        EXPECT_EQ(QFileInfo(target().location()).size(), 0);
        EXPECT_EQ(QFileInfo(target().location()).dir().entryList(QDir::Files),
                  QStringList{QStringLiteral("quorvane.db")});
    }
    EXPECT_FALSE(SchemaInstaller::HasTables(*connect(target())));
}

TEST_P(ToolTest, UpgradeBringsAVersionOneDatabaseForwardOnce) {
    {
        const std::unique_ptr<Database> db = connect(target());
        test::InstallSchemaVersion1(*db);
        db->ConnExecute(Statement(
            QStringLiteral("INSERT INTO BF_User (IdUser, PWD, PMI_System) VALUES (?, ?, 1)"),
            {QStringLiteral("OLD"), EncodePassword(QStringLiteral("abc"))}));
        db->ConnExecute(Statement(QStringLiteral("INSERT INTO BF_Customer (NoContract) VALUES (?)"),
                                  {QStringLiteral("K1")}));
    }
    // Nothing else works on the old version until it is upgraded.
    const ToolRun admin =
        runTool(on(QStringLiteral("admin"), {QStringLiteral("--id"), QStringLiteral("ROOT")}),
                "Secret99\n");
    EXPECT_EQ(admin.exitCode, 1) << describe(admin);
    EXPECT_TRUE(admin.err.contains(QStringLiteral("請先執行 quorvane-db upgrade")))
        << describe(admin);

    const ToolRun upgrade = runTool(on(QStringLiteral("upgrade")));
    ASSERT_EQ(upgrade.exitCode, 0) << describe(upgrade);
    EXPECT_TRUE(upgrade.out.contains(QStringLiteral("已將資料庫結構由版本 1 更新為版本 %1")
                                         .arg(SchemaInstaller::kSchemaVersion)))
        << describe(upgrade);
    EXPECT_EQ(SchemaInstaller::InstalledVersion(*connect(target())),
              SchemaInstaller::kSchemaVersion);
    EXPECT_EQ(rowCount(target(), QStringLiteral("BF_Customer")), 1);
    EXPECT_EQ(rowCount(target(), QStringLiteral("ST_TicketPrintTemplate")), 12);
    EXPECT_EQ(connect(target())->LookupText(Statement(
                  QStringLiteral("SELECT PWD FROM BF_User WHERE IdUser = 'OLD' AND Locked = 0"))),
              EncodePassword(QStringLiteral("abc")));

    const ToolRun again = runTool(on(QStringLiteral("upgrade")));
    EXPECT_EQ(again.exitCode, 0) << describe(again);
    EXPECT_TRUE(again.out.contains(QStringLiteral("已是最新版本（版本 %1），未做任何變更")
                                       .arg(SchemaInstaller::kSchemaVersion)))
        << describe(again);
    const ToolRun fax = runTool(on(QStringLiteral("fax")));
    EXPECT_EQ(fax.exitCode, 0) << describe(fax);
    EXPECT_TRUE(fax.out.contains(QStringLiteral("信託部傳真號碼：待設定"))) << describe(fax);
    const ToolRun adminAfter =
        runTool(on(QStringLiteral("admin"), {QStringLiteral("--id"), QStringLiteral("ROOT")}),
                "Secret99\n");
    EXPECT_EQ(adminAfter.exitCode, 0) << describe(adminAfter);
}

// Who the tool records as a setting's modifier: itself and the operating system's user.
QString toolUser() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) {
        user = qEnvironmentVariable("LOGNAME");
    }
    return user.isEmpty() ? QStringLiteral("quorvane-db") : QStringLiteral("quorvane-db:") + user;
}

// The trust department's fax number as stored: number and modifier.
QString storedFax(const ConnectionTarget& target) {
    const FaxSetting setting = ReadFaxNumber(*connect(target));
    return setting.number + QLatin1Char('|') + setting.idUserModify;
}

TEST_P(ToolTest, FaxShowsChangesAndRefusesABadNumber) {
    init();
    const ToolRun shown = runTool(on(QStringLiteral("fax")));
    EXPECT_EQ(shown.exitCode, 0) << describe(shown);
    EXPECT_TRUE(shown.out.contains(QStringLiteral("信託部傳真號碼：待設定"))) << describe(shown);
    EXPECT_TRUE(shown.out.contains(QStringLiteral("尚未設定，請以 quorvane-db fax --set")))
        << describe(shown);

    const ToolRun set = runTool(
        on(QStringLiteral("fax"), {QStringLiteral("--set"), QStringLiteral(" (02) 2345-6789 ")}));
    EXPECT_EQ(set.exitCode, 0) << describe(set);
    EXPECT_TRUE(set.out.contains(QStringLiteral("已變更信託部傳真號碼：(02) 2345-6789")))
        << describe(set);
    EXPECT_EQ(storedFax(target()), QStringLiteral("(02) 2345-6789|") + toolUser());
    EXPECT_TRUE(ReadFaxNumber(*connect(target())).timeModify.isValid());

    const ToolRun again = runTool(on(QStringLiteral("fax")));
    EXPECT_EQ(again.exitCode, 0) << describe(again);
    EXPECT_TRUE(again.out.contains(QStringLiteral("信託部傳真號碼：(02) 2345-6789")))
        << describe(again);
    EXPECT_TRUE(again.out.contains(QStringLiteral("最後變更：quorvane-db"))) << describe(again);

    const ToolRun bad = runTool(
        on(QStringLiteral("fax"), {QStringLiteral("--set"), QStringLiteral("02-2345 ext 9")}));
    EXPECT_EQ(bad.exitCode, 1) << describe(bad);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("只能有數字、空白與 - ( ) #"))) << describe(bad);
    EXPECT_EQ(storedFax(target()), QStringLiteral("(02) 2345-6789|") + toolUser());
}

TEST_P(ToolTest, InitStoresTheFaxNumberGivenOrRefusesABadOneBeforeCreatingAnything) {
    const ToolRun bad =
        runTool(on(QStringLiteral("init"),
                   {QStringLiteral("--fax"), QStringLiteral("123456789012345678901")}));
    EXPECT_EQ(bad.exitCode, 1) << describe(bad);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("最多 20 個字元"))) << describe(bad);
    EXPECT_FALSE(SchemaInstaller::HasTables(*connect(target())));

    const ToolRun run = runTool(
        on(QStringLiteral("init"), {QStringLiteral("--fax"), QStringLiteral("02-2345-6789")}));
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_TRUE(run.out.contains(QStringLiteral("信託部傳真號碼：02-2345-6789"))) << describe(run);
    EXPECT_EQ(storedFax(target()), QStringLiteral("02-2345-6789|") + toolUser());

    // A rebuild without --fax returns to the placeholder and says so.
    const ToolRun forced = runTool(
        on(QStringLiteral("init"), {QStringLiteral("--force"), QStringLiteral("--destroy-data")}));
    ASSERT_EQ(forced.exitCode, 0) << describe(forced);
    EXPECT_TRUE(forced.out.contains(QStringLiteral("信託部傳真號碼尚未設定"))) << describe(forced);
    EXPECT_EQ(storedFax(target()), QStringLiteral("待設定|"));
}

TEST_P(ToolTest, UpgradeRefusesAnUninitialisedDatabase) {
    const ToolRun run = runTool(on(QStringLiteral("upgrade")));
    EXPECT_EQ(run.exitCode, 1) << describe(run);
    EXPECT_TRUE(run.err.contains(QStringLiteral("quorvane-db init"))) << describe(run);
    EXPECT_FALSE(SchemaInstaller::HasTables(*connect(target())));
}

QUORVANE_INSTANTIATE_BACKENDS(ToolTest);

// ---- Input the tool refuses ---------------------------------------------------------------

struct BadAdmin {
    const char* name;
    QStringList arguments;
    QByteArray input;
    const char* message;
};

TEST(ToolInputTest, AdminRefusesAccountsThatCouldNotLogIn) {
    ScratchDatabase scratch(Backend::Sqlite);
    const QString file = scratch.target().location();
    ASSERT_EQ(runTool({QStringLiteral("init"), QStringLiteral("--sqlite"), file}).exitCode, 0);

    const BadAdmin cases[] = {
        {"empty password",
         {QStringLiteral("--id"), QStringLiteral("ROOT")},
         "   \n",
         "密碼不可空白"},
        {"no password at all",
         {QStringLiteral("--id"), QStringLiteral("ROOT")},
         "",
         "標準輸入沒有密碼"},
        {"password shorter than 8 characters",
         {QStringLiteral("--id"), QStringLiteral("ROOT")},
         "  Short12  \n",
         "密碼至少須 8 個字元（輸入的密碼只有 7 個字元），未做任何變更"},
        {"password the login drops",
         {QStringLiteral("--id"), QStringLiteral("ROOT")},
         "a!b\n",
         "無法輸入的字元"},
        {"id too long", {QStringLiteral("--id"), QString(17, QLatin1Char('A'))}, "pw\n", "16"},
        {"id with punctuation",
         {QStringLiteral("--id"), QStringLiteral("A.B")},
         "pw\n",
         "無法輸入的字元"},
        {"id with a space", {QStringLiteral("--id"), QStringLiteral("A B")}, "pw\n", "空白"},
        {"empty name",
         {QStringLiteral("--id"), QStringLiteral("ROOT"), QStringLiteral("--name"), QString()},
         "pw\n",
         "姓名不可空白"},
        {"blank name",
         {QStringLiteral("--id"), QStringLiteral("ROOT"), QStringLiteral("--name"),
          QStringLiteral("  ")},
         "pw\n",
         "姓名不可空白"},
        {"name with a control character",
         {QStringLiteral("--id"), QStringLiteral("ROOT"), QStringLiteral("--name"),
          QStringLiteral("王\t明")},
         "pw\n",
         "控制字元「\\x09」"},
        {"name too long",
         {QStringLiteral("--id"), QStringLiteral("ROOT"), QStringLiteral("--name"),
          QStringLiteral("系統管理人員")},
         "pw\n",
         "最多 4"},
    };
    for (const BadAdmin& c : cases) {
        const ToolRun run = runTool(
            QStringList{QStringLiteral("admin"), QStringLiteral("--sqlite"), file} + c.arguments,
            c.input);
        EXPECT_EQ(run.exitCode, 1) << c.name << "\n" << describe(run);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << c.name << "\n"
                                                                    << describe(run);
    }
    EXPECT_EQ(rowCount(scratch.target(), QStringLiteral("BF_User")), 0);
}

TEST(ToolInputTest, CommandLineMistakesGetUsageHelp) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("x.db"));
    const QStringList mistakes[] = {
        {},
        {QStringLiteral("build"), QStringLiteral("--sqlite"), file},
        {QStringLiteral("init")},
        {QStringLiteral("init"), QStringLiteral("--sqlite"), file, QStringLiteral("--postgres"),
         QStringLiteral("dbname=x")},
        {QStringLiteral("init"), QStringLiteral("--sqlite"), file, QStringLiteral("--id"),
         QStringLiteral("ROOT")},
        {QStringLiteral("admin"), QStringLiteral("--sqlite"), file},
        {QStringLiteral("demo"), QStringLiteral("--sqlite"), file, QStringLiteral("--force")},
        {QStringLiteral("init"), QStringLiteral("--sqlite"), file, QStringLiteral("--verbose")},
        {QStringLiteral("init"), QStringLiteral("--sqlite"), file,
         QStringLiteral("--destroy-data")},
        {QStringLiteral("admin"), QStringLiteral("--sqlite"), file, QStringLiteral("--id"),
         QStringLiteral("ROOT"), QStringLiteral("--destroy-data")},
        {QStringLiteral("fax"), QStringLiteral("--sqlite"), file, QStringLiteral("--fax"),
         QStringLiteral("02-1234")},
        {QStringLiteral("init"), QStringLiteral("--sqlite"), file, QStringLiteral("--set"),
         QStringLiteral("02-1234")},
        {QStringLiteral("init"), QStringLiteral("--sqlite"), file, QStringLiteral("--fax"),
         QStringLiteral(" ")},
    };
    for (const QStringList& arguments : mistakes) {
        const ToolRun run = runTool(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(QLatin1Char(' ')).toStdString() << "\n"
                                   << describe(run);
        EXPECT_TRUE(run.err.contains(QStringLiteral("--help"))) << describe(run);
    }
    EXPECT_FALSE(QFile::exists(file));

    const ToolRun help = runTool({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0) << describe(help);
    for (const char* form :
         {"quorvane-db init  (--sqlite FILE | --postgres CONNINFO) [--force "
          "[--destroy-data]]",
          "quorvane-db upgrade (--sqlite FILE | --postgres CONNINFO)",
          "quorvane-db admin (--sqlite FILE | --postgres CONNINFO) --id ID",
          "quorvane-db demo  (--sqlite FILE | --postgres CONNINFO)", "[--fax NUMBER]",
          "quorvane-db fax (--sqlite FILE | --postgres CONNINFO) [--set NUMBER]"}) {
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(form))) << form;
    }
}

TEST(ToolInputTest, ControlCharactersInInputAreShownEscaped) {
    ScratchDatabase scratch(Backend::Sqlite);
    const QString file = scratch.target().location();
    ASSERT_EQ(runTool({QStringLiteral("init"), QStringLiteral("--sqlite"), file}).exitCode, 0);
    const QString clear = QStringLiteral("\x1b[2J\x1b]0;owned\x07");
    const QString folder = QFileInfo(file).absolutePath();
    const QStringList cases[] = {
        {clear},
        {QStringLiteral("init"), QStringLiteral("--sqlite"), file, clear},
        {QStringLiteral("init"), QStringLiteral("--sqlite"), file, QStringLiteral("--x") + clear},
        {QStringLiteral("init"), QStringLiteral("--sqlite"),
         folder + QStringLiteral("/no") + clear + QStringLiteral("/q.db")},
        {QStringLiteral("admin"), QStringLiteral("--sqlite"), file, QStringLiteral("--id"),
         QStringLiteral("A") + clear},
        {QStringLiteral("admin"), QStringLiteral("--sqlite"), file, QStringLiteral("--id"),
         QStringLiteral("ROOT"), QStringLiteral("--name"), QStringLiteral("王") + clear},
        {QStringLiteral("admin"), QStringLiteral("--sqlite"), folder + QStringLiteral("/") + clear,
         QStringLiteral("--id"), QStringLiteral("ROOT")},
        // A message of the database layer quoting the connection string.
        {QStringLiteral("init"), QStringLiteral("--postgres"),
         QStringLiteral("host=/nonexistent") + clear.left(4) + QStringLiteral(" dbname=x")},
    };
    for (const QStringList& arguments : cases) {
        const ToolRun run = runTool(arguments, "secret\n");
        EXPECT_NE(run.exitCode, 0) << describe(run);
        EXPECT_FALSE(run.crashed) << describe(run);
        EXPECT_FALSE(hasControlCharacter(run.out + run.err)) << describe(run);
        EXPECT_TRUE(run.err.contains(QStringLiteral("\\x1b[2"))) << describe(run);
    }
    EXPECT_EQ(rowCount(scratch.target(), QStringLiteral("BF_User")), 0);
}

// ---- SQLite files -----------------------------------------------------------------------

TEST(ToolSqliteTest, UpgradeOfAMissingFileCreatesNothing) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("missing.db"));
    const ToolRun run = runTool({QStringLiteral("upgrade"), QStringLiteral("--sqlite"), file});
    EXPECT_EQ(run.exitCode, 1) << describe(run);
    EXPECT_TRUE(run.err.contains(QStringLiteral("找不到資料庫檔案"))) << describe(run);
    EXPECT_FALSE(QFile::exists(file));
}

TEST(ToolSqliteTest, InitCreatesAMissingFile) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("new.db"));
    const ToolRun run = runTool({QStringLiteral("init"), QStringLiteral("--sqlite"), file});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_EQ(SchemaInstaller::InstalledVersion(*connect(ConnectionTarget::Sqlite(file))),
              SchemaInstaller::kSchemaVersion);
}

TEST(ToolSqliteTest, InitRefusesWhatIsNoDatabaseFileAndKeepsIt) {
    QTemporaryDir folder;
    const QString missingFolder = folder.filePath(QStringLiteral("no/such/folder"));
    const QString textFile = folder.filePath(QStringLiteral("notes.txt"));
    const QByteArray text("這不是資料庫 - not a database, and long enough to look like one.\n");
    {
        QFile file(textFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    struct Case {
        QStringList arguments;
        QString message;
    };
    const Case cases[] = {
        {{QStringLiteral("--sqlite"), missingFolder + QStringLiteral("/q.db")}, missingFolder},
        {{QStringLiteral("--sqlite"), textFile}, QStringLiteral("不是 SQLite 資料庫")},
        {{QStringLiteral("--sqlite"), textFile, QStringLiteral("--force")},
         QStringLiteral("不是 SQLite 資料庫")},
        {{QStringLiteral("--sqlite"), folder.path()}, QStringLiteral("不是檔案")},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool(QStringList{QStringLiteral("init")} + c.arguments);
        EXPECT_EQ(run.exitCode, 1) << describe(run);
        EXPECT_TRUE(run.err.contains(c.message)) << describe(run);
    }
    EXPECT_FALSE(QDir(folder.filePath(QStringLiteral("no"))).exists());
    QFile file(textFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), text);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("notes.txt")});
}

// ---- PostgreSQL servers that refuse -------------------------------------------------------

TEST(ToolPostgresTest, UnreachableServerOrDatabaseGetsAClearMessage) {
    const QString host = qEnvironmentVariable("QUORVANE_TEST_PGHOST");
    ASSERT_FALSE(host.isEmpty()) << "QUORVANE_TEST_PGHOST is not set: run through ./test.sh";
    const QString conninfos[] = {
        QStringLiteral("host=/nonexistent/socket/folder dbname=quorvane"),
        QStringLiteral("host=") + host + QStringLiteral(" dbname=qv_no_such_database"),
    };
    for (const QString& conninfo : conninfos) {
        const ToolRun run =
            runTool({QStringLiteral("init"), QStringLiteral("--postgres"), conninfo});
        EXPECT_FALSE(run.crashed) << describe(run);
        EXPECT_EQ(run.exitCode, 1) << describe(run);
        EXPECT_TRUE(run.err.contains(QStringLiteral("無法連線"))) << describe(run);
    }
}

TEST(ToolPostgresTest, AServerThatNeverAnswersEndsTheToolAfterTheConnectTimeout) {
    const test::SilentServer server;
    QElapsedTimer elapsed;
    elapsed.start();
    const ToolRun run =
        runTool({QStringLiteral("init"), QStringLiteral("--postgres"), server.conninfo()});
    // The default connect timeout is a few seconds; this bound only tells it from a hang.
    EXPECT_LT(elapsed.elapsed(), 60000);
    EXPECT_FALSE(run.crashed) << describe(run);
    EXPECT_EQ(run.exitCode, 1) << describe(run);
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("連線至PostgreSQL 伺服器 127.0.0.1:%1（資料庫 quorvane）逾時")
            .arg(server.port())))
        << describe(run);
}

}  // namespace
}  // namespace quorvane
