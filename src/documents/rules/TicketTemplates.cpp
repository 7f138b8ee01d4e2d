#include "documents/rules/TicketTemplates.h"

#include "core/DocumentFolders.h"
#include "core/Failure.h"
#include "core/FailureRouting.h"
#include "db/FieldReaders.h"
#include "samples/rules/TemplateLayouts.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>

#include <optional>

namespace quorvane {

namespace {

const QString kSource = QStringLiteral("TicketTemplates");

// The voucher's short side: the width of the template page it is turned onto.
constexpr double kVoucherHeightMillimetres = 70;
// Where the voucher's front image lies on the confirmation letter's page.
constexpr double kLetterImageLeftMillimetres = 17;
constexpr double kLetterImageTopMillimetres = 71;

const QString kIssuerName = QStringLiteral("txtNameCompany");

PageSetup TemplatePage() {
    PageSetup page;
    page.widthMillimetres = 70;
    page.heightMillimetres = 180;
    page.landscape = false;
    page.topMillimetres = 10;
    page.bottomMillimetres = 5;
    page.leftMillimetres = 0;
    page.rightMillimetres = 0;
    page.headerMillimetres = 0;
    page.footerMillimetres = 0;
    return page;
}

}  // namespace

BoxPlacement PlaceShape(double shapeLeft, double shapeTop, double shapeWidth, double shapeHeight,
                        ShapeMode mode, const PrintOffsetValues& offsets) {
    if (mode == ShapeMode::Template) {
        // Turned a quarter turn clockwise: the voucher's top edge runs down the page's right
        // side, so a box's distance from that edge becomes its distance from the right.
        return {kVoucherHeightMillimetres - shapeHeight - shapeTop + offsets.templateTop,
                shapeLeft + offsets.templateLeft, shapeHeight, shapeWidth};
    }
    return {shapeLeft + kLetterImageLeftMillimetres + offsets.ticketFormLeft,
            shapeTop + kLetterImageTopMillimetres + offsets.ticketFormTop, shapeWidth, shapeHeight};
}

bool CreateTicketTemplateShape(Database& db, WordDocument& document, const QString& nameShape,
                               const QString& text, ShapeMode mode,
                               const PrintOffsetValues& offsets) {
    std::optional<ShapeLayout> layout;
    TextBox box;
    Procedure procedure(TicketTemplateShapeLocation());
    const StepOutcome outcome = procedure.step([&] {
        layout = TemplateLayouts(db).read(nameShape);
        if (!layout) {
            return;
        }
        const BoxPlacement place =
            PlaceShape(layout->ShapeLeft, layout->ShapeTop, layout->ShapeWidth, layout->ShapeHeight,
                       mode, offsets);
        box.name = nameShape;
        box.left = MillimetresToEmu(place.left);
        box.top = MillimetresToEmu(place.top);
        box.width = MillimetresToEmu(place.width);
        box.height = MillimetresToEmu(place.height);
        box.direction = mode == ShapeMode::Template
                            ? TextDirectionFromOrientation(layout->TextOrientation)
                            : TextDirection::Horizontal;
        box.font.face = layout->FontName;
        box.font.points = layout->FontSize;
        box.font.bold = layout->FontBold;
        box.font.italic = layout->FontItalic;
        box.lineSpacingPoints = layout->ParagraphLineSpacing;
        box.text = text;
    });
    if (outcome != StepOutcome::Done || !layout) {
        return false;
    }
    document.textBoxes.append(box);
    return true;
}

void ReadSampleIssuer(Database& db, const QString& sampleNumber, TicketTemplateTexts& texts) {
    UnitOfWork unit(db);
    QSqlQuery query = db.Query(Statement(
        QStringLiteral("SELECT c.NameCompany, c.NoVAT, c.NameCEO, c.AddressCompany, c.TelCompany, "
                       "c.AddressWeb FROM OR_TicketForm f INNER JOIN BF_Customer c "
                       "ON (c.NoContract = f.NoContract) WHERE (f.NoTicketForm = ?)"),
        {sampleNumber}));
    if (!query.next()) {
        throw Failure(0, kTemplateSampleMissing, kSource);
    }
    const QSqlRecord row = query.record();
    texts.issuerName = FieldText(row, QStringLiteral("NameCompany"));
    texts.noVAT = FieldText(row, QStringLiteral("NoVAT"));
    texts.nameCEO = FieldText(row, QStringLiteral("NameCEO"));
    texts.addressCompany = FieldText(row, QStringLiteral("AddressCompany"));
    texts.telCompany = FieldText(row, QStringLiteral("TelCompany"));
    texts.webAddress = FieldText(row, QStringLiteral("AddressWeb"));
}

TicketTemplateTexts StoredTicketTemplateTexts(Database& db, const QString& sampleNumber) {
    TicketTemplateTexts texts;
    {
        UnitOfWork unit(db);
        QSqlQuery query = db.Query(Statement(
            QStringLiteral("SELECT TitleTicket, NameTicket, AmountTicket, NoteTicket, "
                           "DateBeginning, DateEnd FROM OR_TicketForm WHERE (NoTicketForm = ?)"),
            {sampleNumber}));
        if (!query.next()) {
            throw Failure(0, kTemplateSampleMissing, kSource);
        }
        const QSqlRecord row = query.record();
        texts.title = FieldText(row, QStringLiteral("TitleTicket"));
        texts.goodsName = FieldText(row, QStringLiteral("NameTicket"));
        texts.faceValue = FieldLong(row, QStringLiteral("AmountTicket"));
        texts.notes = FieldText(row, QStringLiteral("NoteTicket"));
        texts.dateBeginning = FieldText(row, QStringLiteral("DateBeginning"));
        texts.dateEnd = FieldText(row, QStringLiteral("DateEnd"));
    }
    ReadSampleIssuer(db, sampleNumber, texts);
    return texts;
}

QString TicketTemplateFolder(const SettingsStore& settings) {
    QString folder = settings.GetPathTicketTemplate(DefaultPathTicketTemplate());
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\'))) {
        folder += QLatin1Char('/');
    }
    return folder;
}

