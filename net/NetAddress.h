// Addresses of a game over the network: the port both sides use unless the
// players choose another, what a player may type as the server's address,
// and the addresses a server tells its players.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

constexpr quint16 NetDefaultPort = 41095;

// A host name or an IPv4 or IPv6 address as typed (spaces around it, an IPv6
// address in brackets), ready for connecting; nothing when it is neither.
std::optional<QString> ParseHostText(const QString& text);

// The host and port in the form a player would type them: "host:port", an
// IPv6 address in brackets.
QString HostPortText(const QString& host, quint16 port);

// This computer's addresses another computer can reach it at, IPv4 first;
// the loopback addresses when there is no other.
QStringList LocalAddresses();
