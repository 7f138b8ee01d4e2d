#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvane {

// Facts about the workstation and its files. None of them fails: each returns its empty or
// false result instead.
QString GetComputerNameText();
QString GetUserNameOS();
// The first IPv4 address of the machine's interfaces, in the system's order, that is neither
// 127.0.0.1 nor 0.0.0.0; empty when there is none.
QString GetLocalIP();
// The choice GetLocalIP makes among the machine's IPv4 addresses, given in the system's order.
QString SelectLocalIP(const std::vector<std::uint32_t>& addressesInMemoryOrder);
// The four bytes of an IPv4 address in memory order, joined by ".".
QString IpToText(std::uint32_t addressInMemoryOrder);
// At most `length` bytes from a zero-terminated local 8-bit text; empty for a null pointer.
QString TextFromPointer(const char* text, std::size_t length);
bool FileExists(const QString& path);
bool FolderExists(const QString& path);

}  // namespace quorvane
