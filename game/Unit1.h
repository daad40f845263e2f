// The main window: the board in its scroll box, the scores, the turn
// indicator, the coordinate read-out, the acceleration status line, the
// music bar and the four buttons. It shows what the game logic decides and
// forwards the players' input to it; the rules themselves live in
// TGameLogic.
#pragma once

#include "game/GameHistory.h"
#include "game/GameLogic.h"
#include "game/PlayComfort.h"
#include "game/GameState.h"
#include "game/WindowSlot.h"
#include "shell/Music.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <vector>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QShortcut;
class TAboutBox;
class TComputerTurn;
class THexMap;
class TKITScanner;
class TPentiumMMX;
class TSetupDial;
class TURLLabel;
class TForm5;
class TNetPlay;
struct TMove;

class TForm1 : public QWidget, public IGameView {
    Q_OBJECT

public:
    // Without a player of its own choosing the window plays music through
    // FluidSynth; tests hand in a fake.
    explicit TForm1(QWidget* parent = nullptr, std::unique_ptr<IMusicPlayer> player = nullptr);
    ~TForm1() override;

    // The other windows, created after this one and owned by the program.
    void SetWindows(TAboutBox* aboutBox, TSetupDial* setupDial, TForm5* form5);
    // Or their factories: the about box is made from the event loop a frame
    // after the first paint, so that a damaged logo is still reported at
    // start-up; the settings dialog and the podium when first opened.
    void SetWindowFactories(TWindowSlot<TAboutBox>::TFactory aboutBox, TWindowSlot<TSetupDial>::TFactory setupDial,
                            TWindowSlot<TForm5>::TFactory form5);
    // Runs once, from the event loop a frame after the window's first
    // paint: for work the first picture need not wait for.
    std::function<void()> OnFirstPaint;

    bool AboutBoxMade() const { return aboutBox_.Made(); }
    bool SetupDialMade() const { return setupDial_.Made(); }
    bool Form5Made() const { return form5_.Made(); }

    TGameState& Game() { return game_; }
    // The game over the network; idle unless the settings turn it on.
    TNetPlay& NetPlay() { return *netPlay_; }
    // The computer player's turns: "is this side the computer's", "cancel
    // the running search".
    TComputerTurn& ComputerTurn() { return *computerTurn_; }
    // Undo, redo and the board marks. A computer player connects its hooks
    // here: Comfort().IsComputer and Comfort().CancelThinking.
    TPlayComfort& Comfort() { return comfort_; }
    const TGameHistory& History() const { return history_; }
    // Shows the comfort options as they are set: the take-back buttons and
    // shortcuts, the marks on the board.
    void UpdateComfort();

    // The new game; also the Restart button's handler.
    void FormActivate();
    void UpdateTurnIndicator() override;
    void UpdateAccelerationStatus();

    // True while a paced sequence (the set-up of a board, a move with its
    // fill) runs; board presses are ignored and button actions wait for it.
    bool SequenceRunning() const { return sequenceDepth_ > 0; }
    // True while a paced sequence or a button's handler (with the modal
    // windows it opened) runs. Button presses that arrive then are held and
    // run afterwards, in the order they came.
    bool Busy() const { return SequenceRunning() || runningButton_ != btNone; }

    // Controls, named as the players' documentation names them.
    QScrollArea* ScrollBox1 = nullptr;
    THexMap* HexMap1 = nullptr;
    QFrame* Bevel1 = nullptr;
    TURLLabel* URLLabel1 = nullptr;
    TKITScanner* KITScanner1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* RedScore = nullptr;
    QLabel* BlueScore = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    // "Zpět" and "Znovu", shown only with "Povolit vracení tahů".
    QPushButton* UndoButton = nullptr;
    QPushButton* RedoButton = nullptr;
    std::vector<QShortcut*> UndoShortcuts;
    std::vector<QShortcut*> RedoShortcuts;
    QLabel* Label6 = nullptr;
    QLabel* Label5 = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    TPentiumMMX* PentiumMMX1 = nullptr;
    // The network game's state line; hidden at one computer.
    QLabel* NetStatus = nullptr;
    std::unique_ptr<IMusicPlayer> MediaPlayer2;
    QTimer Timer1;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    static QFont SansFont(int pixelHeight, bool bold = false);
    // IGameView
    const THexGeometry& BoardGeometry() const override;
    void PaintCell(TPoint cell, TColor color) override;
    void PlayEffect(const QString& fileName) override;
    void ShowScore(TSide side, int count) override;
    void Wait(TPace& pace) override;
    void ShowPodium(TPodiumOutcome outcome) override;
    void Restart() override;

    void CreateControls();
    void FormCreate();
    void SelectHex(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void HexMap1MouseMove(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Button1Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn4Click();
    void UndoButtonClick();
    void RedoButtonClick();
    void CreateComfortControls();
    void Timer1Timer();
    void FitScrollBox();
    // Milliseconds per frame of the screen showing the window.
    double FrameMs() const;
    void StartFirstGameAfterPaint();
    // The computer player and network play (with its status line): their
    // hooks into the window.
    void CreateComputerTurn();
    void CreateNetPlay();
    void PlayNetMove(const TMove& move, int pickMs);

    // The buttons' handlers proper; the click handlers above hand them to
    // PressButton.
    enum TButton { btNone, btRestart, btHelp, btSettings, btQuit, btUndo, btRedo };
    void RunButton(TButton button);
    void ApplySetupDial();
    void AskToQuit();
    void Quit();

    // Runs a button's handler now, or holds the press while something else
    // is in progress; the same button held twice counts once.
    void PressButton(TButton button);
    void RunButtonHandler(TButton button);
    // Runs the held presses in order once nothing is in progress any more.
    void RunHeldPresses();
    // Runs a paced sequence; held presses run when the outermost one ends.
    void RunSequence(const std::function<void()>& sequence);

    TGameState game_;
    TGameLogic logic_{game_, *this};
    TGameHistory history_;
    TPlayComfort comfort_{game_, history_, *this};
    std::mt19937 random_;
    std::unique_ptr<TMusic> music_;
    TWindowSlot<TAboutBox> aboutBox_;
    TWindowSlot<TSetupDial> setupDial_;
    TWindowSlot<TForm5> form5_;
    bool activated_ = false;
    bool painted_ = false;
    bool firstGameStarted_ = false;
    bool closing_ = false;
    int sequenceDepth_ = 0;
    TButton runningButton_ = btNone;
    std::vector<TButton> heldPresses_;
    bool runningHeldPresses_ = false;
    std::unique_ptr<TNetPlay> netPlay_;
    // The beginner of the next board, when the server of a network game
    // dealt it.
    std::optional<std::uint8_t> dealtFirstPlayer_;
    // Last: its thread stops before the window it presses on goes.
    std::unique_ptr<TComputerTurn> computerTurn_;
};
