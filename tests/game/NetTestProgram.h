// The program as the network tests run it, in the test process or in a
// second process of the same test binary: the four windows wired as the
// entry wires them, every modal window closed as soon as it shows (with its
// text written down), and a player that presses random legal moves on its
// own side's turn.
#pragma once

#include "game/Moves.h"
#include "game/NetPlay.h"
#include "game/Unit1.h"
#include "hexmap/Hexmap.h"
#include "shell/Settings.h"
#include "shell/Unit2.h"
#include "shell/Unit3.h"
#include "shell/Unit5.h"
#include "tests/shell/FakeMusicPlayer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <random>
#include <vector>

// Seconds rather than the players' times, so a lost peer shows within a test.
inline TNetTimeouts QuickTimeouts()
{
    TNetTimeouts timeouts;
    timeouts.ConnectMs = 5000;
    timeouts.HeartbeatMs = 100;
    timeouts.SilenceMs = 1500;
    timeouts.FrameMs = 500;
    timeouts.ByeMs = 300;
    return timeouts;
}

// Sound and music off, so nothing waits for an audio device.
inline void StoreQuietSettings(int size)
{
    WriteSettings({{QStringLiteral("Sirka"), QString::number(size)},
                   {QStringLiteral("Vyska"), QString::number(size)},
                   {QStringLiteral("Sound"), QStringLiteral("0")},
                   {QStringLiteral("Music"), QStringLiteral("0")}});
}

// The board in use, column by column: R, B or a dot.
inline QByteArray BoardText(const TGameState& game)
{
    QByteArray text = QByteArray::number(game.BoardWidth) + 'x' + QByteArray::number(game.BoardHeight) + ' ';
    ForEachCell(game.Size(), [&](TPoint cell) {
        const TColor color = game.GameBoard[cell];
        text += color == clRed ? 'R' : color == clBlue ? 'B' : '.';
    });
    return text;
}

struct TNetProgram {
    TForm1 Form1{nullptr, std::make_unique<TFakePlayer>()};
    TAboutBox AboutBox{&Form1};
    TSetupDial SetupDial{Form1.Game(), Form1.HexMap1, Form1.PentiumMMX1, &Form1};
    TForm5 Form5{&Form1};

    // Shows the window and waits for the first board; false when it never came.
    bool Start()
    {
        Form1.SetWindows(&AboutBox, &SetupDial, &Form5);
        Form1.NetPlay().SetTimeouts(QuickTimeouts());
        Form1.NetPlay().SetPeerPickMs(5);
        Form1.show();
        return QTest::qWaitForWindowExposed(&Form1) && WaitIdle();
    }

    bool WaitIdle(int ms = 20000)
    {
        return QTest::qWaitFor([this] { return Form1.Timer1.isActive() && !Form1.Busy(); }, ms);
    }

    TGameState& Game() { return Form1.Game(); }
    TNetPlay& Net() { return Form1.NetPlay(); }
    TNetSession& Session() { return Form1.NetPlay().Session(); }

    // Network play turned on as OK in the settings dialog does.
    void Turn(bool server, quint16 port)
    {
        Game().NetworkPlay = 1;
        Game().NetworkClient = server ? 0 : 1;
        Game().NetworkAddress = QStringLiteral("127.0.0.1");
        Game().NetworkPort = port;
        Net().ApplySettings();
    }

    // A click at a cell's centre, as a player clicks.
    void Press(TPoint cell)
    {
        const TPoint pixel = Form1.HexMap1->ConvertPoint(cell, cpCellToPixel);
        QTest::mouseClick(Form1.HexMap1, Qt::LeftButton, {}, QPoint(pixel.X, pixel.Y));
    }
};

// Closes each modal window right after it shows: message boxes with their
// first button (their text written down), the new-game question by
// AcceptNewGame, the quit question with yes, the podium (the board noted
// then) and the about box.
class TModalCloser : public QObject {
public:
    explicit TModalCloser(TNetProgram& program)
        : program_(program)
    {
        qApp->installEventFilter(this);
    }
    ~TModalCloser() override { qApp->removeEventFilter(this); }

    bool AcceptNewGame = true;
    QStringList Messages;
    int Questions = 0;
    std::vector<QByteArray> PodiumBoards;
    std::function<void(const QString&)> OnMessage;
    std::function<void(const QByteArray&)> OnPodium;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        if (auto* box = qobject_cast<QMessageBox*>(watched)) {
            QTimer::singleShot(0, box, [this, box] { Answer(box); });
        } else if (watched == &program_.Form5) {
            const QByteArray board = BoardText(program_.Game());
            PodiumBoards.push_back(board);
            if (OnPodium)
                OnPodium(board);
            QTimer::singleShot(0, &program_.Form5, [this] { program_.Form5.done(0); });
        } else if (watched == &program_.AboutBox) {
            QTimer::singleShot(0, &program_.AboutBox, [this] { program_.AboutBox.done(0); });
        }
        return false;
    }

private:
    void Answer(QMessageBox* box)
    {
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            const QString text = button->text();
            if (text == QString::fromUtf8("&Přijmout")) {
                ++Questions;
                if (AcceptNewGame)
                    chosen = button;
            } else if (text == QString::fromUtf8("&Odmítnout")) {
                if (!AcceptNewGame)
                    chosen = button;
            } else if (text == QStringLiteral("&Yes")) {
                chosen = button;
            }
        }
        if (!chosen) {
            Messages << box->text();
            if (OnMessage)
                OnMessage(box->text());
            chosen = box->buttons().value(0);
        }
        if (chosen)
            chosen->click();
    }

    TNetProgram& program_;
};

// Presses a random legal move of its own side whenever it may.
class TRandomPlayer : public QObject {
public:
    TRandomPlayer(TNetProgram& program, unsigned seed)
        : program_(program)
        , random_(seed)
    {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, [this] { Step(); });
        timer_.start();
    }

    bool On = true;
    int Moves = 0;

private:
    void Step()
    {
        if (!On || moving_ || program_.Form1.Busy() || QApplication::activeModalWidget())
            return;
        TNetPlay& net = program_.Net();
        if (!net.Playing() || !net.Session().IsLocalTurn())
            return;
        const TGameState& game = program_.Game();
        const std::vector<TMove> moves = GenerateMoves(game.GameBoard, game.Size(), net.Session().LocalSide());
        if (moves.empty())
            return;
        const TMove move = moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(random_)];
        moving_ = true;
        program_.Press(move.From);
        program_.Press(move.To);
        moving_ = false;
        ++Moves;
    }

    TNetProgram& program_;
    std::mt19937 random_;
    QTimer timer_;
    bool moving_ = false;
};
