// The main window's other side of the board: the computer player, and the
// peer of a network game with its status line. Both play through the
// presses a player makes.
#include "game/Unit1.h"

#include "game/ComputerTurn.h"
#include "game/NetPlay.h"
#include "game/WaitMs.h"
#include "hexmap/Hexmap.h"
#include "shell/Application.h"

#include <QLabel>

void TForm1::CreateComputerTurn()
{
    computerTurn_ = std::make_unique<TComputerTurn>(
        game_, TComputerTurn::TWindow{[this] { return !Busy() && !closing_ && heldPresses_.empty(); },
                                      [this](TPoint cell) {
                                          // Over the network the computer's
                                          // move is sent like a player's.
                                          if (!netPlay_->AllowPress(cell))
                                              return;
                                          const TPoint pixel = HexMap1->ConvertPoint(cell, cpCellToPixel);
                                          RunSequence([&] { logic_.SelectHex(pixel.X, pixel.Y); });
                                          netPlay_->AfterPress();
                                          // Its move is outlined and can be
                                          // taken back like a player's.
                                          UpdateComfort();
                                      },
                                      [this](int side) { return netPlay_->RemoteSide(side); }});
    // Against the computer a take-back returns to the person's turn.
    comfort_.IsComputer = [this](std::uint8_t side) { return computerTurn_->IsComputer(side); };
    comfort_.CancelThinking = [this] { computerTurn_->Cancel(); };
}

void TForm1::CreateNetPlay()
{
    // In the free space between the score and the buttons.
    NetStatus = new QLabel(this);
    NetStatus->setGeometry(340, 200, 137, 30);
    NetStatus->setFont(SansFont(11));
    NetStatus->setAlignment(Qt::AlignCenter);
    NetStatus->setWordWrap(true);
    NetStatus->hide();
    TNetPlayHost host;
    host.Busy = [this] { return Busy() || closing_; };
    host.StartGame = [this](std::uint8_t firstPlayer) {
        dealtFirstPlayer_ = firstPlayer;
        RunSequence([this] { FormActivate(); });
    };
    host.PlayMove = [this](const TMove& move, int pickMs) { PlayNetMove(move, pickMs); };
    host.ShowStatus = [this](const QString& text) {
        NetStatus->setText(text);
        NetStatus->setToolTip(text);
        NetStatus->setVisible(!text.isEmpty());
        UpdateComfort();
    };
    host.Window = [this] { return this; };
    netPlay_ = std::make_unique<TNetPlay>(game_, std::move(host));
}

void TForm1::PlayNetMove(const TMove& move, int pickMs)
{
    // The peer's presses, made where a player's would land.
    const auto press = [this](TPoint cell) {
        const TPoint pixel = HexMap1->ConvertPoint(cell, cpCellToPixel);
        logic_.SelectHex(pixel.X, pixel.Y);
    };
    RunSequence([&] {
        press(move.From);
        WaitMs(pickMs);
        press(move.To);
    });
    UpdateComfort();
}
