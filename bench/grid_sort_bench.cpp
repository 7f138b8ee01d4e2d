// A report grid of 100,000 rows: the sort a caption click runs, against a bare std::sort of the
// same column's texts as shown; the whole click; and filling the grid, against the same reset of
// a bare table model of the texts shown in a plain table view. Prints medians, one line per
// measurement.

#include "ui/ReportGrid.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDate>
#include <QDateTime>
#include <QHeaderView>
#include <QString>
#include <QStringList>
#include <QTableView>
#include <QTime>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

using namespace quorvane;

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 9;

enum Column {
    Item,       // 查詢項次
    Sample,     // 票樣編號
    Company,    // 公司名稱
    Contract,   // 契約編號
    Amount,     // 票卷價格
    Serial,     // 票卷流水號
    User,       // 列印人員
    PrintTime,  // 列印時間
    ColumnCount
};

// Rows as the voucher report's query returns them: ordered by contract, then serial.
ReportTable MakeReport() {
    std::mt19937 random(20261211);
    const QString syllables = QStringLiteral(
        "王李張陳林黃吳劉蔡楊許鄭謝郭洪曾邱廖賴周葉蘇莊呂江何蕭羅高潘簡朱鍾游彭詹胡施沈余盧梁"
        "趙顏柯翁魏孫戴范方宋鄧杜傅侯曹薛丁卓阮馬董温唐藍石蔣古紀姚連馮歐程湯黄田康姜白汪鄒尤巫"
        "大同統一全家新光遠東太平洋誠品好樂迪晶華國賓福華寒舍漢來義美");
    const QStringList suffixes = {QStringLiteral("股份有限公司"), QStringLiteral("有限公司"),
                                  QStringLiteral("商行"),         QStringLiteral("百貨"),
                                  QStringLiteral("企業社"),       QStringLiteral("餐飲集團")};
    const int amounts[] = {100, 500, 1000, 2000, 5000, 10000};
    const auto pick = [&](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(random);
    };

    constexpr int kContracts = 2000;
    std::vector<QString> companies;
    for (int contract = 0; contract < kContracts; ++contract) {
        QString name;
        const int length = 2 + pick(3);
        for (int i = 0; i < length; ++i) {
            name += syllables.at(pick(static_cast<int>(syllables.size())));
        }
        companies.push_back(name + suffixes.at(pick(static_cast<int>(suffixes.size()))));
    }

    ReportTable table({
        {QStringLiteral("查詢項次"), CellType::Integer, Qt::AlignRight},
        {QStringLiteral("票樣編號")},
        {QStringLiteral("公司名稱")},
        {QStringLiteral("契約編號")},
        {QStringLiteral("票卷價格"), CellType::Integer, Qt::AlignRight, SortKind::Generic,
         QStringLiteral("###,##0")},
        {QStringLiteral("票卷流水號"), CellType::Integer, Qt::AlignRight, SortKind::Generic,
         QStringLiteral("0000000000")},
        {QStringLiteral("列印人員")},
        {QStringLiteral("列印時間"), CellType::Time},
    });
    const int perContract = kRows / kContracts;
    int row = 0;
    for (int contract = 0; contract < kContracts; ++contract) {
        const QString noContract =
            QStringLiteral("C%1").arg(10000 + contract * 7, 5, 10, QChar(u'0'));
        qint64 serial = 1000000 + static_cast<qint64>(pick(400000000));
        for (int i = 0; i < perContract; ++i, ++row) {
            serial += 1 + pick(3);
            const QDate date = QDate(2025, 1, 1).addDays(pick(730));
            table.appendRow({
                row + 1,
                noContract + QStringLiteral("-%1").arg(1 + pick(5), 3, 10, QChar(u'0')),
                companies[static_cast<std::size_t>(contract)],
                noContract,
                amounts[pick(6)],
                serial,
                QStringLiteral("USER%1").arg(1 + pick(20), 2, 10, QChar(u'0')),
                QDateTime(date, QTime(8 + pick(10), pick(60))),
            });
        }
    }
    return table;
}

double Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The reference for filling: the same texts in the plainest table model.
class BareModel : public QAbstractTableModel {
public:
    void fill(std::vector<QString> cells, int columns) {
        beginResetModel();
        cells_ = std::move(cells);
        columns_ = columns;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() || columns_ == 0 ? 0 : static_cast<int>(cells_.size()) / columns_;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : columns_;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole) {
            return {};
        }
        return cells_[static_cast<std::size_t>(index.row()) * columns_ + index.column()];
    }

