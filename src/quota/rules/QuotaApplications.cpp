#include "quota/rules/QuotaApplications.h"

#include "core/Failure.h"
#include "db/FieldReaders.h"
#include "db/NextNumber.h"
#include "db/RowWriter.h"
#include "quota/rules/QuotaRules.h"

#include <QSqlQuery>

namespace quorvane {

namespace {

const QString kTable = QStringLiteral("OR_Account");
const QString kKey = QStringLiteral("NoAccount");
const QString kEditTitle = QStringLiteral("修改");
const QString kCheckTitle = QStringLiteral("表單查核");
const QString kAddTitle = QStringLiteral("新增");
const QString kSaveTitle = QStringLiteral("儲存");

QuotaSaveResult refused(const QString& title, const QString& message,
                        QuotaField field = QuotaField::None) {
    QuotaSaveResult result;
    result.title = title;
    result.message = message;
    result.field = field;
    return result;
}

// The application's row as the save needs it, read under the issuer's lock.
struct StoredApplication {
    bool found = false;
    QString noContract;
    int noItem = 0;
    qint64 amount = 0;
    bool approved = false;
};

}  // namespace

QString FormatNoAccount(const QString& noContract, int noItem) {
    return NumberText(noContract + QLatin1Char('-'), noItem, 2);
}

QuotaRole QuotaRoleOf(const User& user) {
    if (user.PMI_Handling) {
        return QuotaRole::Clerk;
    }
    return user.PMI_Verify ? QuotaRole::Supervisor : QuotaRole::Neither;
}

QString AddRefusalText() {
    return QStringLiteral("新增失敗\r\n\r\n您的使用者帳號不具「經辦」權限，不允許申辦額度");
}

QString ClerkEditRefusalText(const QString& noAccount) {
    return QStringLiteral("禁止修改！\r\n\r\n不允許經辦人員修改本額度申請 [") + noAccount +
           QStringLiteral("] \r\n因為本額度已被主管完成核定 ");
}

QString SupervisorEditRefusalText(const QString& noAccount, const QString& newerNoAccount) {
    return QStringLiteral("禁止修改！\r\n\r\n不允許主管人員修改本額度申請 [") + noAccount +
           QStringLiteral("] \r\n因為已有更新的額度申請 [") + newerNoAccount +
           QStringLiteral("] 已通過核定");
}

QString BadAmountText(const QString& typed) {
    return QStringLiteral("「申請額度」錯誤\r\n\r\n您輸入的申請額度：") + typed +
           QStringLiteral(
               " 不正確\r\n申請額度須為整數金額（元），不可有負號或小數點，"
               "最多 9 位數，請重新輸入");
}

QString BelowPrintedText(qint64 amountTicketPrint, qint64 amount) {
    return QStringLiteral("「申請額度」錯誤\r\n\r\n目前的使用額度為：") +
           FormatAmount(amountTicketPrint) + QStringLiteral("\r\n目前申請的額度為：") +
           FormatAppliedAmount(amount) + QStringLiteral("\r\n\r\n此作業將造成剩餘額度不足");
}

QString UnknownContractText(const QString& noContract) {
    return QStringLiteral("「契約代碼」錯誤\r\n\r\n您輸入的契約代碼：") + noContract +
           QStringLiteral(" 不存在，請重新輸入");
}

QString AmountChangedText(const QString& noAccount, qint64 stored, qint64 seen) {
    return QStringLiteral("禁止核准！\r\n\r\n額度申請 [") + noAccount +
           QStringLiteral("] 的申請額度已被其他工作站改為 ") + FormatAmount(stored) +
           QStringLiteral("\r\n畫面上的申請額度為 ") + FormatAmount(seen) +
           QStringLiteral("，請取消後重新載入再核定");
}

QString QuotaEditRefusal(Database& db, QuotaRole role, const QString& noAccount,
                         const QString& noContract, bool approved) {
    switch (role) {
        case QuotaRole::Clerk:
            return approved ? ClerkEditRefusalText(noAccount) : QString();
        case QuotaRole::Supervisor: {
            QString newest;
            const short state = GetAccountVerifyState(db, noContract, newest);
            if (state == AccountVerifyState::Approved && newest != noAccount) {
                return SupervisorEditRefusalText(noAccount, newest);
            }
            return {};
        }
        case QuotaRole::Neither:
            break;
    }
    return {};
}

QuotaSaveResult QuotaApplicationWriter::save(const QuotaApplication& application,
                                             const User& user) {
    if (!application.noAccount.isEmpty()) {
        return attempt(application, user);
    }
    // A number another workstation took in the meantime is simply taken again.
    if (const std::optional<QuotaSaveResult> result =
            numbers_.insert([&] { return attempt(application, user); })) {
        return *result;
    }
    return refused(kSaveTitle, NumberBusyText(application.noContract, QStringLiteral("額度申請"),
                                              QStringLiteral("申請編號")));
}

QuotaSaveResult QuotaApplicationWriter::attempt(const QuotaApplication& application,
                                                const User& user) {
    const QuotaRole role = QuotaRoleOf(user);
    const bool adding = application.noAccount.isEmpty();
    noItem_ = 0;
    statement_.clear();
    if (adding && role != QuotaRole::Clerk) {
        return refused(kAddTitle, AddRefusalText());
    }

    // The contract of an application never changes, so the row's own contract names the
    // issuer to lock; the row itself is read again under the lock.
    QString noContract = application.noContract.trimmed();
    if (!adding) {
        const Statement contractOf(
            QStringLiteral("SELECT NoContract FROM OR_Account WHERE (NoAccount = ?)"),
            {application.noAccount});
        statement_ = contractOf.describe();
        const QString stored = db_.LookupText(contractOf);
        if (!stored.isEmpty()) {
            noContract = stored;
        }
    }

    Transaction transaction(db_);
    if (!numbers_.lockIssuer(noContract)) {
        return refused(kCheckTitle, UnknownContractText(noContract), QuotaField::Contract);
    }

    StoredApplication stored;
    QString noAccount = application.noAccount;
    if (adding) {
        // Every application of the contract counts, active or not.
        noItem_ = int(numbers_.take(noContract));
        noAccount = FormatNoAccount(noContract, noItem_);
    } else {
        const Statement read(QStringLiteral("SELECT NoContract, NoItem, Amount, VerifyApprove "
                                            "FROM OR_Account WHERE (NoAccount = ?)") +
                                 db_.dialect().forUpdate(),
                             {noAccount});
        statement_ = read.describe();
        {
            UnitOfWork unit(db_);
            QSqlQuery row = db_.Query(read);
            if (row.next()) {
                stored.found = true;
                stored.noContract = FieldText(row.value(0));
                stored.noItem = FieldLong(row.value(1));
                stored.amount = FieldInt64(row.value(2));
                stored.approved = !row.value(3).isNull() && row.value(3).toInt() == 1;
            }
        }
        if (!stored.found || stored.noContract != noContract) {
            return refused(kSaveTitle, QStringLiteral("儲存失敗\r\n\r\n找不到額度申請 [") +
                                           noAccount + QStringLiteral("]，可能已被其他工作站刪除"));
        }
        noItem_ = stored.noItem;
        // What the user saw when the modification began may be stale: another workstation
        // may have approved this application, or a newer one, since.
        const QString refusal = QuotaEditRefusal(db_, role, noAccount, noContract, stored.approved);
        if (!refusal.isEmpty()) {
            return refused(kEditTitle, refusal);
        }
        // A supervisor approves the amount on the screen, not one a clerk changed since.
        if (role == QuotaRole::Supervisor && application.review == ReviewChoice::Approve &&
            stored.amount != application.amount) {
            return refused(kEditTitle,
                           AmountChangedText(noAccount, stored.amount, application.amount));
        }
    }

    // The amount the application will state, checked against what is printed now: another
    // workstation may have printed since the screen showed its summary.
    const qint64 amount = role == QuotaRole::Clerk ? application.amount : stored.amount;
    if (role == QuotaRole::Clerk && (amount < 0 || amount > kMaxApplicationAmount)) {
        return refused(kCheckTitle, BadAmountText(QString::number(amount)), QuotaField::Amount);
    }
    qint64 approve = 0;
    qint64 printed = 0;
    qint64 remain = 0;
    GetAccountAmount(db_, noContract, approve, printed, remain);
    if (amount < printed) {
        return refused(kCheckTitle, BelowPrintedText(printed, amount), QuotaField::Amount);
    }

    if (beforeWrite_) {
        beforeWrite_(noItem_);
    }

    const Statement clock(db_.dialect().serverTime());
    statement_ = clock.describe();
    const QDateTime now = db_.LookupDate(clock);
    RowWriter row(kTable, kKey, noAccount);
    if (role == QuotaRole::Clerk) {
        row.set(QStringLiteral("Amount"), amount);
        row.set(QStringLiteral("NoteHandling"), application.noteHandling);
    } else if (role == QuotaRole::Supervisor) {
        // An approval leaves an earlier return's stamps alone, and a return an approval's.
        if (application.review == ReviewChoice::Approve) {
            row.set(QStringLiteral("VerifyApprove"), 1);
            row.set(QStringLiteral("IdUserVerifyApprove"), user.IdUser);
            row.set(QStringLiteral("TimeVerifyApprove"), now);
        } else if (application.review == ReviewChoice::Return) {
            row.set(QStringLiteral("VerifyApprove"), 0);
            row.set(QStringLiteral("IdUserVerifyReturn"), user.IdUser);
            row.set(QStringLiteral("TimeVerifyReturn"), now);
        }
        row.set(QStringLiteral("NoteVerify"), application.noteVerify);
    }
    row.set(QStringLiteral("Active"), 1);
    if (adding) {
        row.set(QStringLiteral("NoContract"), noContract);
        row.set(QStringLiteral("NoItem"), noItem_);
        statement_ = QStringLiteral("INSERT INTO OR_Account … NoAccount = ") + noAccount;
        row.insert(db_, user.IdUser, now);
    } else {
        statement_ = QStringLiteral("UPDATE OR_Account … WHERE NoAccount = ") + noAccount;
        row.update(db_, user.IdUser, now);
    }
    transaction.commit();

    QuotaSaveResult result;
    result.saved = true;
    result.noAccount = noAccount;
    result.noItem = noItem_;
    return result;
}

Statement QuotaApplications::ListQuery() {
    return Statement(QStringLiteral(
        "SELECT AC.NoContract || '：' || COALESCE(substr(CU.NameCompany, 1, 4), '') || '（' || "
        "CASE AC.VerifyApprove WHEN 0 THEN '退回' WHEN 1 THEN '核准' ELSE '未核' END || '）' "
        "AS ListField, AC.NoAccount "
        "FROM BF_Customer AS CU INNER JOIN OR_Account AS AC ON CU.NoContract = AC.NoContract "
        "ORDER BY AC.NoContract, AC.NoAccount DESC"));
}

Statement QuotaApplications::RowQuery(const QString& noAccount) {
    return Statement(QStringLiteral("SELECT * FROM OR_Account WHERE (NoAccount = ?)"), {noAccount});
}

QSqlRecord QuotaApplications::row(const QString& noAccount) {
    UnitOfWork unit(db_);
    QSqlQuery query = db_.Query(RowQuery(noAccount));
    return query.next() ? query.record() : QSqlRecord();
}

Statement QuotaApplications::selection(bool notReviewedOnly) const {
    const QString day = db_.dialect().shortDate(QStringLiteral("A.TimeAddNew"));
    if (notReviewedOnly) {
        return Statement(QStringLiteral("SELECT A.NoAccount AS \"額度編號\", "
                                        "COALESCE(substr(C.NameCompany, 1, 4), '') || '：' || "
                                        "COALESCE(%1, '') AS \"發行業者：建檔時間\" "
                                        "FROM BF_Customer AS C INNER JOIN OR_Account AS A "
                                        "ON C.NoContract = A.NoContract "
                                        "WHERE (A.Active = 1) AND (A.VerifyApprove IS NULL) "
                                        "ORDER BY A.TimeAddNew DESC")
                             .arg(day));
    }
    return Statement(QStringLiteral("SELECT A.NoAccount AS \"額度編號\", "
                                    "COALESCE(substr(C.NameCompany, 1, 4), '') || '：' || "
                                    "COALESCE(%1, '') || '：' || "
                                    "COALESCE(CAST(A.Amount AS VARCHAR(12)), '') "
                                    "AS \"發行業者：建檔時間：申請額度\" "
                                    "FROM BF_Customer AS C INNER JOIN OR_Account AS A "
                                    "ON C.NoContract = A.NoContract "
                                    "ORDER BY A.TimeAddNew DESC, C.NoContract")
                         .arg(day));
}

QString QuotaApplications::latestNoAccount(const QString& noContract) {
    return db_.LookupText(
        Statement(QStringLiteral("SELECT NoAccount FROM OR_Account WHERE (NoContract = ?) "
                                 "ORDER BY NoItem DESC LIMIT 1"),
                  {noContract}));
}

}  // namespace quorvane
