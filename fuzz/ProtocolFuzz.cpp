// Fuzz target for the network game's wire format and the mirror behind it:
// any byte stream, cut anywhere, gives the same messages or the same first
// fault; every accepted frame encodes back to exactly its own bytes; moves
// the mirror lets through leave a sound board; nothing crashes or hangs.
#include "net/Match.h"
#include "net/NetErrors.h"
#include "net/Protocol.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// Only the three cell values, on the board in use and nowhere else.
void RequireSoundBoard(const TMatch& match)
{
    const TBoardSize size = match.Size();
    for (int column = 1; column <= MaxBoardSize; ++column)
        for (int row = 1; row <= MaxBoardSize; ++row) {
            const TColor color = match.Board()(column, row);
            if (size.OnBoard({column, row}))
                Require(color == clGray || color == clRed || color == clBlue);
            else
                Require(color == clGray);
        }
}

struct TStream {
    std::vector<TNetMessage> Messages;
    TNetDecodeError Fault = TNetDecodeError::Incomplete;
};

TStream ReadStream(QByteArrayView bytes, qsizetype chunk)
{
    TStream stream;
    TNetFrameReader reader;
    for (qsizetype at = 0; at < bytes.size() && stream.Fault == TNetDecodeError::Incomplete; at += chunk) {
        reader.Append(bytes.sliced(at, std::min(chunk, bytes.size() - at)));
        for (;;) {
            const TNetDecoded next = reader.Next();
            if (next.Error == TNetDecodeError::None) {
                stream.Messages.push_back(next.Message);
                continue;
            }
            if (next.Error != TNetDecodeError::Incomplete)
                stream.Fault = next.Error;
            break;
        }
        // A reader that has not met a fault holds at most one frame begun.
        if (stream.Fault == TNetDecodeError::Incomplete)
            Require(reader.Pending() < NetFrameHeader + NetMaxPayload);
    }
    return stream;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const TNetDecoded first = DecodeFrame(bytes);
    if (first.Error == TNetDecodeError::None) {
        Require(first.Consumed > NetFrameHeader && first.Consumed <= bytes.size());
        Require(EncodeFrame(first.Message) == bytes.first(first.Consumed));
    } else {
        Require(first.Consumed == 0);
        if (first.Error != TNetDecodeError::Incomplete)
            Require(!DecodeErrorText(first.Error).isEmpty());
    }

    // The same stream whole and in pieces of 1 to 16 bytes.
    const TStream whole = ReadStream(bytes, std::max<qsizetype>(1, bytes.size()));
    const TStream pieces = ReadStream(bytes, size > 0 ? data[0] % 16 + 1 : 1);
    Require(whole.Fault == pieces.Fault);
    Require(whole.Messages == pieces.Messages);

    // The messages played the way a session takes them, minus the turns.
    TMatch match;
    for (const TNetMessage& message : whole.Messages) {
        if (const auto* hello = std::get_if<TNetHello>(&message))
            match.Start(hello->Game.Size(), hello->Game.FirstPlayer);
        else if (const auto* start = std::get_if<TNetNewGame>(&message))
            match.Start(start->Game.Size(), start->Game.FirstPlayer);
        else if (const auto* move = std::get_if<TNetMove>(&message)) {
            const TMatch before = match;
            const TMoveCheck check = match.Check(move->Move, match.SideToMove());
            if (check == TMoveCheck::Legal) {
                match.Play(move->Move);
                Require(match.Plies() == before.Plies() + 1);
                const TPieceCount count = CountPieces(match.Board(), match.Size());
                Require(count.Red + count.Blue <= match.Size().Width * match.Size().Height);
            } else {
                Require(!MoveCheckText(check).isEmpty());
                Require(match.Board() == before.Board() && match.Hash() == before.Hash());
            }
            RequireSoundBoard(match);
        }
    }
    return 0;
}