private:
    std::vector<QString> cells_;
    int columns_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    const ReportTable report = MakeReport();
    ReportGrid grid;
    grid.setObjectName(QStringLiteral("flxMain"));
    grid.setPinnedRowCount(1);
    grid.resize(1000, 700);
    grid.show();
    QApplication::processEvents();

    const auto refill = [&] {
        grid.setTable(report);
        grid.setPinnedText(0, Item, QStringLiteral("100,000"));
        QApplication::processEvents();
    };

    struct Case {
        const char* what;
        Column column;
        Qt::SortOrder order;
    };
    const Case cases[] = {
        {"公司名稱 ascending (names, text)", Company, Qt::AscendingOrder},
        {"票卷價格 ascending (amounts, numbers)", Amount, Qt::AscendingOrder},
        {"票卷流水號 ascending (serials, numbers)", Serial, Qt::AscendingOrder},
        {"列印時間 descending (times)", PrintTime, Qt::DescendingOrder},
    };
    std::printf("%d rows, %d columns, medians of %d runs (%s platform)\n", kRows,
                static_cast<int>(ColumnCount), kRuns,
                QApplication::platformName().toUtf8().constData());
    for (const Case& c : cases) {
        std::vector<double> sorted;
        std::vector<double> bare;
        for (int run = 0; run < kRuns; ++run) {
            // Both start from the rows in the query's order.
            refill();
            sorted.push_back(Milliseconds(
                [&] { grid.gridModel()->sort(c.column, c.order, SortKind::Generic); }));
            std::vector<QString> texts;
            texts.reserve(kRows);
            for (int row = 0; row < kRows; ++row) {
                texts.push_back(report.text(row, c.column));
            }
            bare.push_back(Milliseconds([&] {
                if (c.order == Qt::AscendingOrder) {
                    std::sort(texts.begin(), texts.end());
                } else {
                    std::sort(texts.begin(), texts.end(),
                              [](const QString& a, const QString& b) { return b < a; });
                }
            }));
        }
        const double grid = Median(sorted);
        const double reference = Median(bare);
        std::printf("grid sort %-40s %7.1f ms | bare std::sort %7.1f ms | ratio %.2f\n", c.what,
                    grid, reference, grid / reference);
    }

    // The whole click: arrow and widths, the sort, the current cell, and the repaint after it.
    {
        std::vector<double> clicks;
        ReportGridHeader* header = grid.gridHeader();
        for (int run = 0; run < kRuns; ++run) {
            refill();
            const QPoint caption(
                header->sectionViewportPosition(Company) + header->sectionSize(Company) / 2,
                header->captionHeight() / 2);
            clicks.push_back(Milliseconds([&] {
                GridMouseUP(&grid, Qt::LeftButton, Qt::NoModifier, caption);
                grid.viewport()->repaint();
                header->viewport()->repaint();
            }));
        }
        std::printf("header click on 公司名稱 with repaint %7.1f ms\n", Median(clicks));
    }

    // Filling: the model reset and the first paint, against a bare model in a plain view.
    {
        BareModel bareModel;
        QTableView bareView;
        // Rows as high as the grid's, so that both paint as many cells.
        bareView.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        bareView.verticalHeader()->setDefaultSectionSize(
            grid.verticalHeader()->defaultSectionSize());
        bareView.verticalHeader()->hide();
        bareView.setModel(&bareModel);
        bareView.resize(1000, 700);
        bareView.show();
        QApplication::processEvents();
        std::vector<QString> shown;
        shown.reserve(static_cast<std::size_t>(kRows) * ColumnCount);
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < ColumnCount; ++column) {
                shown.push_back(report.text(row, column));
            }
        }
        std::vector<double> fills;
        std::vector<double> bare;
        for (int run = 0; run < kRuns; ++run) {
            grid.clear();
            bareModel.fill({}, 0);
            QApplication::processEvents();
            ReportTable copy = report;
            std::vector<QString> cells = shown;
            fills.push_back(Milliseconds([&] {
                grid.setTable(std::move(copy));
                QApplication::processEvents();
                grid.viewport()->repaint();
            }));
            bare.push_back(Milliseconds([&] {
                bareModel.fill(std::move(cells), ColumnCount);
                QApplication::processEvents();
                bareView.viewport()->repaint();
            }));
        }
        const double fill = Median(fills);
        const double reference = Median(bare);
        std::printf(
            "grid fill %d rows and first paint %7.1f ms | bare table model %7.1f ms | "
            "ratio %.2f\n",
            kRows, fill, reference, fill / reference);
    }
    return EXIT_SUCCESS;
}
