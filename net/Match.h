// The position of a game over the network as the connection sees it: each
// side keeps one, checks every move of the peer against it with the rules
// of game/Moves before anything else sees the move, and settles it exactly
// as the window does (captures, the fill for a blocked side, the end of the
// game). Its hash travels with every move, so two boards that part ways are
// noticed at the first move after.
#pragma once

#include "game/GameView.h"
#include "game/Moves.h"

#include <cstdint>

enum class TMoveCheck : std::uint8_t {
    Legal,
    GameOver,     // the game has ended: nobody moves
    NotInTurn,    // the other side is to move
    OffBoard,     // a cell outside the board in use
    NotOwnPiece,  // the origin does not hold the mover's piece
    TargetTaken,  // the target is not empty
    TooFar,       // the target is neither one nor two steps away
};

class TMatch {
public:
    TMatch() { Start({MaxBoardSize, MaxBoardSize}, 0); }

    // A fresh board: Red in the top-left corner, Blue in the bottom-right,
    // `firstPlayer` (0 Red, 1 Blue) to move.
    void Start(TBoardSize size, std::uint8_t firstPlayer);

    // A game in progress: `board` on `size` with `sideToMove` (clRed or
    // clBlue) to move; only the cells of the board in use are looked at.
    void SetPosition(const TGameBoard& board, TBoardSize size, TColor sideToMove);

    TMoveCheck Check(const TMove& move, TColor mover) const;
    // Plays a move that Check found legal for the side to move.
    void Play(const TMove& move);

    const TGameBoard& Board() const { return board_; }
    TBoardSize Size() const { return size_; }
    // clRed or clBlue; clGray once the game is over.
    TColor SideToMove() const { return over_ ? clGray : side_; }
    bool Over() const { return over_; }
    // Meaningful once Over() is true.
    TPodiumOutcome Outcome() const { return outcome_; }
    int Plies() const { return plies_; }
    std::uint64_t Hash() const;

private:
    void End(TPodiumOutcome outcome);

    TGameBoard board_;
    TBoardSize size_;
    TColor side_ = clRed;
    bool over_ = false;
    TPodiumOutcome outcome_ = poDraw;
    int plies_ = 0;
};

// FNV-1a over the size, the side to move and every cell of the board in use
// (0 empty, 1 Red, 2 Blue), column by column: the same number on any machine.
std::uint64_t BoardHash(const TGameBoard& board, TBoardSize size, TColor sideToMove);
