// Frames and messages to bytes and back; the layouts are in docs/protocol.md.
#include "net/Protocol.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<char, 6> Magic{'Z', 'E', 'L', 'V', 'O', 'N'};
// Type byte, magic and version: what every protocol version keeps in place,
// so a peer of another version is still recognised as one.
constexpr int HelloPrefix = 1 + int(Magic.size()) + 1;
constexpr int HelloFixed = HelloPrefix + 1 + 2 + 3 + 1;
constexpr int MoveSize = 1 + 2 + 4 + 8;
constexpr int NewGameSize = 1 + 2 + 3;

bool IsProgramCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' || c == '.'
        || c == '-' || c == '+' || c == '_' || c == '~';
}

bool IsBoardSide(std::uint8_t cells) { return cells >= MinBoardSize && cells <= MaxBoardSize; }

// Big-endian writes; the payload is built without its length, which is
// put in front at the end.
class TWriter {
public:
    explicit TWriter(TNetMessageType type) { U8(std::uint8_t(type)); }

    void U8(std::uint8_t value) { bytes_.append(char(value)); }
    void U16(std::uint16_t value)
    {
        U8(std::uint8_t(value >> 8));
        U8(std::uint8_t(value));
    }
    void U64(std::uint64_t value)
    {
        for (int shift = 56; shift >= 0; shift -= 8)
            U8(std::uint8_t(value >> shift));
    }
    void Raw(QByteArrayView bytes) { bytes_.append(bytes); }
    void Game(const TNetGame& game)
    {
        U16(game.Number);
        U8(game.Width);
        U8(game.Height);
        U8(game.FirstPlayer);
    }

    QByteArray Frame() const
    {
        const auto size = std::uint16_t(bytes_.size());
        QByteArray frame;
        frame.reserve(NetFrameHeader + bytes_.size());
        frame.append(char(size >> 8));
        frame.append(char(size & 0xFF));
        return frame + bytes_;
    }

private:
    QByteArray bytes_;
};

// Reads a payload whose size has already been checked against its type.
class TReader {
public:
    explicit TReader(QByteArrayView payload)
        : payload_(payload)
    {
    }

    std::uint8_t U8() { return std::uint8_t(payload_[position_++]); }
    std::uint16_t U16()
    {
        const std::uint16_t high = U8();
        return std::uint16_t(high << 8 | U8());
    }
    std::uint64_t U64()
    {
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i)
            value = value << 8 | U8();
        return value;
    }
    QByteArrayView Raw(qsizetype size)
    {
        const QByteArrayView bytes = payload_.sliced(position_, size);
        position_ += size;
        return bytes;
    }
    TNetGame Game()
    {
        TNetGame game;
        game.Number = U16();
        game.Width = U8();
        game.Height = U8();
        game.FirstPlayer = U8();
        return game;
    }
    TPoint Cell()
    {
        const std::uint8_t column = U8();
        return {column, U8()};
    }

private:
    QByteArrayView payload_;
    qsizetype position_ = 0;
};

bool IsValidGame(const TNetGame& game)
{
    return IsBoardSide(game.Width) && IsBoardSide(game.Height) && game.FirstPlayer <= 1;
}

bool IsMaxBoardCell(TPoint cell) { return TBoardSize{MaxBoardSize, MaxBoardSize}.OnBoard(cell); }

TNetDecoded Failure(TNetDecodeError error) { return {error, TNetPing{}, 0}; }

TNetDecoded DecodeHello(QByteArrayView payload)
{
    if (payload.size() < HelloPrefix)
        return Failure(TNetDecodeError::BadSize);
    TReader reader(payload);
    reader.U8();
    if (reader.Raw(Magic.size()) != QByteArrayView(Magic.data(), Magic.size()))
        return Failure(TNetDecodeError::BadMagic);
    TNetHello hello;
    hello.Protocol = reader.U8();
    if (hello.Protocol != NetProtocolVersion)
        return {TNetDecodeError::UnsupportedVersion, hello, 0};
    if (payload.size() < HelloFixed)
        return Failure(TNetDecodeError::BadSize);
    const std::uint8_t role = reader.U8();
    hello.Game = reader.Game();
    const std::uint8_t length = reader.U8();
    if (payload.size() != HelloFixed + length)
        return Failure(TNetDecodeError::BadSize);
    const QByteArrayView program = reader.Raw(length);
    if (role > 1 || !IsValidGame(hello.Game) || length == 0 || length > NetMaxProgramLength
        || !std::all_of(program.begin(), program.end(), IsProgramCharacter))
        return Failure(TNetDecodeError::BadValue);
    hello.Role = TNetRole(role);
    hello.Program = QString::fromLatin1(program);
    return {TNetDecodeError::None, hello, 0};
}

