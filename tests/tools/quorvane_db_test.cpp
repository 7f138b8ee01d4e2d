#include "core/Password.h"
#include "db/Database.h"
#include "db/SchemaInstaller.h"
#include "support/SilentServer.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

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

    const ToolRun forced = runTool(on(QStringLiteral("init"), {QStringLiteral("--force")}));
    EXPECT_EQ(forced.exitCode, 0) << describe(forced);
    EXPECT_EQ(rowCount(target(), QStringLiteral("BF_Customer")), 0);
    EXPECT_EQ(rowCount(target(), QStringLiteral("ST_TicketPrintTemplate")), 12);
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
    for (const char* form : {"quorvane-db init  (--sqlite FILE | --postgres CONNINFO) [--force]",
                             "quorvane-db admin (--sqlite FILE | --postgres CONNINFO) --id ID",
                             "quorvane-db demo  (--sqlite FILE | --postgres CONNINFO)"}) {
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(form))) << form;
    }
}

// ---- SQLite files -----------------------------------------------------------------------

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
        QStringLiteral("無法連線至PostgreSQL 伺服器 127.0.0.1:%1").arg(server.port())))
        << describe(run);
}

}  // namespace
}  // namespace quorvane
