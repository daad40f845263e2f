// The winners' podium, headless: the picture of each outcome, the applause
// for a win with sound on, and the ways the window is closed, each of which
// hands back to the caller.
#include "shell/DataFiles.h"
#include "shell/SoundEffects.h"
#include "shell/Unit5.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

enum class TClose { OkButton, CloseBox, Escape };

// Shows the podium and closes it the given way once it is up; false when it
// was not up (modal and visible) while ShowPodium ran.
bool ShowAndClose(TForm5& podium, TPodiumOutcome outcome, bool sound, TClose how)
{
    bool shown = false;
    QTimer::singleShot(0, &podium, [&] {
        shown = podium.isVisible() && podium.isModal();
        switch (how) {
        case TClose::OkButton:
            QTest::mouseClick(podium.BitBtn1, Qt::LeftButton);
            break;
        case TClose::CloseBox:
            podium.close();
            break;
        case TClose::Escape:
            QTest::keyClick(&podium, Qt::Key_Escape);
            break;
        }
        // Never leave the test waiting on the window.
        if (podium.isVisible())
            podium.done(QDialog::Rejected);
    });
    podium.ShowPodium(outcome, sound);
    return shown;
}

} // namespace

class Unit5Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        QVERIFY(strip_.load(DataFilePath(QStringLiteral("podium.png"))));
        QVERIFY(strip_.width() >= 960 && strip_.height() >= 200);
    }

    void init() { ResetSoundEffects(); }

    void outcomes_data()
    {
        QTest::addColumn<int>("outcome");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<int>("picture");
        QTest::addColumn<bool>("applause");
        QTest::addColumn<int>("close");
        QTest::newRow("draw, sound on: silent") << int(poDraw) << true << 0 << false << int(TClose::OkButton);
        QTest::newRow("Blue won") << int(poBlueWon) << true << 1 << true << int(TClose::CloseBox);
        QTest::newRow("Red won") << int(poRedWon) << true << 2 << true << int(TClose::Escape);
        QTest::newRow("Red won, sound off") << int(poRedWon) << false << 2 << false << int(TClose::OkButton);
        QTest::newRow("unknown outcome is a draw") << 7 << true << 0 << false << int(TClose::OkButton);
    }

    void outcomes()
    {
        QFETCH(int, outcome);
        QFETCH(bool, sound);
        QFETCH(int, picture);
        QFETCH(bool, applause);
        QFETCH(int, close);
        TForm5 podium;
        QVERIFY(ShowAndClose(podium, TPodiumOutcome(outcome), sound, TClose(close)));
        QVERIFY(podium.isHidden());
        const QImage expected = strip_.copy(picture * 320, 0, 320, 200).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(podium.Picture(), expected);
        QCOMPARE(podium.Image1->pixmap().toImage().convertToFormat(QImage::Format_RGB32), expected);
        QCOMPARE(LastSoundEffect(), applause ? QStringLiteral("applause.wav") : QString());
    }

    // The window lives on: every game end shows it again with its own
    // picture, whatever the previous one showed.
    void shownAgainAfterClosing()
    {
        TForm5 podium;
        QVERIFY(ShowAndClose(podium, poRedWon, false, TClose::CloseBox));
        QVERIFY(ShowAndClose(podium, poDraw, false, TClose::OkButton));
        QCOMPARE(podium.Picture(), strip_.copy(0, 0, 320, 200).convertToFormat(QImage::Format_RGB32));
    }

    // Without the picture file each outcome still gets a picture of its own.
    void missingPictures()
    {
        SetDataDirectories({QStringLiteral("/nonexistent")});
        TForm5 podium;
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        QImage shown[3];
        for (int outcome = 0; outcome < 3; ++outcome) {
            QVERIFY(ShowAndClose(podium, TPodiumOutcome(outcome), false, TClose::OkButton));
            shown[outcome] = podium.Picture();
            QCOMPARE(shown[outcome].size(), QSize(320, 200));
        }
        QVERIFY(shown[0] != shown[1] && shown[1] != shown[2] && shown[0] != shown[2]);
    }

private:
    QImage strip_;
};

QTEST_MAIN(Unit5Test)
#include "Unit5Test.moc"
