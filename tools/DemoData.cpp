#include "DemoData.h"

#include "core/Failure.h"
#include "core/Password.h"

#include <sodium.h>

#include <cstdint>
#include <iterator>

namespace quorvane::tool {

namespace {

constexpr int kPasswordLength = 8;
const QString kClerk = QStringLiteral("CLERK");
const QString kSupervisor = QStringLiteral("SUPER");

struct DemoIssuer {
    const char* noContract;
    const char* nameCompany;
    const char* noVat;
    const char* nameCeo;
    const char* telCompany;
    const char* addressCompany;
    const char* dateContract;
    const char* nameContact;
    const char* telContact;
    const char* telFax;
    const char* addressEmail;
    const char* addressContact;
    const char* note;
    const char* addressWeb;
};

// Review verdicts as stored: not reviewed (NULL), approved (1), returned (0).
enum class Verdict { None, Approved, Returned };

struct DemoApplication {
    const char* noContract;
    int noItem;
    int amount;
    const char* noteHandling;
    Verdict verdict;
    const char* noteVerify;
};

struct DemoSample {
    const char* noContract;
    int noItem;
    const char* titleTicket;
    const char* nameTicket;
    int amountTicket;
    const char* noteTicket;
    const char* dateBeginning;
    const char* dateEnd;
    bool confirmed;
    const char* noteHandling;
    Verdict verdict;
    const char* noteVerify;
};

const DemoIssuer kIssuers[] = {
    {"K1", "晨曦百貨股份有限公司", "23456789", "王大明", "(02)2720-1234",
     "台北市信義區松高路 11 號", "2024/01/15", "林怡君", "(02)2720-1235", "(02)2720-1299",
     "service@chenxi.example", "台北市信義區松高路 11 號 8 樓", "百貨商品禮券",
     "www.chenxi.example"},
    {"T0012", "福泰餐飲股份有限公司", "34567890", "陳志強", "(04)2326-5678",
     "台中市西區公益路 168 號", "2024/03/01", "張雅婷", "(04)2326-5679", "(04)2326-5600",
     "gift@futai.example", "台中市西區公益路 168 號 3 樓", "餐券", "www.futai.example"},
    {"T0027", "青山書局有限公司", "45678901", "李美玲", "(06)222-3344",
     "台南市中西區民生路二段 25 號", "2024/05/20", "黃冠宇", "0912-345-678", "(06)222-3300",
     "books@qingshan.example", "台南市中西區民生路二段 25 號", "圖書禮券", "www.qingshan.example"},
    {"M305", "海洋影城股份有限公司", "56789012", "吳建國", "(07)536-8899",
     "高雄市鼓山區濱海路 5 號", "2024/07/10", "周佩珊", "(07)536-8800", "(07)536-8801",
     "ticket@ocean.example", "高雄市鼓山區濱海路 5 號 2 樓", "電影票券，尚未申請額度",
     "www.ocean.example"},
};

const DemoApplication kApplications[] = {
    {"K1", 1, 500000, "首次申請", Verdict::Approved, "同意"},
    {"K1", 2, 800000, "年度增加額度", Verdict::Approved, "同意"},
    {"K1", 3, 1200000, "年節檔期增額", Verdict::None, ""},
    {"T0012", 1, 300000, "首次申請", Verdict::Returned, "文件不齊，請補件"},
    {"T0012", 2, 250000, "補件後重新申請", Verdict::Approved, "同意"},
    {"T0027", 1, 100000, "首次申請", Verdict::None, ""},
};

const DemoSample kSamples[] = {
    {"K1", 1, "晨曦百貨\n商品禮券", "百貨商品禮券", 1000,
     "1. 本禮券可於晨曦百貨各分店使用。\n2. 本禮券不得兌換現金，遺失恕不補發。", "2024/02/01",
     "2025/01/31", true, "客戶已回簽", Verdict::Approved, "同意"},
    {"K1", 2, "晨曦百貨\n美食禮券", "美食街禮券", 500, "限晨曦百貨美食街使用。", "2024/06/01",
     "2025/05/31", false, "等待客戶回簽", Verdict::None, ""},
    {"T0012", 1, "福泰餐飲\n餐券", "自助餐券", 800,
     "1. 限福泰餐飲各餐廳使用。\n2. 每張限用一人，不找零。", "2024/04/01", "2025/03/31", true,
     "客戶已回簽", Verdict::Approved, "同意"},
    {"T0027", 1, "青山書局\n圖書禮券", "圖書禮券", 200, "全台青山書局門市通用。", "2024/06/01",
     "2025/05/31", true, "客戶已回簽", Verdict::Returned, "面額與申請不符，請修正"},
};

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QVariant verdictValue(Verdict verdict) {
    switch (verdict) {
        case Verdict::Approved:
            return 1;
        case Verdict::Returned:
            return 0;
        case Verdict::None:
            break;
    }
    return QVariant(QMetaType::fromType<int>());
}

// The approving and the returning supervisor with their times, as a review leaves them.
QVariantList verdictColumns(Verdict verdict, const QDateTime& now) {
    const QVariant noUser(QMetaType::fromType<QString>());
    const QVariant noTime(QMetaType::fromType<QDateTime>());
    const bool approved = verdict == Verdict::Approved;
    const bool returned = verdict == Verdict::Returned;
    return {approved ? QVariant(kSupervisor) : noUser, approved ? QVariant(now) : noTime,
            returned ? QVariant(kSupervisor) : noUser, returned ? QVariant(now) : noTime};
}

void writeIssuers(Database& db, const QDateTime& now) {
    for (const DemoIssuer& issuer : kIssuers) {
        db.ConnExecute(Statement(
            QStringLiteral("INSERT INTO BF_Customer (NoContract, NameCompany, NoVAT, NameCEO, "
                           "TelCompany, AddressCompany, DateContract, NameContact, TelContact, "
                           "TelFax, AddressEmail, AddressContact, Note, AddressWeb, "
                           "IdUserAddNew, TimeAddNew) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {text(issuer.noContract), text(issuer.nameCompany), text(issuer.noVat),
             text(issuer.nameCeo), text(issuer.telCompany), text(issuer.addressCompany),
             text(issuer.dateContract), text(issuer.nameContact), text(issuer.telContact),
             text(issuer.telFax), text(issuer.addressEmail), text(issuer.addressContact),
             text(issuer.note), text(issuer.addressWeb), kClerk, now}));
    }
}

void writeApplications(Database& db, const QDateTime& now) {
    for (const DemoApplication& application : kApplications) {
        const QString contract = text(application.noContract);
        QVariantList values{
            contract + QStringLiteral("-") +
                QStringLiteral("%1").arg(application.noItem, 2, 10, QLatin1Char('0')),
            contract,
            application.noItem,
            application.amount,
            text(application.noteHandling),
            verdictValue(application.verdict),
            text(application.noteVerify)};
        values += verdictColumns(application.verdict, now);
        values += QVariantList{1, kClerk, now};
        db.ConnExecute(Statement(
            QStringLiteral("INSERT INTO OR_Account (NoAccount, NoContract, NoItem, Amount, "
                           "NoteHandling, VerifyApprove, NoteVerify, IdUserVerifyApprove, "
                           "TimeVerifyApprove, IdUserVerifyReturn, TimeVerifyReturn, Active, "
                           "IdUserAddNew, TimeAddNew) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            values));
    }
}

void writeSamples(Database& db, const QDateTime& now) {
    for (const DemoSample& sample : kSamples) {
        const QString contract = text(sample.noContract);
        const QString number = contract + QStringLiteral("-") +
                               QStringLiteral("%1").arg(sample.noItem, 3, 10, QLatin1Char('0'));
        // A supervisor's return takes the sample out of use.
        const int active = sample.verdict == Verdict::Returned ? 0 : 1;
        QVariantList values{
            number,
            contract,
            sample.noItem,
            text(sample.titleTicket),
            text(sample.nameTicket),
            sample.amountTicket,
            text(sample.noteTicket),
            text(sample.dateBeginning),
            text(sample.dateEnd),
            sample.confirmed ? 1 : 0,
            sample.confirmed ? QVariant(now) : QVariant(QMetaType::fromType<QDateTime>()),
            QStringLiteral("票卷範本-") + number,
            text(sample.noteHandling),
            verdictValue(sample.verdict),
            text(sample.noteVerify)};
        values += verdictColumns(sample.verdict, now);
        values += QVariantList{active, kClerk, now};
        db.ConnExecute(Statement(
            QStringLiteral("INSERT INTO OR_TicketForm (NoTicketForm, NoContract, NoItem, "
                           "TitleTicket, NameTicket, AmountTicket, NoteTicket, DateBeginning, "
                           "DateEnd, ConfirmCustomer, DateConfirm, NameFileTemplate, "
                           "NoteHandling, VerifyApprove, NoteVerify, IdUserVerifyApprove, "
                           "TimeVerifyApprove, IdUserVerifyReturn, TimeVerifyReturn, Active, "
                           "IdUserAddNew, TimeAddNew) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                           "?, ?)"),
            values));
    }
}

}  // namespace

const QList<DemoUser>& DemoUsers() {
    static const QList<DemoUser> users{
        {QStringLiteral("ADMIN"), QStringLiteral("管理者"), QStringLiteral("系統"), false, false,
         true},
        {kClerk, QStringLiteral("陳經辦"), QStringLiteral("經辦"), true, false, false},
        {kSupervisor, QStringLiteral("林主管"), QStringLiteral("主管"), false, true, false},
    };
    return users;
}

QString RandomPassword(int length) {
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    constexpr std::uint32_t size = sizeof(alphabet) - 1;
    QString password;
    for (int i = 0; i < length; ++i) {
        password += QLatin1Char(alphabet[randombytes_uniform(size)]);
    }
    return password;
}

QString DemoDataSummary() {
    return QStringLiteral("%1 家發行業者、%2 筆額度申請、%3 筆票樣、%4 位使用者")
        .arg(std::size(kIssuers))
        .arg(std::size(kApplications))
        .arg(std::size(kSamples))
        .arg(DemoUsers().size());
}

QList<Credential> WriteDemoData(Database& db) {
    // Hashing is slow on purpose: done before the transaction takes the database.
    QList<Credential> credentials;
    QStringList hashes;
    for (const DemoUser& user : DemoUsers()) {
        const QString password = RandomPassword(kPasswordLength);
        credentials.append({user.id, user.role, password});
        const QString hash = HashPassword(password);
        if (hash.isEmpty()) {
            throw Failure(0, QStringLiteral("無法產生密碼雜湊，未載入示範資料"),
                          QStringLiteral("quorvane-db"));
        }
        hashes.append(hash);
    }

    Transaction transaction(db);
    const QDateTime now = db.GetServerTime();
    const QString admin = DemoUsers().front().id;
    for (qsizetype i = 0; i < DemoUsers().size(); ++i) {
        const DemoUser& user = DemoUsers().at(i);
        db.ConnExecute(Statement(
            QStringLiteral("INSERT INTO BF_User (IdUser, PWD, NameUser, Note, PMI_Handling, "
                           "PMI_Verify, PMI_System, IdUserAddNew, TimeAddNew) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {user.id, hashes.at(i), user.name,
             QStringLiteral("示範帳號（") + user.role + QStringLiteral("）"), user.handling ? 1 : 0,
             user.verify ? 1 : 0, user.system ? 1 : 0, admin, now}));
    }
    writeIssuers(db, now);
    writeApplications(db, now);
    writeSamples(db, now);
    transaction.commit();
    return credentials;
}

}  // namespace quorvane::tool
