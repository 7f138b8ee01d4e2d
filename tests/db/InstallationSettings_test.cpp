#include "db/InstallationSettings.h"

#include "core/Failure.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

class FaxSettingTest : public test::BackendTest {};

TEST_P(FaxSettingTest, ANewDatabaseHoldsThePlaceholderUntilANumberIsStored) {
    const FaxSetting installed = ReadFaxNumber(db());
    EXPECT_EQ(installed.number, kFaxPlaceholder);
    EXPECT_TRUE(installed.isPlaceholder());
    EXPECT_TRUE(installed.idUserModify.isEmpty());
    EXPECT_FALSE(installed.timeModify.isValid());

    const QDateTime before = db().GetServerTime();
    WriteFaxNumber(db(), QStringLiteral("  (02) 2345-6789 #12 "), QStringLiteral("ADMIN"));
    const FaxSetting stored = ReadFaxNumber(db());
    EXPECT_EQ(stored.number, QStringLiteral("(02) 2345-6789 #12"));
    EXPECT_FALSE(stored.isPlaceholder());
    EXPECT_EQ(stored.idUserModify, QStringLiteral("ADMIN"));
    EXPECT_GE(stored.timeModify, before.addSecs(-1));
    EXPECT_LE(stored.timeModify, db().GetServerTime().addSecs(1));
    EXPECT_EQ(db().transactionDepth(), 0);
}

TEST_P(FaxSettingTest, ABadNumberIsRefusedWithItsReasonAndNothingChanges) {
    WriteFaxNumber(db(), QStringLiteral("02-2345-6789"), QStringLiteral("ADMIN"));
    struct Case {
        QString number;
        QString reason;
    };
    const Case cases[] = {
        {QStringLiteral("   "), QStringLiteral("請輸入信託部傳真號碼")},
        {QStringLiteral("02-2345-6789 ext 12"), QStringLiteral("不可有「e」")},
        {QStringLiteral("０２-2345"), QStringLiteral("不可有「０」")},
        {QStringLiteral("02+2345"), QStringLiteral("不可有「+」")},
        {QStringLiteral("02\t2345"), QStringLiteral("不可有「\\u0009」")},
        {QStringLiteral("(02) 2345-6789 #12345"),
         QStringLiteral("最多 20 個字元（輸入的有 21 個字元）")},
        {QStringLiteral("(--) #"), QStringLiteral("須包含數字")},
    };
    for (const Case& c : cases) {
        try {
            WriteFaxNumber(db(), c.number, QStringLiteral("CLERK"));
            ADD_FAILURE() << "accepted: " << c.number.toStdString();
        } catch (const Failure& failure) {
            EXPECT_TRUE(failure.description().contains(c.reason))
                << c.number.toStdString() << ": " << failure.description().toStdString();
            EXPECT_TRUE(failure.description().contains(QStringLiteral("未做任何變更")))
                << failure.description().toStdString();
        }
    }
    EXPECT_EQ(ReadFaxNumber(db()).number, QStringLiteral("02-2345-6789"));
    EXPECT_EQ(ReadFaxNumber(db()).idUserModify, QStringLiteral("ADMIN"));
    // Twenty characters are accepted.
    EXPECT_EQ(CheckFaxNumber(QStringLiteral("(02) 2345-6789 #123")).size(), 19);
    EXPECT_EQ(CheckFaxNumber(QStringLiteral("(02) 2345-6789 #1234")).size(), 20);
}

QUORVANE_INSTANTIATE_BACKENDS(FaxSettingTest);

}  // namespace
}  // namespace quorvane
