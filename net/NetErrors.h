// Why a connection could not be made or came to an end, and the Czech text
// the player reads about it. The texts are built here from the program's own
// templates; the peer contributes at most a number or its checked program
// name, never a template.
#pragma once

#include "net/Match.h"
#include "net/Protocol.h"

#include <QString>

#include <cstdint>

enum class TNetError : std::uint8_t {
    None,
    // Making the connection.
    InvalidAddress, // the address field holds no usable host name or port
    PortInUse,      // another program listens on the port
    ListenFailed,   // the port cannot be listened on for another reason
    HostNotFound,
    Refused,
    Unreachable,
    Timeout,        // no connection and hello within the connect time
    Busy,           // the server plays with somebody else
    // The peer leaving.
    PeerQuit,       // a polite goodbye
    PeerLost,       // the connection dropped or the peer fell silent
    Rejected,       // the peer hung up because it refused what this side sent
    // The peer breaking the rules.
    VersionMismatch,
    ProtocolError,  // a frame or message that is not allowed here
    IllegalMove,
    OutOfTurn,
    LostSync,       // the boards differ after a move
    SlowFrame,      // a frame begun and not finished in time
};

// A line for the player. `where` is the host (and port) the player typed, or
// the peer's address; `detail` is what the error carries: a port, a version
// number, a span of time, the kind of fault.
QString NetErrorText(TNetError error, const QString& where = {}, const QString& detail = {});

// Server: a line about a connection turned away while waiting for an
// opponent or during a game; `error` is why, `detail` as for NetErrorText.
QString RefusedPeerText(const QString& address, TNetError error, const QString& detail = {});

// "1 sekundy", "2 sekund", "10 sekund": a span of seconds after "do".
QString SecondsText(int seconds);

// The fault in a frame, in words, for NetErrorText's detail.
QString DecodeErrorText(TNetDecodeError error);

// Faults of a well-formed message that comes at the wrong moment.
enum class TNetFault : std::uint8_t {
    UnexpectedMessage, // say, an answer to a question nobody asked
    WrongGame,         // a move for a game that is not the current one
    WrongRole,         // a hello from a server to a server, or a client to a client
};
QString NetFaultText(TNetFault fault);
QString MoveCheckText(TMoveCheck check);

// The error a goodbye of the peer stands for, and the code this side sends
// for an error of its own.
TNetError ErrorOfBye(std::uint8_t reason);
std::uint8_t ByeReasonOf(TNetError error);