TNetDecoded DecodePayload(QByteArrayView payload)
{
    const auto type = TNetMessageType(std::uint8_t(payload[0]));
    const qsizetype size = payload.size();
    TReader reader(payload);
    reader.U8();
    switch (type) {
    case TNetMessageType::Hello:
        return DecodeHello(payload);
    case TNetMessageType::Move: {
        if (size != MoveSize)
            return Failure(TNetDecodeError::BadSize);
        TNetMove move;
        move.Game = reader.U16();
        move.Move.From = reader.Cell();
        move.Move.To = reader.Cell();
        move.BoardHash = reader.U64();
        if (!IsMaxBoardCell(move.Move.From) || !IsMaxBoardCell(move.Move.To))
            return Failure(TNetDecodeError::BadValue);
        return {TNetDecodeError::None, move, 0};
    }
    case TNetMessageType::NewGameRequest:
        if (size != 1)
            return Failure(TNetDecodeError::BadSize);
        return {TNetDecodeError::None, TNetNewGameRequest{}, 0};
    case TNetMessageType::NewGameAnswer: {
        if (size != 2)
            return Failure(TNetDecodeError::BadSize);
        const std::uint8_t accepted = reader.U8();
        if (accepted > 1)
            return Failure(TNetDecodeError::BadValue);
        return {TNetDecodeError::None, TNetNewGameAnswer{accepted == 1}, 0};
    }
    case TNetMessageType::NewGame: {
        if (size != NewGameSize)
            return Failure(TNetDecodeError::BadSize);
        const TNetGame game = reader.Game();
        if (game.Number == 0 || !IsValidGame(game))
            return Failure(TNetDecodeError::BadValue);
        return {TNetDecodeError::None, TNetNewGame{game}, 0};
    }
    case TNetMessageType::Bye:
        if (size != 2)
            return Failure(TNetDecodeError::BadSize);
        return {TNetDecodeError::None, TNetBye{reader.U8()}, 0};
    case TNetMessageType::Ping:
        if (size != 1)
            return Failure(TNetDecodeError::BadSize);
        return {TNetDecodeError::None, TNetPing{}, 0};
    }
    return Failure(TNetDecodeError::UnknownType);
}

} // namespace

TNetMessageType TypeOf(const TNetMessage& message)
{
    // The variant lists the messages in the order of their type numbers.
    return TNetMessageType(message.index() + 1);
}

TNetDecoded DecodeFrame(QByteArrayView bytes)
{
    if (bytes.size() < NetFrameHeader)
        return Failure(TNetDecodeError::Incomplete);
    const int length = std::uint8_t(bytes[0]) << 8 | std::uint8_t(bytes[1]);
    if (length == 0)
        return Failure(TNetDecodeError::EmptyFrame);
    if (length > NetMaxPayload)
        return Failure(TNetDecodeError::FrameTooLarge);
    if (bytes.size() < NetFrameHeader + length)
        return Failure(TNetDecodeError::Incomplete);
    TNetDecoded decoded = DecodePayload(bytes.sliced(NetFrameHeader, length));
    if (decoded.Error == TNetDecodeError::None)
        decoded.Consumed = NetFrameHeader + length;
    return decoded;
}

QByteArray EncodeFrame(const TNetMessage& message)
{
    TWriter writer(TypeOf(message));
    struct TVisitor {
        TWriter& Out;
        void operator()(const TNetHello& hello)
        {
            Out.Raw(QByteArrayView(Magic.data(), Magic.size()));
            Out.U8(hello.Protocol);
            Out.U8(std::uint8_t(hello.Role));
            Out.Game(hello.Game);
            const QByteArray program = hello.Program.toLatin1().left(NetMaxProgramLength);
            Out.U8(std::uint8_t(program.size()));
            Out.Raw(program);
        }
        void operator()(const TNetMove& move)
        {
            Out.U16(move.Game);
            for (const TPoint cell : {move.Move.From, move.Move.To}) {
                Out.U8(std::uint8_t(cell.X));
                Out.U8(std::uint8_t(cell.Y));
            }
            Out.U64(move.BoardHash);
        }
        void operator()(const TNetNewGameRequest&) {}
        void operator()(const TNetNewGameAnswer& answer) { Out.U8(answer.Accepted ? 1 : 0); }
        void operator()(const TNetNewGame& start) { Out.Game(start.Game); }
        void operator()(const TNetBye& bye) { Out.U8(bye.Reason); }
        void operator()(const TNetPing&) {}
    };
    std::visit(TVisitor{writer}, message);
    return writer.Frame();
}

void TNetFrameReader::Append(QByteArrayView bytes)
{
    if (error_ != TNetDecodeError::None)
        return;
    if (offset_ > 0) {
        buffer_.remove(0, offset_);
        offset_ = 0;
    }
    buffer_.append(bytes);
}

TNetDecoded TNetFrameReader::Next()
{
    if (error_ != TNetDecodeError::None)
        return Failure(error_);
    TNetDecoded decoded = DecodeFrame(QByteArrayView(buffer_).sliced(offset_));
    if (decoded.Error == TNetDecodeError::None)
        offset_ += decoded.Consumed;
    else if (decoded.Error != TNetDecodeError::Incomplete)
        error_ = decoded.Error;
    if (offset_ == buffer_.size()) {
        buffer_.clear();
        offset_ = 0;
    }
    return decoded;
}
