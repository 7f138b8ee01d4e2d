#include "settings/ServerHostCheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace quorvane {
namespace {

TEST(ServerHostProblem, AcceptsWhatStartUpCanUseAndSaysWhatIsWrongWithTheRest) {
    QTemporaryDir folder;
    const QString database = folder.filePath(u"quorvane.db"_s);
    {
        QFile file(database);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString missing = folder.filePath(u"missing.db"_s);
    const QString noFolder = folder.filePath(u"gone/quorvane.db"_s);

    const std::vector<QString> usable = {
        u"dbserver"_s,
        u"  db.trust.local  "_s,
        u"db-01.trust.local:5433"_s,
        u"10.20.30.40"_s,
        u"10.20.30.40:5432"_s,
        u"[fe80::1]:5432"_s,
        u"::1"_s,
        u"host=dbserver dbname=quorvane"_s,
        u"host = '/run/postgresql' port=5433"_s,
        u"sqlite:"_s + database,
        database,
    };
    for (const QString& host : usable) {
        EXPECT_EQ(ServerHostProblem(host), QString()) << host.toStdString();
    }

    struct Refused {
        QString host;
        QStringList says;
    };
    const std::vector<Refused> refused = {
        {QString(), {u"伺服器位址不可空白"_s, u"sqlite:"_s}},
        {u"   "_s, {u"伺服器位址不可空白"_s}},
        {u"sqlite:"_s + missing, {u"找不到資料庫檔案："_s + missing, u"quorvane-db init"_s}},
        {missing, {u"找不到資料庫檔案："_s + missing}},
        {u"sqlite:"_s + noFolder, {u"找不到資料夾："_s + folder.filePath(u"gone"_s)}},
        {u"sqlite:"_s + folder.path(), {u"是資料夾"_s, folder.path()}},
        {u"sqlite:"_s, {u"請在「sqlite:」之後輸入資料庫檔案的完整路徑"_s}},
        {u"sqlite:quorvane.db"_s, {u"「quorvane.db」不是完整路徑"_s}},
        {u"db server"_s, {u"伺服器位址「db server」格式不正確"_s, u"10.20.30.40:5432"_s}},
        {u"dbserver:"_s, {u"連接埠「」不正確"_s}},
        {u"dbserver:abc"_s, {u"連接埠「abc」不正確"_s}},
        {u"dbserver:70000"_s, {u"連接埠「70000」不正確，必須是 1 至 65535 之間的數字"_s}},
        {u"dbserver:0"_s, {u"連接埠「0」不正確"_s}},
        {u"10.20.30.400"_s, {u"格式不正確"_s}},
        {u"資料庫主機"_s, {u"格式不正確"_s}},
        {u"host=dbserver dbname"_s, {u"連線字串「host=dbserver dbname」格式不正確"_s}},
        {u"host='dbserver"_s, {u"連線字串"_s}},
    };
    for (const Refused& r : refused) {
        const QString problem = ServerHostProblem(r.host);
        for (const QString& says : r.says) {
            EXPECT_TRUE(problem.contains(says))
                << r.host.toStdString() << ": " << problem.toStdString();
        }
        // Only an address that names a server is told about servers' forms.
        if (r.host.startsWith(u"sqlite:"_s) || r.host.startsWith(QLatin1Char('/'))) {
            EXPECT_FALSE(problem.contains(u"伺服器"_s)) << problem.toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(missing)) << "checking must never create a database file";
}

}  // namespace
}  // namespace quorvane
