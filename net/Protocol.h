// The wire format of a game over the network (docs/protocol.md): every
// message is a frame of a two-byte big-endian length and that many bytes of
// payload, whose first byte names the message. Encoding and decoding are pure
// functions of bytes, so the parser is tested and fuzzed without a socket,
// and every byte the peer sends passes through DecodeFrame before anything
// else looks at it.
#pragma once

#include "game/Moves.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <variant>

constexpr std::uint8_t NetProtocolVersion = 1;
// The largest payload a frame may announce; every message is far smaller.
constexpr int NetMaxPayload = 4096;
constexpr int NetFrameHeader = 2;
// The program name and version a hello carries: printable, short.
constexpr int NetMaxProgramLength = 32;

enum class TNetMessageType : std::uint8_t {
    Hello = 1,
    Move = 2,
    NewGameRequest = 3,
    NewGameAnswer = 4,
    NewGame = 5,
    Bye = 6,
    Ping = 7,
};

enum class TNetRole : std::uint8_t { Server = 0, Client = 1 };

// Why a side hangs up; the peer turns the code into its own text, so an
// unknown code is passed through and shown as a plain goodbye.
enum TNetByeReason : std::uint8_t {
    brQuit = 0,            // the player left
    brBusy = 1,            // the server is already playing with someone
    brVersionMismatch = 2, // the hello named another protocol version
    brProtocolError = 3,   // the other side sent something this side refuses
    brLostSync = 4,        // the boards no longer agree
    brTimeout = 5,         // the other side stayed silent too long
};

// One game of a connection: its number (1 for the first), the board size and
// the side to begin (0 Red, 1 Blue, as TGameState::CurrentPlayer counts).
struct TNetGame {
    std::uint16_t Number = 0;
    std::uint8_t Width = MaxBoardSize;
    std::uint8_t Height = MaxBoardSize;
    std::uint8_t FirstPlayer = 0;

    TBoardSize Size() const { return {Width, Height}; }
    friend bool operator==(const TNetGame&, const TNetGame&) = default;
};

// The first message each side sends. The server's game is the one both
// play; a client sends its own settings there, number 0, which the server
// does not use.
struct TNetHello {
    std::uint8_t Protocol = NetProtocolVersion;
    TNetRole Role = TNetRole::Client;
    TNetGame Game;
    QString Program;

    friend bool operator==(const TNetHello&, const TNetHello&) = default;
};

// A move of the sender's side in game `Game`, with the hash of the sender's
// board once the move and everything it caused are settled.
struct TNetMove {
    std::uint16_t Game = 0;
    TMove Move;
    std::uint64_t BoardHash = 0;

    friend bool operator==(const TNetMove&, const TNetMove&) = default;
};

struct TNetNewGameRequest {
    friend bool operator==(const TNetNewGameRequest&, const TNetNewGameRequest&) = default;
};

struct TNetNewGameAnswer {
    bool Accepted = false;
    friend bool operator==(const TNetNewGameAnswer&, const TNetNewGameAnswer&) = default;
};

// Sent by the server only, once both sides have agreed on a new game.
struct TNetNewGame {
    TNetGame Game;
    friend bool operator==(const TNetNewGame&, const TNetNewGame&) = default;
};

struct TNetBye {
    std::uint8_t Reason = brQuit;
    friend bool operator==(const TNetBye&, const TNetBye&) = default;
};

struct TNetPing {
    friend bool operator==(const TNetPing&, const TNetPing&) = default;
};

using TNetMessage = std::variant<TNetHello, TNetMove, TNetNewGameRequest, TNetNewGameAnswer, TNetNewGame, TNetBye,
                                 TNetPing>;

TNetMessageType TypeOf(const TNetMessage& message);

enum class TNetDecodeError : std::uint8_t {
    None,
    Incomplete,         // not a whole frame yet: wait for more bytes
    EmptyFrame,         // a length of 0
    FrameTooLarge,      // a length over NetMaxPayload
    UnknownType,        // a type byte no message has
    BadSize,            // the payload is too short or too long for its type
    BadMagic,           // a hello that does not start with "ZELVON"
    UnsupportedVersion, // a hello of another protocol version; Message holds it
    BadValue,           // a field out of its range
};

struct TNetDecoded {
    TNetDecodeError Error = TNetDecodeError::Incomplete;
    TNetMessage Message;
    // Bytes the frame took from the front of the input; 0 unless Error is None.
    qsizetype Consumed = 0;
};

// Reads the frame at the front of `bytes`. An announced length over the limit
// is refused as soon as the two length bytes are there, before the payload.
TNetDecoded DecodeFrame(QByteArrayView bytes);

// The whole frame, header included. Encoding what DecodeFrame accepted gives
// back the same bytes: every message has one encoding.
QByteArray EncodeFrame(const TNetMessage& message);

// Splits a byte stream into messages. The first error sticks: a stream that
// has gone wrong once is not read further.
class TNetFrameReader {
public:
    void Append(QByteArrayView bytes);
    // The next whole message, Incomplete when none is buffered, or the error.
    TNetDecoded Next();
    // Bytes of a frame begun and not finished.
    qsizetype Pending() const { return buffer_.size() - offset_; }

private:
    QByteArray buffer_;
    qsizetype offset_ = 0;
    TNetDecodeError error_ = TNetDecodeError::None;
};
