#pragma once

#include <QString>

namespace quorvane {

// The document folders used when the settings hold none: "票卷列印範本檔" and "客戶票樣確認"
// in a "Quorvane" folder of the user's documents folder (of the user's data folder when the
// desktop names no documents folder), each ending with "/" so that a file name can follow
// directly. Never the program's own folder, which an installed program cannot write; the
// documents are created in them on first use.
QString DefaultPathTicketTemplate();
QString DefaultPathTicketForm();

}  // namespace quorvane
