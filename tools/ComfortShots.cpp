// Pictures of the comfort options for the README, made offscreen with the
// real main window: a pick with its possible moves and the last move
// outlined, or the whole window on a screen of device pixel ratio 2.
//
//   ComfortShots <data folder> hints <file.png>
//   ComfortShots <data folder> scale2 <file.png>
#include "game/Moves.h"
#include "game/Unit1.h"
#include "hexmap/Hexmap.h"
#include "shell/DataFiles.h"
#include "shell/Settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <random>

namespace {

bool WaitUntil(const std::function<bool()>& ready)
{
    QElapsedTimer clock;
    clock.start();
    while (!ready()) {
        if (clock.elapsed() > 20000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void Press(TForm1& form, TPoint cell)
{
    const TPoint pixel = form.HexMap1->ConvertPoint(cell, cpCellToPixel);
    form.HexMap1->OnMouseDown(Qt::LeftButton, Qt::NoModifier, pixel.X, pixel.Y);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: ComfortShots <data folder> hints|scale2 <file.png>\n");
        return 2;
    }
    const QByteArray mode = argv[2];
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (mode == "scale2")
        qputenv("QT_SCALE_FACTOR", "2");
    // Settings of its own, so that the user's stay untouched.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    SetDataDirectories({QString::fromLocal8Bit(argv[1])});
    WriteSettings({{QStringLiteral("Sound"), QStringLiteral("0")},
                   {QStringLiteral("Music"), QStringLiteral("0")},
                   {QStringLiteral("Vraceni"), QStringLiteral("1")},
                   {QStringLiteral("Napoveda"), QStringLiteral("1")},
                   {QStringLiteral("PosledniTah"), QStringLiteral("1")}});

    TForm1 form;
    form.show();
    const auto idle = [&] { return form.Timer1.isActive() && !form.SequenceRunning(); };
    if (!WaitUntil(idle)) {
        std::fprintf(stderr, "the first board was not laid out\n");
        return 1;
    }
    // The same opening each time: the first moves in board order.
    std::mt19937 random(12);
    TGameState& game = form.Game();
    for (int move = 0; move < 6; ++move) {
        const TColor side = game.CurrentPlayer == 1 ? clBlue : clRed;
        const std::vector<TMove> moves = GenerateMoves(game.GameBoard, game.Size(), side);
        const TMove chosen = moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(random)];
        Press(form, chosen.From);
        Press(form, chosen.To);
        WaitUntil(idle);
    }
    if (mode == "hints") {
        const TColor side = game.CurrentPlayer == 1 ? clBlue : clRed;
        Press(form, GenerateMoves(game.GameBoard, game.Size(), side).back().From);
    }
    form.UpdateComfort();
    QCoreApplication::processEvents();
    const QImage shot = form.grab().toImage();
    if (!shot.save(QString::fromLocal8Bit(argv[3]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
