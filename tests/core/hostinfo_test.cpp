#include "core/HostInfo.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace quorvane {
namespace {

// An address as the system stores it: its bytes in this order in memory.
std::uint32_t Address(unsigned char a, unsigned char b, unsigned char c, unsigned char d) {
    const unsigned char bytes[4] = {a, b, c, d};
    std::uint32_t address = 0;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

TEST(IpToText, WritesTheBytesInMemoryOrder) {
    EXPECT_EQ(IpToText(Address(0xc0, 0xa8, 0x01, 0x14)), QStringLiteral("192.168.1.20"));
    EXPECT_EQ(IpToText(Address(0, 0, 0, 0)), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(IpToText(Address(255, 255, 255, 255)), QStringLiteral("255.255.255.255"));
    EXPECT_EQ(IpToText(Address(10, 0, 200, 7)), QStringLiteral("10.0.200.7"));
}

TEST(SelectLocalIP, TakesTheFirstAddressThatIsNeitherLoopbackNorUnset) {
    const struct {
        const char* what;
        std::vector<std::uint32_t> addresses;
        QString expected;
    } cases[] = {
        {"no addresses", {}, QString()},
        {"only loopback", {Address(127, 0, 0, 1)}, QString()},
        {"loopback and unset", {Address(127, 0, 0, 1), Address(0, 0, 0, 0)}, QString()},
        {"two cards",
         {Address(192, 168, 1, 20), Address(10, 0, 0, 5)},
         QStringLiteral("192.168.1.20")},
        {"loopback first",
         {Address(127, 0, 0, 1), Address(0, 0, 0, 0), Address(10, 0, 0, 5),
          Address(192, 168, 1, 20)},
         QStringLiteral("10.0.0.5")},
        {"other loopback addresses count", {Address(127, 0, 1, 1)}, QStringLiteral("127.0.1.1")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SelectLocalIP(c.addresses), c.expected) << c.what;
    }
}

TEST(GetLocalIP, IsOneOfTheMachinesUsableAddresses) {
    QStringList usable;
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol &&
            address != QHostAddress(QHostAddress::LocalHost) &&
            address != QHostAddress(QHostAddress::AnyIPv4)) {
            usable << address.toString();
        }
    }
    const QString ip = GetLocalIP();
    if (usable.isEmpty()) {
        EXPECT_EQ(ip, QString());
    } else {
        EXPECT_TRUE(usable.contains(ip)) << ip.toStdString();
    }
}

TEST(HostFacts, NameTheMachineAndTheUser) {
    EXPECT_EQ(GetComputerNameText(), QSysInfo::machineHostName());
    const QString user = GetUserNameOS();
    EXPECT_FALSE(user.isEmpty());
    EXPECT_FALSE(user.contains(QChar(u'\0')));
}

TEST(TextFromPointer, CopiesAtMostLengthBytesUpToTheFirstZero) {
    const char text[] = "HOST\0junk";
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    const struct {
        const char* pointer;
        std::size_t length;
        QString expected;
    } cases[] = {
        {nullptr, 16, QString()},
        {text, 0, QString()},
        {text, 2, QStringLiteral("HO")},
        {text, sizeof text, QStringLiteral("HOST")},
        {unterminated, sizeof unterminated, QStringLiteral("abcd")},  // stops at n, reads no more
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextFromPointer(c.pointer, c.length), c.expected) << c.length;
    }
}

TEST(FileAndFolderExists, TellFilesFromFolders) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("票卷範本-A001-001.dotx"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString sub = folder.filePath(QStringLiteral("客戶票樣確認"));
    ASSERT_TRUE(QDir().mkdir(sub));
    const QString missing = folder.filePath(QStringLiteral("missing"));
    const struct {
        QString path;
        bool file;
        bool folder;
    } cases[] = {
        {file, true, false},
        {sub, false, true},
        {sub + QLatin1Char('/'), false, true},
        {file + QLatin1Char('/'), false, false},
        {missing, false, false},
        {QString(), false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileExists(c.path), c.file) << c.path.toStdString();
        EXPECT_EQ(FolderExists(c.path), c.folder) << c.path.toStdString();
    }
}

}  // namespace
}  // namespace quorvane
