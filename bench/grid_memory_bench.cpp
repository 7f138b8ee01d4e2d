// Memory of a report grid's rows: the voucher report (17 columns) of 1,000,000 printed vouchers
// held by the grid's model as typed columns, against the same rows held the way the grid held
// them before, one display text per cell row by row (a QString per cell, as the drivers hand
// them out, so no two cells share their characters). Both are measured in this one process
// with glibc's allocation statistics: the bytes in use after the rows are held, less the bytes
// in use before.

#include "ui/ReportGrid.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

using namespace quorvane;

namespace {

constexpr int kColumns = 17;

std::size_t BytesInUse() {
    const struct mallinfo2 info = mallinfo2();
    // Large blocks are mapped on their own and are not counted among the others.
    return info.uordblks + info.hblkhd;
}

// The voucher report's columns as the report screen declares them.
QVector<ReportColumn> VoucherColumns() {
    const auto whole = [](const char* caption, const char* format, int width) {
        return ReportColumn(QString::fromUtf8(caption), CellType::Integer, Qt::AlignRight,
                            SortKind::Generic, QString::fromUtf8(format), width);
    };
    const auto text = [](const char* caption, int width) {
        return ReportColumn(QString::fromUtf8(caption), CellType::Text, Qt::AlignLeft,
                            SortKind::Generic, QStringLiteral("@"), width);
    };
    const auto time = [](const char* caption, CellType type, const char* format, int width) {
        return ReportColumn(QString::fromUtf8(caption), type, Qt::AlignLeft, SortKind::Generic,
                            QString::fromUtf8(format), width);
    };
    return {
        whole("查詢項次", "###,##0", 1100),
        text("票樣編號", 2150),
        text("客戶統編", 0),
        text("公司名稱", 2000),
        text("契約編號", 1500),
        time("信託保證期間起", CellType::Date, "[$-404]emmdd;@", 0),
        time("信託保證期間訖", CellType::Date, "[$-404]emmdd;@", 0),
        text("商品名稱", 2200),
        whole("票卷價格", "###,##0", 1050),
        whole("票樣項次", "0", 1100),
        whole("票卷流水號", "0000000000", 1600),
        whole("禮卷識別碼", "0000000000000", 1600),
        text("作廢", 800),
        text("列印人員", 900),
        time("列印時間", CellType::Time, "yyyy/mm/dd hh:mm:ss", 1900),
        text("作廢人員", 900),
        time("作廢時間", CellType::Time, "yyyy/mm/dd hh:mm:ss", 1900),
    };
}

// Hands each voucher row, as the report's query returns it, to `take`: 2,000 issuers with five
// samples each, one voucher in twenty nullified.
void VoucherRows(int rows, const std::function<void(const QVariantList&)>& take) {
    std::mt19937_64 random(20261211);
    const auto pick = [&](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(random);
    };
    const QString syllables = QStringLiteral(
        "王李張陳林黃吳劉蔡楊許鄭謝郭洪曾邱廖賴周葉蘇莊呂江何蕭羅高潘簡朱鍾游彭詹胡施沈余盧梁");
    const QStringList suffixes = {QStringLiteral("股份有限公司"), QStringLiteral("有限公司"),
                                  QStringLiteral("商行"), QStringLiteral("餐飲集團")};
    const int amounts[] = {100, 500, 1000, 2000, 5000, 10000};
    constexpr int kContracts = 2000;
    const int perContract = qMax(1, rows / kContracts);
    QVariantList row;
    int item = 0;
    for (int contract = 0; item < rows; ++contract) {
        const QString noContract = QStringLiteral("C%1").arg(10000 + contract, 5, 10, QChar(u'0'));
        const QString noVat =
            QStringLiteral("%1").arg(20000000 + contract * 37, 8, 10, QChar(u'0'));
        QString company;
        for (int i = 0, length = 2 + pick(3); i < length; ++i) {
            company += syllables.at(pick(static_cast<int>(syllables.size())));
        }
        company += suffixes.at(pick(static_cast<int>(suffixes.size())));
        const QDate begin = QDate(2025, 1, 1).addDays(pick(365));
        qint64 serial = 1000000 + static_cast<qint64>(pick(400000000));
        for (int i = 0; i < perContract && item < rows; ++i) {
            const int sample = 1 + pick(5);
            const int amount = amounts[pick(6)];
            const bool nullified = pick(20) == 0;
            const QDateTime printed(begin.addDays(pick(300)),
                                    QTime(8 + pick(10), pick(60), pick(60)));
            serial += 1 + pick(3);
            row = {
                ++item,
                noContract + QStringLiteral("-%1").arg(sample, 3, 10, QChar(u'0')),
                noVat,
                company,
                noContract,
                begin,
                begin.addYears(1),
                QStringLiteral("禮券%1元").arg(amount),
                amount,
                sample,
                serial,
                static_cast<qint64>(
                    std::uniform_int_distribution<qint64>(0, 9999999999999)(random)),
                nullified ? QStringLiteral("作廢") : QString(),
                QStringLiteral("USER%1").arg(1 + pick(20), 2, 10, QChar(u'0')),
                printed,
                nullified ? QStringLiteral("USER%1").arg(1 + pick(20), 2, 10, QChar(u'0'))
                          : QVariant(),
                nullified ? QVariant(printed.addDays(1)) : QVariant(),
            };
            take(row);
        }
    }
}

// A cell's text as the grid used to keep it: its own copy of the characters.
QString OwnText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    QString text;
    switch (value.typeId()) {
        case QMetaType::QDateTime:
            text = value.toDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
            break;
        case QMetaType::QDate:
            text = value.toDate().toString(QStringLiteral("yyyy/MM/dd"));
            break;
        default:
            text = value.toString();
    }
    return QString(text.constData(), text.size());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;

    // Before: a display text per cell, row by row, and the order of the rows shown.
    double textsPerRow = 0;
    {
        const std::size_t start = BytesInUse();
        std::vector<QString> cells;
        std::vector<int> order;
        VoucherRows(rows, [&](const QVariantList& row) {
            for (const QVariant& value : row) {
                cells.push_back(OwnText(value));
            }
            order.push_back(static_cast<int>(order.size()));
        });
        textsPerRow = double(BytesInUse() - start) / rows;
    }

    // After: the grid's model holding the typed columns.
    double typedPerRow = 0;
    {
        const std::size_t start = BytesInUse();
        ReportGridModel model;
        {
            ReportTable table(VoucherColumns());
            VoucherRows(rows, [&](const QVariantList& row) { table.appendRow(row); });
            model.setTable(std::move(table));
        }
        typedPerRow = double(BytesInUse() - start) / rows;
        if (model.rowCount() != rows || model.columnCount() != kColumns) {
            std::fprintf(stderr, "the grid holds %d rows of %d columns\n", model.rowCount(),
                         model.columnCount());
            return EXIT_FAILURE;
        }
    }

    std::printf(
        "%d voucher rows, %d columns: typed columns %.0f bytes per row (%.0f MB) | a text per "
        "cell %.0f bytes per row (%.0f MB) | ratio %.3f\n",
        rows, kColumns, typedPerRow, typedPerRow * rows / 1e6, textsPerRow,
        textsPerRow * rows / 1e6, typedPerRow / textsPerRow);
    return EXIT_SUCCESS;
}
