// The program's four windows wired as the entry creates them, shown, with the
// first board laid out: the starting point of the main-window tests.
#pragma once

#include "game/Unit1.h"
#include "hexmap/Hexmap.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Unit2.h"
#include "shell/Unit3.h"
#include "shell/Unit5.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// What every main-window test starts from: a private settings store, the
// test data files, and the program's error messages collected, not shown.
inline bool UsePrivateSetUp(const QTemporaryDir& config, QStringList& errors)
{
    if (!config.isValid())
        return false;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
    SetErrorReporter([&errors](const QString& message) { errors << message; });
    return true;
}

struct TestProgram {
    TForm1 Form1;
    TAboutBox AboutBox{&Form1};
    TSetupDial SetupDial{Form1.Game(), Form1.HexMap1, Form1.PentiumMMX1, &Form1};
    TForm5 Form5{&Form1};

    // The window plays music through FluidSynth unless given a player.
    explicit TestProgram(std::unique_ptr<IMusicPlayer> player = nullptr)
        : Form1(nullptr, std::move(player))
    {
        Form1.SetWindows(&AboutBox, &SetupDial, &Form5);
        Form1.show();
        QVERIFY(QTest::qWaitForWindowActive(&Form1));
        WaitIdle();
    }

    // Until the board being laid out (or filled) is ready for input.
    void WaitIdle()
    {
        QVERIFY(QTest::qWaitFor([this] { return Form1.Timer1.isActive() && !Form1.SequenceRunning(); }, 20000));
    }

    TGameState& Game() { return Form1.Game(); }

    // A press and release at a cell's centre, as a player clicks.
    void Press(TPoint cell, Qt::MouseButton button = Qt::LeftButton)
    {
        const TPoint pixel = Form1.HexMap1->ConvertPoint(cell, cpCellToPixel);
        QTest::mousePress(Form1.HexMap1, button, {}, QPoint(pixel.X, pixel.Y));
        QTest::mouseRelease(Form1.HexMap1, button, {}, QPoint(pixel.X, pixel.Y));
    }

    // The colour the board shows at a cell's centre, or `dy` pixels below it.
    TColor PictureAt(TPoint cell, int dy = 0)
    {
        const TPoint pixel = Form1.HexMap1->ConvertPoint(cell, cpCellToPixel);
        return QRgbToColor(Form1.HexMap1->MapBitmap().pixel(pixel.X, pixel.Y + dy));
    }
};
