#include "core/CurrentUser.h"

namespace quorvane {

namespace {
User& storage() {
    static User user;
    return user;
}
}  // namespace

const User& CurrentUser() {
    return storage();
}

void SetCurrentUser(const User& user) {
    storage() = user;
}

}  // namespace quorvane
