#pragma once

#include "core/PrintOffsets.h"
#include "core/Settings.h"
#include "db/Database.h"
#include "documents/rules/WordDocument.h"

#include <QString>

namespace quorvane {

// The print template of a voucher sample: a Word template whose single page is the printable
// face of the voucher, 70 × 180 mm portrait, with the twelve named text boxes of layout 0
// already holding the sample's texts and the issuer's data. The print run fills in only the
// check code.

// How a layout row is placed: on the template page, the voucher turned a quarter turn
// clockwise (its left end at the top of the page, its top edge along the page's right side),
// moved by the template offsets; or on the confirmation letter, lying as it is over the front
// image, moved by the document offsets, the text always horizontal.
enum class ShapeMode { Template = 1, Confirmation = 2 };

// A box's place on the page in millimetres from the page's top left corner.
struct BoxPlacement {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// Where a layout row (millimetres on the landscape voucher: left, top, width, height) lands.
BoxPlacement PlaceShape(double shapeLeft, double shapeTop, double shapeWidth, double shapeHeight,
                        ShapeMode mode, const PrintOffsetValues& offsets);

// The checkcode placeholder the print run replaces: thirteen zeros.
inline const QString kTicketCheckPlaceholder = QStringLiteral("0000000000000");

// Adds to `document` the text box `nameShape` of layout 0 holding `text`, placed and formatted
// by its layout row. False, and nothing added, when layout 0 has no such row. A failure reading
// the row is shown with the text-box builder's location; Retry reads again, Ignore or Exit
// leave the box out (false).
bool CreateTicketTemplateShape(Database& db, WordDocument& document, const QString& nameShape,
                               const QString& text, ShapeMode mode,
                               const PrintOffsetValues& offsets);

// The texts of a sample's template, as the sample screen holds them (unsaved edits included)
// or as they are stored.
struct TicketTemplateTexts {
    QString title;
    QString webAddress;
    QString goodsName;
    QString issuerName;
    QString noVAT;
    QString nameCEO;
    QString addressCompany;
    QString telCompany;
    qint32 faceValue = 0;
    QString notes;
    QString dateBeginning;
    QString dateEnd;
};

// The issuer's data of the sample's contract (BF_Customer; nulls as empty) over `texts`.
// A sample or contract without an issuer row is a Failure "找不到票樣資料".
void ReadSampleIssuer(Database& db, const QString& sampleNumber, TicketTemplateTexts& texts);

// The stored sample's texts (OR_TicketForm) and its issuer's data, for a template made without
// the sample screen. A sample that does not exist is a Failure "找不到票樣資料".
TicketTemplateTexts StoredTicketTemplateTexts(Database& db, const QString& sampleNumber);

// The template folder: the workstation's PathTicketTemplate, or the default documents folder
// when unset; always ending with "/".
QString TicketTemplateFolder(const SettingsStore& settings);
// "票卷範本-" + sample: the name the sample row keeps in NameFileTemplate.
QString TicketTemplateName(const QString& sampleNumber);
// TicketTemplateName + ".dotx".
QString TicketTemplateFileName(const QString& sampleNumber);

// The template document of the sample: the template page and the twelve boxes in their order.
// `issuerNamePlaced` tells whether the issuer-name box could be placed; a missing layout row of
// any other box only leaves that box out.
struct TicketTemplateBuild {
    WordDocument document;
    bool issuerNamePlaced = false;
};
TicketTemplateBuild BuildTicketTemplate(Database& db, const TicketTemplateTexts& texts,
                                        const PrintOffsetValues& offsets);

// What generating a template came to: `built` when the template was written with every box it
// needs; otherwise `message` says why, for the warning titled kTemplateBuildTitle.
struct TicketTemplateOutcome {
    bool built = false;
    QString message;
};

// Builds the template and writes it to `path` (creating the folder on first use), replacing an
// existing file only once the new one is completely written. A template whose issuer-name box
// has no layout row is written all the same and reported as not built. A folder that cannot be
// created or written, or a failed read, is a Failure: the caller shows it with
// TicketTemplateLocation(); nothing is written then.
TicketTemplateOutcome CreateTicketDocumentsTemplate(Database& db, const QString& path,
                                                    const TicketTemplateTexts& texts,
                                                    const PrintOffsetValues& offsets);

// Titles and texts of the sample screen's template operations.
inline const QString kTemplateBuildTitle = QStringLiteral("票卷範本檔案建立");
inline const QString kTemplateAddNewTitle = QStringLiteral("產生票卷樣本檔");
inline const QString kTemplateOverwriteTitle = QStringLiteral("產生票卷範本檔");
inline const QString kTemplateOpenTitle = QStringLiteral("開啟現有範本檔");
inline const QString kTemplateCancelled = QStringLiteral("使用者已取消");
inline const QString kTemplateConnectionFailed = QStringLiteral("資料庫開啟失敗");
inline const QString kTemplateSampleMissing = QStringLiteral("找不到票樣資料");
inline const QString kTemplateReloadFailed = QStringLiteral("重新載入票樣資料時發生錯誤");
inline const QString kTemplateGenerationFailed = QStringLiteral("產生票卷範本檔發生錯誤");

// The question before replacing an existing template, and the warning when opening one that
// does not exist.
QString TemplateOverwriteQuestion(const QString& folder, const QString& fileName);
QString TemplateMissingMessage(const QString& folder, const QString& fileName);

// Location texts of the exception dialog.
QString TicketTemplateLocation();
QString TicketTemplateShapeLocation();
QString TemplateAddNewLocation(const QString& sampleNumber, const QString& contract);
QString TemplateOpenLocation(const QString& sampleNumber);

}  // namespace quorvane
