#pragma once

#include <QString>

namespace quorvane {

// The logged-in user, filled once by a successful login and read by every permission test
// and every audit user column.
struct User {
    QString IdUser;  // exactly as stored in BF_User.IdUser
    QString NameUser;
    bool PMI_Handling = false;  // clerk (經辦)
    bool PMI_Verify = false;    // supervisor (主管)
    bool PMI_System = false;    // system administrator
};

const User& CurrentUser();
void SetCurrentUser(const User& user);

}  // namespace quorvane
