// Checking typed addresses and listing the computer's own.
#include "net/NetAddress.h"

#include <QHostAddress>
#include <QNetworkInterface>

#include <algorithm>

namespace {

// The longest name DNS allows.
constexpr int MaxHostLength = 253;

bool IsHostNameCharacter(QChar c)
{
    // Letters beyond ASCII are allowed: Qt turns such names into their
    // ASCII form before looking them up.
    return c.isLetterOrNumber() || c == u'-' || c == u'.' || c == u'_';
}

} // namespace

std::optional<QString> ParseHostText(const QString& text)
{
    QString host = text.trimmed();
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    if (host.isEmpty() || host.size() > MaxHostLength)
        return std::nullopt;
    QHostAddress address;
    if (address.setAddress(host))
        return address.toString();
    if (host.startsWith(u'.') || host.startsWith(u'-') || host.contains(QStringLiteral(".."))
        || !std::all_of(host.begin(), host.end(), IsHostNameCharacter))
        return std::nullopt;
    return host;
}

QString HostPortText(const QString& host, quint16 port)
{
    const bool ipv6 = host.contains(u':');
    return (ipv6 ? QStringLiteral("[%1]:%2") : QStringLiteral("%1:%2")).arg(host, QString::number(port));
}

QStringList LocalAddresses()
{
    QList<QHostAddress> reachable, loopback;
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        // Link-local IPv6 addresses need the interface typed after them;
        // nobody could use them from a text.
        if (address.isLoopback())
            loopback << address;
        else if (!address.isLinkLocal() || address.protocol() == QAbstractSocket::IPv4Protocol)
            reachable << address;
    }
    const QList<QHostAddress>& chosen = reachable.isEmpty() ? loopback : reachable;
    QStringList ipv4, ipv6;
    for (QHostAddress address : chosen) {
        address.setScopeId({});
        (address.protocol() == QAbstractSocket::IPv4Protocol ? ipv4 : ipv6) << address.toString();
    }
    ipv4.removeDuplicates();
    ipv6.removeDuplicates();
    return ipv4 + ipv6;
}
