// The winners' podium: a small modal window with a picture of the outcome.
// Closing it, by its button or its close box, hands back to the caller,
// which starts the next game.
#pragma once

#include "game/GameView.h"

#include <QDialog>
#include <QImage>

#include <array>

class QLabel;
class QPushButton;

class TForm5 : public QDialog {
    Q_OBJECT

public:
    explicit TForm5(QWidget* parent = nullptr);

    // Draws the outcome's picture, plays the applause for a win when sound
    // is on, and shows the window until it is closed.
    void ShowPodium(TPodiumOutcome outcome, bool soundEnabled);

    // The picture on show; it stays between showings.
    const QImage& Picture() const { return picture_; }

    QLabel* Image1 = nullptr;
    QPushButton* BitBtn1 = nullptr;

private:
    void BitBtn1Click();
    void LoadWinIm();

    // The three outcome pictures, indexed by outcome.
    std::array<QImage, 3> WinIm;
    QImage picture_;
};