QString TicketTemplateName(const QString& sampleNumber) {
    return QStringLiteral("票卷範本-") + sampleNumber;
}

QString TicketTemplateFileName(const QString& sampleNumber) {
    return TicketTemplateName(sampleNumber) + QStringLiteral(".dotx");
}

TicketTemplateBuild BuildTicketTemplate(Database& db, const TicketTemplateTexts& texts,
                                        const PrintOffsetValues& offsets) {
    TicketTemplateBuild build;
    build.document.page = TemplatePage();
    const std::pair<QString, QString> boxes[] = {
        {QStringLiteral("txtTicketTitle"), texts.title},
        {QStringLiteral("txtAddressWeb"), texts.webAddress},
        {QStringLiteral("txtTicketName"), texts.goodsName},
        {QStringLiteral("txtTicketAmount"), QString::number(texts.faceValue)},
        {kIssuerName, texts.issuerName},
        {QStringLiteral("txtNoVAT"), texts.noVAT},
        {QStringLiteral("txtNameCEO"), texts.nameCEO},
        {QStringLiteral("txtAddressCompany"), texts.addressCompany},
        {QStringLiteral("txtTelCompany"), texts.telCompany},
        {QStringLiteral("txtTicketNote"), texts.notes},
        {QStringLiteral("txtTicketDate"),
         texts.dateBeginning + QStringLiteral("～") + texts.dateEnd},
        {QStringLiteral("txtTicketCheck"), kTicketCheckPlaceholder},
    };
    for (const auto& [name, text] : boxes) {
        const bool placed =
            CreateTicketTemplateShape(db, build.document, name, text, ShapeMode::Template, offsets);
        if (name == kIssuerName) {
            build.issuerNamePlaced = placed;
        }
    }
    return build;
}

TicketTemplateOutcome CreateTicketDocumentsTemplate(Database& db, const QString& path,
                                                    const TicketTemplateTexts& texts,
                                                    const PrintOffsetValues& offsets) {
    const TicketTemplateBuild build = BuildTicketTemplate(db, texts, offsets);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        throw Failure(0,
                      QStringLiteral("無法建立票卷範本資料夾：\n") +
                          QDir::toNativeSeparators(folder) +
                          QStringLiteral("\n\n請確認您有寫入上層資料夾的權限，"
                                         "或在系統設定中改選其他範本資料夾。"),
                      kSource);
    }
    WriteWordFile(build.document, path);
    if (!build.issuerNamePlaced) {
        return {false, QStringLiteral("票卷範本缺少發行人名稱：範本格式 0 沒有文字方塊「") +
                           kIssuerName +
                           QStringLiteral("」的設定。\r\n\r\n請在「E5-票卷範本格式設定」"
                                          "補上此方塊後，重新產生票卷範本檔。")};
    }
    return {true, QString()};
}

QString TemplateOverwriteQuestion(const QString& folder, const QString& fileName) {
    return QStringLiteral(
               "檔案已存在，是否覆蓋？\r\n\r\n系統在產生票卷範本檔時發現舊有檔案已存在"
               "\r\n檔案位置：") +
           folder + QStringLiteral("\r\n檔案名稱：") + fileName;
}

QString TemplateMissingMessage(const QString& folder, const QString& fileName) {
    return QStringLiteral(
               "開啟失敗，檔案不存在\r\n\r\n此票卷範本檔案不存在，"
               "請檢查該檔案儲存位置及檔案，或重新產生範本檔\r\n檔案位置：") +
           folder + QStringLiteral("\r\n檔案名稱：") + fileName;
}

QString TicketTemplateLocation() {
    return ScreenLocation(QStringLiteral("modKVD_TicketPrint.CreateTicketDocumentsTemplate"));
}

QString TicketTemplateShapeLocation() {
    return ScreenLocation(QStringLiteral("modKVD_TicketPrint.CreateTicketTemplateShape"));
}

QString TemplateAddNewLocation(const QString& sampleNumber, const QString& contract) {
    return ScreenLocation(QStringLiteral("frmOR_TicketForm.FormTicketTemplate_AddNew")) +
           QStringLiteral("NoTicketForm　　：") + sampleNumber +
           QStringLiteral("\r\nsNoContract　　 ：") + contract;
}

QString TemplateOpenLocation(const QString& sampleNumber) {
    return ScreenLocation(QStringLiteral("frmOR_TicketForm.FormTicketTemplate_Open")) +
           QStringLiteral("NoTicketForm　　：") + sampleNumber;
}

}  // namespace quorvane
