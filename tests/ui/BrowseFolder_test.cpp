#include "support/ScriptedDialogs.h"
#include "ui/Dialogs.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(BrowseFolder, EndsTheChosenFolderWithOneSeparator) {
    const struct {
        QString chosen;
        QString returned;
    } cases[] = {
        {QStringLiteral("/srv/票卷列印範本檔"), QStringLiteral("/srv/票卷列印範本檔/")},
        {QStringLiteral("/srv/templates/"), QStringLiteral("/srv/templates/")},
        {QStringLiteral("/"), QStringLiteral("/")},
        {QString(), QString()},  // cancelled
    };
    for (const auto& c : cases) {
        ScriptedDialogs dialogs;
        dialogs.expectFolder(QStringLiteral("選擇票卷列印範本檔路徑"), c.chosen);
        EXPECT_EQ(BrowseFolder(nullptr, QStringLiteral("選擇票卷列印範本檔路徑")), c.returned);
    }
}

}  // namespace
}  // namespace quorvane
