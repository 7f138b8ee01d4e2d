#include "core/HostInfo.h"

#include <QFileInfo>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <vector>

namespace quorvane {

QString GetComputerNameText() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    return TextFromPointer(name, sizeof name);
}

QString GetUserNameOS() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_name == nullptr) {
        return {};
    }
    return QString::fromLocal8Bit(found->pw_name);
}

QString SelectLocalIP(const std::vector<std::uint32_t>& addressesInMemoryOrder) {
    for (const std::uint32_t address : addressesInMemoryOrder) {
        const QString text = IpToText(address);
        if (!text.isEmpty() && text != QStringLiteral("127.0.0.1") &&
            text != QStringLiteral("0.0.0.0")) {
            return text;
        }
    }
    return {};
}

QString GetLocalIP() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return {};
    }
    std::vector<std::uint32_t> addresses;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr != nullptr && entry->ifa_addr->sa_family == AF_INET) {
            sockaddr_in address{};
            std::memcpy(&address, entry->ifa_addr, sizeof address);
            addresses.push_back(address.sin_addr.s_addr);
        }
    }
    freeifaddrs(list);
    return SelectLocalIP(addresses);
}

QString IpToText(std::uint32_t addressInMemoryOrder) {
    unsigned char bytes[4];
    std::memcpy(bytes, &addressInMemoryOrder, sizeof bytes);
    return QStringLiteral("%1.%2.%3.%4").arg(bytes[0]).arg(bytes[1]).arg(bytes[2]).arg(bytes[3]);
}

QString TextFromPointer(const char* text, std::size_t length) {
    if (text == nullptr) {
        return {};
    }
    // strnlen reads no further than the first zero byte or `length` bytes.
    const std::size_t used = strnlen(text, length);
    return QString::fromLocal8Bit(text, static_cast<qsizetype>(used));
}

bool FileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool FolderExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

}  // namespace quorvane
