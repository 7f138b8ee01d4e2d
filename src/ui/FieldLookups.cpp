#include "ui/FieldLookups.h"

#include "db/BusinessLookups.h"
#include "db/Database.h"
#include "db/FieldKind.h"
#include "ui/Dialogs.h"
#include "ui/FieldKinds.h"
#include "ui/frmAP_ModCalendar.h"

#include <QDate>
#include <QLineEdit>
#include <QRegularExpression>

namespace quorvane {

namespace {

AfterLookup dateLookup(QLineEdit* field) {
    if (IsDateText(field->text())) {
        return AfterLookup::MoveOn;
    }
    QString picked;
    if (PickDate(picked, field->window())) {
        field->setText(picked);
    }
    return AfterLookup::MoveOn;
}

AfterLookup contractLookup(Database& db, QLineEdit* field) {
    const QString text = field->text();
    if (IsKeyExists(db, text, FieldKind::ContractNumber)) {
        return AfterLookup::MoveOn;
    }
    Selection request;
    request.SelectCommandText = BuildPickerCommand(FieldKind::ContractNumber, text);
    if (!db.HasRows(request.SelectCommandText)) {
        return AfterLookup::MoveOn;
    }
    const SelectionResult picked = AppDialogs().selectItem(field->window(), db, request);
    if (picked.SelectedCount <= 0) {
        return AfterLookup::Stay;
    }
    field->setText(picked.SelectedValue.at(0));
    return AfterLookup::MoveOn;
}

}  // namespace

void InstallFieldLookups(Database& db) {
    SetEnterLookup(FieldKind::Date, [](QLineEdit* field, int) { return dateLookup(field); });
    SetEnterLookup(FieldKind::ContractNumber,
                   [&db](QLineEdit* field, int) { return contractLookup(db, field); });
}

void RemoveFieldLookups() {
    SetEnterLookup(FieldKind::Date, {});
    SetEnterLookup(FieldKind::ContractNumber, {});
}

bool IsDateText(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{4})([/.\\-])([0-9]{1,2})\\2([0-9]{1,2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return false;
    }
    return QDate(match.captured(1).toInt(), match.captured(3).toInt(), match.captured(4).toInt())
        .isValid();
}

bool PickCustomer(QWidget* owner, Database& db, QString& noContract, QString& nameCompany) {
    Selection request;
    request.SelectCommandText = Statement(QStringLiteral(
        "SELECT NameCompany AS \"發行業者\", NoContract AS \"契約編號\" FROM BF_Customer "
        "ORDER BY NoContract"));
    request.MultiSelect = false;
    const SelectionResult picked = AppDialogs().selectItem(owner, db, request);
    if (picked.SelectedCount <= 0) {
        return false;
    }
    noContract = picked.SelectedName.at(0);
    nameCompany = picked.SelectedValue.at(0);
    return true;
}

}  // namespace quorvane
