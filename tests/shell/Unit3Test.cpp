// The settings dialog, headless: what it shows, copying the settings in and
// back out, the preview following the bars and the 3D box, Escape and close
// requests taking the Cancel path, the MMX box without MMX, the players and
// the computer's level committed only by OK, the controls that never change,
// the page kept between showings and the decoration's files.
#include "controls/PentiumMMX.h"
#include "game/GameState.h"
#include "hexmap/Hexmap.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/NetPanel.h"
#include "shell/Mnemonics.h"
#include "shell/Unit3.h"

#include <QCheckBox>
#include <QFile>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QGroupBox>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {

// A caption as it reads on screen: the underline marks ("&") left out, an
// escaped ampersand ("&&") kept as one.
QString Plain(QString caption)
{
    return caption.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(u'&').replace(u'\x01', u'&');
}

// A click on the box itself, where a player aims; a wide check box takes
// clicks only on its box and caption.
void ClickBox(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(7, button->height() / 2));
}

// The game's variables as a fresh run has them before any change.
void DefaultSettings(TGameState& game)
{
    game.BoardWidth = 10;
    game.BoardHeight = 10;
    game.SoundEnabled = 1;
    game.MusicEnabled = 1;
    game.MmxEnabled = 1;
    game.DirectXEnabled = 0;
    game.NetworkPlay = 0;
    game.NetworkClient = 1;
    game.RestartNeeded = 0;
}

// The dialog with a main board and a probe of its own, as the program makes it.
struct Fixture {
    TGameState Game;
    THexMap MainMap;
    TPentiumMMX Probe;
    std::unique_ptr<TSetupDial> Dial;

    Fixture()
    {
        DefaultSettings(Game);
        Dial = std::make_unique<TSetupDial>(Game, &MainMap, &Probe);
    }

    // Runs the dialog modally; `act` runs inside its loop and is expected to
    // close it. A dialog left open is closed here so the test never hangs,
    // and reported through the return value's LeftOpen.
    struct Outcome {
        int Result = -2;
        bool LeftOpen = false;
    };
    Outcome Exec(const std::function<void()>& act)
    {
        Outcome outcome;
        QTimer::singleShot(0, Dial.get(), [&] {
            act();
            if (Dial->isVisible()) {
                outcome.LeftOpen = true;
                Dial->done(-1);
            }
        });
        outcome.Result = Dial->exec();
        return outcome;
    }

    THexMap& Preview() { return *Dial->HexMap1; }
};

// The size a radius-4 preview takes for a grid (the control's own formula).
QSize PreviewSize(const THexMap& map, int columns, int rows)
{
    const int r = map.HexRadius();
    const int h = map.HexHalfHeight();
    return {3 * r / 2 * (columns - 1) + 2 * r, 2 * h * rows + h};
}

enum TCloseWay { cwOk, cwCancel, cwEscape, cwCloseRequest, cwReject };

void CloseBy(TSetupDial& dial, TCloseWay way)
{
    switch (way) {
    case cwOk:
        QTest::mouseClick(dial.BitBtn1, Qt::LeftButton);
        break;
    case cwCancel:
        QTest::mouseClick(dial.BitBtn2, Qt::LeftButton);
        break;
    case cwEscape:
        QTest::keyClick(&dial, Qt::Key_Escape);
        break;
    case cwCloseRequest:
        dial.close();
        break;
    case cwReject:
        dial.reject();
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(TCloseWay)

class Unit3Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        SetErrorReporter([this](const QString& message) { errors_ << message; });
    }

    void init() { errors_.clear(); }

    void cleanup()
    {
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('\n'))));
    }

    void windowAsDesigned()
    {
        Fixture f;
        TSetupDial& dial = *f.Dial;
        QCOMPARE(dial.windowTitle(), QString::fromUtf8("Nastavení Zelvonu"));
        QCOMPARE(dial.size(), QSize(309, 257));
        // Closed through its two buttons only.
        const Qt::WindowFlags flags = dial.windowFlags();
        QVERIFY(flags & Qt::CustomizeWindowHint);
        QVERIFY(!(flags & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint)));
        QCOMPARE(dial.font().pixelSize(), 10);
        QCOMPARE(Plain(dial.PageControl1->tabText(0)), QStringLiteral("Hra"));
        // "&&" is how a tab shows a single ampersand.
        QCOMPARE(Plain(dial.PageControl1->tabText(1)), QString::fromUtf8("Počítač & hrací plocha"));
        QVERIFY(dial.PageControl1->tabText(1).contains(QStringLiteral("&&")));
        QCOMPARE(Plain(dial.PageControl1->tabText(2)), QStringLiteral("DirectX"));
        QCOMPARE(Plain(dial.PageControl1->tabText(3)), QString::fromUtf8("Pohodlí"));
        QCOMPARE(dial.PageControl1->currentIndex(), 0);
        QCOMPARE(dial.BitBtn1->text(), QStringLiteral("&OK"));
        QCOMPARE(dial.BitBtn2->text(), QString::fromUtf8("&Zrušit"));
        for (QPushButton* button : {dial.BitBtn1, dial.BitBtn2}) {
            QVERIFY(!button->isDefault() && !button->autoDefault());
            QVERIFY(!button->icon().isNull());
            QVERIFY(button->geometry().top() >= dial.PageControl1->geometry().bottom());
            QVERIFY(dial.rect().contains(button->geometry()));
        }
    }

    void controlsAsDesigned_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("enabled");
        auto row = [](int page, const char* name, const char* caption, bool checked, bool enabled) {
            QTest::newRow(name) << page << QString::fromLatin1(name) << QString::fromUtf8(caption) << checked
                                << enabled;
        };
        row(0, "RadioButton3", "Člověk", true, true);
        row(0, "RadioButton4", "Počítač", false, true);
        row(0, "RadioButton5", "Člověk", true, true);
        row(0, "RadioButton6", "Počítač", false, true);
        row(0, "CheckBox1", "Zvuky (Požadováno zařízení schopné přehrávat WAVy)", true, true);
        row(0, "CheckBox2", "Hudba (Požadováno zařizení schopné přehrávat MIDi)", true, true);
        row(0, "CheckBox3", "Povolit podporu MMX", true, true);
        row(0, "CheckBox4", "Povolit podporu DirectX (DirectDraw, Direct3D)", false, false);
        row(0, "CheckBox5", "Hra přez TCP/IP ", false, true);
        row(0, "RadioButton1", "Client", true, false);
        row(0, "RadioButton2", "Server", false, false);
        row(1, "CheckBox9", "Používat 3D hexy", true, true);
        row(2, "CheckBox6", "DirectDraw", true, false);
        row(2, "CheckBox7", "DirectSound", true, false);
        row(2, "CheckBox8", "DirectPlay", true, false);
        row(3, "CheckBox10", "Povolit vracení tahů", false, true);
        row(3, "CheckBox11", "Ukázat možné tahy", false, true);
        row(3, "CheckBox12", "Ukázat poslední tah", false, true);
        row(3, "RadioButton7", "Čeština", true, true);
        row(3, "RadioButton8", "English", false, true);
    }

    void controlsAsDesigned()
    {
        QFETCH(int, page);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(bool, checked);
        QFETCH(bool, enabled);
        Fixture f;
        auto* button = f.Dial->findChild<QAbstractButton*>(name);
        QVERIFY(button);
        QCOMPARE(Plain(button->text()), caption);
        QVERIFY(button->isCheckable());
        QCOMPARE(button->isChecked(), checked);
        QCOMPARE(button->isEnabled(), enabled);
        QVERIFY(f.Dial->PageControl1->widget(page)->isAncestorOf(button));
    }

    void groupsAndPreviewAsDesigned()
    {
        Fixture f;
        TSetupDial& dial = *f.Dial;
        QCOMPARE(Plain(dial.GroupBox1->title()), QString::fromUtf8("Modrý hráč"));
        QCOMPARE(Plain(dial.GroupBox2->title()), QString::fromUtf8("Červený hráč"));
        QCOMPARE(Plain(dial.GroupBox3->title()), QString::fromUtf8("Rozměry plochy"));
        // Each player's two radios exclude each other, but not the other player's.
        QVERIFY(dial.GroupBox1->isAncestorOf(dial.RadioButton3) && dial.GroupBox1->isAncestorOf(dial.RadioButton4));
        QVERIFY(dial.GroupBox2->isAncestorOf(dial.RadioButton5) && dial.GroupBox2->isAncestorOf(dial.RadioButton6));

        THexMap& preview = f.Preview();
        QCOMPARE(preview.geometry(), QRect(28, 38, 62, 63));
        QCOMPARE(preview.HexRadius(), 4);
        QVERIFY(dial.GroupBox3->isAncestorOf(&preview));
        // The width bar above the preview, the height bar to its left.
        QCOMPARE(dial.ScrollBar1->orientation(), Qt::Horizontal);
        QCOMPARE(dial.ScrollBar2->orientation(), Qt::Vertical);
        QVERIFY(dial.ScrollBar1->geometry().bottom() < preview.geometry().top());
        QVERIFY(dial.ScrollBar2->geometry().right() < preview.geometry().left());
    }

    void sizeBarThumbsShowTheirPosition()
    {
        // The bars are short; the thumbs of the ends must not overlap, or
        // the position cannot be read off them.
        Fixture f;
        for (QScrollBar* bar : {f.Dial->ScrollBar1, f.Dial->ScrollBar2}) {
            auto thumbAt = [bar](int value) {
                bar->setValue(value);
                QStyleOptionSlider option;
                option.initFrom(bar);
                option.orientation = bar->orientation();
                option.minimum = bar->minimum();
                option.maximum = bar->maximum();
                option.sliderPosition = bar->sliderPosition();
                option.sliderValue = bar->value();
                option.singleStep = bar->singleStep();
                option.pageStep = bar->pageStep();
                option.subControls = QStyle::SC_All;
                return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
            };
            const QRect low = thumbAt(4);
            const QRect high = thumbAt(10);
            QVERIFY(!low.isEmpty());
            QVERIFY(!low.intersects(high));
        }
    }

    void everyControlInsideItsParent()
    {
        Fixture f;
        TSetupDial& dial = *f.Dial;
        dial.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dial));
        for (int page = 0; page < dial.PageControl1->count(); ++page) {
            dial.PageControl1->setCurrentIndex(page);
            QWidget* sheet = dial.PageControl1->widget(page);
            QVERIFY(sheet->width() >= 280 && sheet->height() >= 150);
            for (QWidget* child : sheet->findChildren<QWidget*>()) {
                const QWidget* parent = child->parentWidget();
                QVERIFY2(parent->rect().contains(child->geometry()), qPrintable(child->objectName()));
            }
        }
        dial.BitBtn2->click();
    }

    void captionsFitTheirBoxes()
    {
        Fixture f;
        TSetupDial& dial = *f.Dial;
        const QString family = QFontInfo(dial.CheckBox1->font()).family();
        if (!QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial")}
                 .contains(family))
            QSKIP("no face with the metrics of the dialog's font is installed");
        for (QAbstractButton* button : dial.findChildren<QAbstractButton*>()) {
            if (!qobject_cast<QCheckBox*>(button) && !qobject_cast<QRadioButton*>(button))
                continue;
            QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->objectName()));
            QVERIFY2(button->sizeHint().height() <= button->height(), qPrintable(button->objectName()));
        }
        QVERIFY(dial.Label1->sizeHint().width() <= dial.Label1->width());
        // All three tabs side by side, without scroll arrows.
        QVERIFY(dial.PageControl1->tabBar()->sizeHint().width() <= dial.PageControl1->width());
    }

    void showingCopiesTheSettings_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("flags");
        QTest::addColumn<bool>("raised");
        QTest::newRow("small, all off, flat") << 4 << 7 << false << false;
        QTest::newRow("large, all on, raised") << 10 << 5 << true << true;
        QTest::newRow("mixed") << 6 << 10 << true << false;
    }

    void showingCopiesTheSettings()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, flags);
        QFETCH(bool, raised);
        Fixture f;
        f.Game.BoardWidth = static_cast<std::uint8_t>(width);
        f.Game.BoardHeight = static_cast<std::uint8_t>(height);
        f.Game.SoundEnabled = flags;
        f.Game.MusicEnabled = !flags;
        f.Game.MmxEnabled = flags;
        f.Game.NetworkClient = flags;
        f.MainMap.SetHex3d(raised);
        TSetupDial& dial = *f.Dial;
        const auto outcome = f.Exec([&] {
            QCOMPARE(dial.CheckBox1->isChecked(), flags);
            QCOMPARE(dial.CheckBox2->isChecked(), !flags);
            QCOMPARE(dial.CheckBox3->isChecked(), flags);
            QCOMPARE(dial.RadioButton1->isChecked(), flags);
            QCOMPARE(dial.RadioButton2->isChecked(), !flags);
            QCOMPARE(dial.CheckBox9->isChecked(), raised);
            QCOMPARE(dial.ScrollBar1->value(), width);
            QCOMPARE(dial.ScrollBar2->value(), height);
            QCOMPARE(f.Preview().HexColumns(), width);
            QCOMPARE(f.Preview().HexRows(), height);
            QCOMPARE(f.Preview().Hex3d(), raised);
            QCOMPARE(f.Preview().size(), PreviewSize(f.Preview(), width, height));
            dial.BitBtn2->click();
        });
        QVERIFY(!outcome.LeftOpen);
        QCOMPARE(outcome.Result, int(QDialog::Rejected));
    }

    void sizesOutsideTheRangeShowClamped()
    {
        Fixture f;
        f.Game.BoardWidth = 2;
        f.Game.BoardHeight = 200;
        f.Exec([&] {
            QCOMPARE(f.Dial->ScrollBar1->value(), 4);
            QCOMPARE(f.Dial->ScrollBar2->value(), 10);
            QCOMPARE(f.Preview().HexColumns(), 4);
            QCOMPARE(f.Preview().HexRows(), 10);
            f.Dial->BitBtn2->click();
        });
    }

    void previewFollowsTheBarsAndTheBox()
    {
        Fixture f;
        TSetupDial& dial = *f.Dial;
        f.Exec([&] {
            dial.PageControl1->setCurrentIndex(1);
            // The arrows, as a player would use them.
            for (int step = 0; step < 3; ++step)
                dial.ScrollBar1->triggerAction(QAbstractSlider::SliderSingleStepSub);
            QCOMPARE(f.Preview().HexColumns(), 7);
            QCOMPARE(f.Preview().HexRows(), 10);
            QCOMPARE(f.Preview().size(), PreviewSize(f.Preview(), 7, 10));
            // Past the end of the range nothing moves.
            for (int step = 0; step < 9; ++step)
                dial.ScrollBar2->triggerAction(QAbstractSlider::SliderSingleStepSub);
            QCOMPARE(dial.ScrollBar2->value(), 4);
            QCOMPARE(f.Preview().HexRows(), 4);
            QCOMPARE(f.Preview().size(), PreviewSize(f.Preview(), 7, 4));
            // A click beside the thumb moves one step too.
            dial.ScrollBar2->triggerAction(QAbstractSlider::SliderPageStepAdd);
            QCOMPARE(f.Preview().HexRows(), 5);
            dial.ScrollBar1->triggerAction(QAbstractSlider::SliderPageStepSub);
            QCOMPARE(f.Preview().HexColumns(), 6);
            ClickBox(dial.CheckBox9);
            QVERIFY(!f.Preview().Hex3d());
            ClickBox(dial.CheckBox9);
            QVERIFY(f.Preview().Hex3d());
            // Still inside its group box at every size.
            QVERIFY(dial.GroupBox3->rect().contains(f.Preview().geometry()));
            dial.BitBtn2->click();
        });
    }

    void cancelRestoresSizesAndPreview()
    {
        Fixture f;
        TSetupDial& dial = *f.Dial;
        f.Game.BoardWidth = 8;
        f.Game.BoardHeight = 9;
        const auto outcome = f.Exec([&] {
            dial.ScrollBar1->setValue(5);
            dial.ScrollBar2->setValue(4);
            QCOMPARE(f.Preview().HexColumns(), 5);
            QTest::mouseClick(dial.BitBtn2, Qt::LeftButton);
        });
        QVERIFY(!outcome.LeftOpen);
        QCOMPARE(outcome.Result, int(QDialog::Rejected));
        QCOMPARE(f.Game.BoardWidth, 8);
        QCOMPARE(f.Game.BoardHeight, 9);
        QCOMPARE(f.Game.RestartNeeded, 0);
        // Put back at once, not only at the next showing.
        QCOMPARE(dial.ScrollBar1->value(), 8);
        QCOMPARE(dial.ScrollBar2->value(), 9);
        QCOMPARE(f.Preview().HexColumns(), 8);
        QCOMPARE(f.Preview().HexRows(), 9);
        QCOMPARE(f.Preview().size(), PreviewSize(f.Preview(), 8, 9));
        f.Exec([&] {
            QCOMPARE(dial.ScrollBar1->value(), 8);
            QCOMPARE(dial.ScrollBar2->value(), 9);
            QCOMPARE(f.Preview().size(), PreviewSize(f.Preview(), 8, 9));
            dial.BitBtn2->click();
        });
    }

    void sizeMovedAndBackNeedsNoRestart()
    {
        Fixture f;
        TSetupDial& dial = *f.Dial;
        const auto outcome = f.Exec([&] {
            dial.ScrollBar1->setValue(7);
            dial.ScrollBar2->setValue(6);
            dial.ScrollBar1->setValue(10);
            dial.ScrollBar2->setValue(10);
            QTest::mouseClick(dial.BitBtn1, Qt::LeftButton);
        });
        QVERIFY(!outcome.LeftOpen);
        QCOMPARE(outcome.Result, int(QDialog::Accepted));
        QCOMPARE(f.Game.RestartNeeded, 0);
        QCOMPARE(f.Game.BoardWidth, 10);
        QCOMPARE(f.Game.BoardHeight, 10);
    }

    void sizeChangeCommittedWithRestart_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("width only") << 7 << 10;
        QTest::newRow("height only") << 10 << 4;
        QTest::newRow("both") << 5 << 6;
    }

    void sizeChangeCommittedWithRestart()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        Fixture f;
        TSetupDial& dial = *f.Dial;
        f.Exec([&] {
            dial.ScrollBar1->setValue(width);
            dial.ScrollBar2->setValue(height);
            QTest::mouseClick(dial.BitBtn1, Qt::LeftButton);
        });
        QCOMPARE(f.Game.BoardWidth, width);
        QCOMPARE(f.Game.BoardHeight, height);
        QCOMPARE(f.Game.RestartNeeded, 1);
        // The next showing starts from the new size, with nothing to restart.
        f.Game.RestartNeeded = 0;
        f.Exec([&] {
            QCOMPARE(dial.ScrollBar1->value(), width);
            QCOMPARE(dial.ScrollBar2->value(), height);
            QTest::mouseClick(dial.BitBtn1, Qt::LeftButton);
        });
        QCOMPARE(f.Game.RestartNeeded, 0);
    }

    void raisedCellsLeftForTheCaller_data()
    {
        QTest::addColumn<TCloseWay>("way");
        QTest::addColumn<bool>("kept");
        QTest::newRow("OK") << cwOk << true;
        QTest::newRow("Zrušit") << cwCancel << false;
        QTest::newRow("Escape") << cwEscape << false;
        QTest::newRow("close request") << cwCloseRequest << false;
    }

    void raisedCellsLeftForTheCaller()
    {
        QFETCH(TCloseWay, way);
        QFETCH(bool, kept);
        Fixture f;
        TSetupDial& dial = *f.Dial;
        const TGameState before = f.Game;
        const auto outcome = f.Exec([&] {
            dial.PageControl1->setCurrentIndex(1);
            ClickBox(dial.CheckBox9);
            QVERIFY(!f.Preview().Hex3d());
            CloseBy(dial, way);
        });
        QVERIFY(!outcome.LeftOpen);
        QCOMPARE(outcome.Result, int(kept ? QDialog::Accepted : QDialog::Rejected));
        // The main window reads the box after the dialog has closed; the
        // dialog itself never touches the main board.
        QCOMPARE(dial.CheckBox9->isChecked(), !kept);
        QCOMPARE(f.Preview().Hex3d(), !kept);
        QVERIFY(f.MainMap.Hex3d());
        QCOMPARE(f.Game.RestartNeeded, 0);
        QCOMPARE(f.Game.BoardWidth, before.BoardWidth);
    }

    void checkBoxesCommittedOnlyByOk_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<TCloseWay>("way");
        const std::pair<const char*, TCloseWay> ways[] = {
            {"OK", cwOk}, {"Zrušit", cwCancel}, {"Escape", cwEscape}, {"close request", cwCloseRequest},
            {"reject", cwReject}};
        for (const char* box : {"CheckBox1", "CheckBox2", "CheckBox3"})
            for (const auto& [name, way] : ways)
                QTest::addRow("%s %s", box, name) << QString::fromLatin1(box) << way;
    }

    void checkBoxesCommittedOnlyByOk()
    {
        QFETCH(QString, box);
        QFETCH(TCloseWay, way);
        Fixture f;
        f.Dial->SetMMXQuery([] { return true; });
        TSetupDial& dial = *f.Dial;
        auto* check = dial.findChild<QCheckBox*>(box);
        QVERIFY(check);
        std::uint8_t TGameState::*const setting = box == QLatin1String("CheckBox1")   ? &TGameState::SoundEnabled
                                                  : box == QLatin1String("CheckBox2") ? &TGameState::MusicEnabled
                                                                                      : &TGameState::MmxEnabled;
        TGameState expected = f.Game;
        if (way == cwOk)
            expected.*setting = 0;
        const auto outcome = f.Exec([&] {
            QVERIFY(check->isChecked());
            ClickBox(check);
            QVERIFY(!check->isChecked());
            CloseBy(dial, way);
        });
        QVERIFY(!outcome.LeftOpen);
        QCOMPARE(f.Game.SoundEnabled, expected.SoundEnabled);
        QCOMPARE(f.Game.MusicEnabled, expected.MusicEnabled);
        QCOMPARE(f.Game.MmxEnabled, expected.MmxEnabled);
        QCOMPARE(f.Game.DirectXEnabled, 0);
        QCOMPARE(f.Game.NetworkPlay, 0);
        QCOMPARE(f.Game.NetworkClient, 1);
        QCOMPARE(f.Game.RestartNeeded, 0);
        QCOMPARE(check->isChecked(), way != cwOk);
        // Turned back on by a later showing, the setting returns.
        if (way == cwOk) {
            f.Exec([&] {
                QVERIFY(!check->isChecked());
                ClickBox(check);
                dial.BitBtn1->click();
            });
            QCOMPARE(f.Game.*setting, 1);
        }
    }

    void comfortPageCommittedOnlyByOk_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<TCloseWay>("way");
        for (const char* control : {"CheckBox10", "CheckBox11", "CheckBox12", "RadioButton8"}) {
            QTest::addRow("%s OK", control) << QString::fromLatin1(control) << cwOk;
            QTest::addRow("%s Zrušit", control) << QString::fromLatin1(control) << cwCancel;
            QTest::addRow("%s Escape", control) << QString::fromLatin1(control) << cwEscape;
        }
    }

    void comfortPageCommittedOnlyByOk()
    {
        QFETCH(QString, control);
        QFETCH(TCloseWay, way);
        Fixture f;
        TSetupDial& dial = *f.Dial;
        auto* button = dial.findChild<QAbstractButton*>(control);
        QVERIFY(button);
        const auto option = [&]() -> int {
            if (control == QLatin1String("CheckBox10"))
                return f.Game.UndoEnabled;
            if (control == QLatin1String("CheckBox11"))
                return f.Game.HintsEnabled;
            if (control == QLatin1String("CheckBox12"))
                return f.Game.LastMoveEnabled;
            return f.Game.Language;
        };
        QCOMPARE(option(), 0);
        f.Exec([&] {
            dial.PageControl1->setCurrentIndex(3);
            QVERIFY(!button->isChecked());
            ClickBox(button);
            QVERIFY(button->isChecked());
            CloseBy(dial, way);
        });
        QCOMPARE(option(), way == cwOk ? 1 : 0);
        QCOMPARE(f.Game.RestartNeeded, 0);
        bool shown = false;
        f.Exec([&] {
            shown = button->isChecked();
            dial.BitBtn2->click();
        });
        QCOMPARE(shown, way == cwOk);
    }

    void everyCaptionHasItsOwnLetter_data()
    {
        QTest::addColumn<int>("page");
        for (int page = 0; page < 4; ++page)
            QTest::addRow("page %d", page) << page;
    }

    void everyCaptionHasItsOwnLetter()
    {
        // What is shown together: the tabs, the two buttons and one page.
        QFETCH(int, page);
        Fixture f;
        QWidget* shown = f.Dial->PageControl1->widget(page);
        QStringList captions{f.Dial->BitBtn1->text(), f.Dial->BitBtn2->text()};
        for (QAbstractButton* button : shown->findChildren<QAbstractButton*>())
            if (!button->text().isEmpty())
                captions << button->text();
        for (QGroupBox* box : shown->findChildren<QGroupBox*>())
            captions << box->title();
        for (int tab = 0; tab < f.Dial->PageControl1->count(); ++tab)
            captions << f.Dial->PageControl1->tabText(tab);
        QSet<QChar> letters;
        for (const QString& caption : captions) {
            const QChar letter = MnemonicOf(caption);
            QVERIFY2(!letter.isNull(), qPrintable(caption));
            QVERIFY2(!letters.contains(letter), qPrintable(caption));
            letters.insert(letter);
        }
    }

    void enterDoesNotClose()
    {
        Fixture f;
        TSetupDial& dial = *f.Dial;
        bool stillOpen = false;
        const auto outcome = f.Exec([&] {
            dial.ScrollBar1->setValue(6);
            QTest::keyClick(&dial, Qt::Key_Return);
            QTest::keyClick(&dial, Qt::Key_Enter);
            stillOpen = dial.isVisible();
            dial.BitBtn2->click();
        });
        QVERIFY(stillOpen);
        QVERIFY(!outcome.LeftOpen);
        QCOMPARE(f.Game.BoardWidth, 10);
    }

    void mmxBoxWithoutMmx_data()
    {
        QTest::addColumn<int>("stored");
        QTest::newRow("stored on") << 1;
        QTest::newRow("stored off") << 0;
    }

    void mmxBoxWithoutMmx()
    {
        QFETCH(int, stored);
        Fixture f;
        TSetupDial& dial = *f.Dial;
        f.Game.MmxEnabled = static_cast<std::uint8_t>(stored);
        int asked = 0;
        dial.SetMMXQuery([&] {
            ++asked;
            return false;
        });
        QVERIFY(dial.CheckBox3->isEnabled());
        f.Exec([&] {
            QVERIFY(!dial.CheckBox3->isEnabled());
            QCOMPARE(dial.CheckBox3->isChecked(), stored == 1);
            ClickBox(dial.CheckBox3);
            QTest::keyClick(dial.CheckBox3, Qt::Key_Space);
            QCOMPARE(dial.CheckBox3->isChecked(), stored == 1);
            dial.BitBtn1->click();
        });
        QVERIFY(asked >= 1);
        QCOMPARE(f.Game.MmxEnabled, stored);
        // Nothing enables it again, not even a processor that answers yes.
        dial.SetMMXQuery([] { return true; });
        f.Exec([&] {
            QVERIFY(!dial.CheckBox3->isEnabled());
            QCOMPARE(dial.CheckBox3->isChecked(), stored == 1);
            dial.BitBtn2->click();
        });
    }

    void mmxBoxWithMmxStaysUsable()
    {
        Fixture f;
        TSetupDial& dial = *f.Dial;
        dial.SetMMXQuery([] { return true; });
        f.Exec([&] {
            QVERIFY(dial.CheckBox3->isEnabled());
            dial.BitBtn2->click();
        });
        // Without a probe and without a query nothing confirms MMX.
        TGameState game;
        DefaultSettings(game);
        TSetupDial bare(game, &f.MainMap, nullptr);
        bare.show();
        QVERIFY(!bare.CheckBox3->isEnabled());
        bare.BitBtn2->click();
        QVERIFY(bare.isHidden());
    }

    void fixedControlsCannotBeChanged_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("name");
        for (const char* name : {"CheckBox4"})
            QTest::newRow(name) << 0 << QString::fromLatin1(name);
        for (const char* name : {"CheckBox6", "CheckBox7", "CheckBox8"})
            QTest::newRow(name) << 2 << QString::fromLatin1(name);
    }

    void fixedControlsCannotBeChanged()
    {
        QFETCH(int, page);
        QFETCH(QString, name);
        Fixture f;
        TSetupDial& dial = *f.Dial;
        auto* button = dial.findChild<QAbstractButton*>(name);
        QVERIFY(button);
        f.Exec([&] {
            dial.PageControl1->setCurrentIndex(page);
            const bool before = button->isChecked();
            ClickBox(button);
            QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(7, button->height() / 2));
            QCOMPARE(button->isChecked(), before);
            dial.BitBtn1->click();
        });
        QVERIFY(dial.RadioButton3->isChecked());
        QVERIFY(dial.RadioButton5->isChecked());
        QVERIFY(!dial.RadioButton4->isChecked());
        QVERIFY(!dial.RadioButton6->isChecked());
        QVERIFY(!dial.Panel2->isEnabled());
        QCOMPARE(f.Game.NetworkPlay, 0);
        QCOMPARE(f.Game.NetworkClient, 1);
        QCOMPARE(f.Game.DirectXEnabled, 0);
    }

    void computerPlayersCommittedOnlyByOk_data()
    {
        QTest::addColumn<TCloseWay>("way");
        QTest::addColumn<bool>("blue");
        QTest::addColumn<bool>("red");
        QTest::addColumn<int>("level");
        const std::pair<const char*, TCloseWay> ways[] = {
            {"OK", cwOk}, {"Zrušit", cwCancel}, {"Escape", cwEscape}, {"close request", cwCloseRequest}};
        for (const auto& [name, way] : ways) {
            QTest::addRow("%s blue computer, level 0", name) << way << true << false << 0;
            QTest::addRow("%s red computer, level 10", name) << way << false << true << 10;
            QTest::addRow("%s both computers, level 7", name) << way << true << true << 7;
        }
    }

    void computerPlayersCommittedOnlyByOk()
    {
        QFETCH(TCloseWay, way);
        QFETCH(bool, blue);
        QFETCH(bool, red);
        QFETCH(int, level);
        Fixture f;
        TSetupDial& dial = *f.Dial;
        const auto outcome = f.Exec([&] {
            QVERIFY(dial.RadioButton3->isChecked() && dial.RadioButton5->isChecked());
            QCOMPARE(dial.TrackBar1->value(), 5);
            if (blue)
                ClickBox(dial.RadioButton4);
            if (red)
                ClickBox(dial.RadioButton6);
            dial.PageControl1->setCurrentIndex(1);
            QVERIFY(dial.TrackBar1->isEnabled());
            QTest::keyClick(dial.TrackBar1, Qt::Key_Home);
            for (int step = 0; step < level; ++step)
                QTest::keyClick(dial.TrackBar1, Qt::Key_Right);
            QCOMPARE(dial.TrackBar1->value(), level);
            CloseBy(dial, way);
        });
        QVERIFY(!outcome.LeftOpen);
        const bool ok = way == cwOk;
        QCOMPARE(f.Game.BluePlayer, ok && blue ? 1 : 0);
        QCOMPARE(f.Game.RedPlayer, ok && red ? 1 : 0);
        QCOMPARE(f.Game.Intelligence, ok ? level : 5);
        QCOMPARE(f.Game.RestartNeeded, 0);
        // The next showing shows what the game holds.
        f.Exec([&] {
            QCOMPARE(dial.RadioButton4->isChecked(), ok && blue);
            QCOMPARE(dial.RadioButton3->isChecked(), !(ok && blue));
            QCOMPARE(dial.RadioButton6->isChecked(), ok && red);
            QCOMPARE(dial.RadioButton5->isChecked(), !(ok && red));
            QCOMPARE(dial.TrackBar1->value(), ok ? level : 5);
            dial.BitBtn2->click();
        });
    }

    void networkPanelFollowsItsBox()
    {
        // The box is never enabled in the game; its handler still has to
        // give the panel the look and state of the box when called.
        Fixture f;
        TSetupDial& dial = *f.Dial;
        dial.CheckBox5->setChecked(true);
        QVERIFY(dial.Panel2->isEnabled());
        QCOMPARE(dial.Panel2->frameShadow(), QFrame::Raised);
        QVERIFY(dial.RadioButton2->isEnabled());
        dial.CheckBox5->setChecked(false);
        QVERIFY(!dial.Panel2->isEnabled());
        QCOMPARE(dial.Panel2->frameShadow(), QFrame::Sunken);
        // A showing with network play off puts the panel back.
        f.Game.NetworkClient = 0;
        f.Exec([&] {
            QVERIFY(!dial.Panel2->isEnabled());
            QVERIFY(dial.RadioButton2->isChecked());
            dial.BitBtn1->click();
        });
        QCOMPARE(f.Game.NetworkClient, 0);
    }

    // The network panel: the box switches it on, the role, the address and
    // the port go to the game's variables with OK only, and a port that is
    // not one falls back to the default.
    void networkPanelEdits_data()
    {
        QTest::addColumn<TCloseWay>("way");
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("portKept");
        QTest::newRow("client, OK") << cwOk << false << QStringLiteral("hra.example.org") << QStringLiteral("5000") << 5000;
        QTest::newRow("IPv6, OK") << cwOk << false << QStringLiteral(" [::1] ") << QStringLiteral("65535") << 65535;
        QTest::newRow("server, OK") << cwOk << true << QStringLiteral("10.1.2.3") << QStringLiteral("1") << 1;
        QTest::newRow("port 0 refused") << cwOk << false << QStringLiteral("a") << QStringLiteral("0") << 41095;
        QTest::newRow("port too large refused") << cwOk << false << QStringLiteral("a") << QStringLiteral("70000") << 41095;
        QTest::newRow("no port") << cwOk << false << QStringLiteral("a") << QString() << 41095;
        QTest::newRow("Zrušit") << cwCancel << true << QStringLiteral("x") << QStringLiteral("7") << -1;
        QTest::newRow("Escape") << cwEscape << false << QStringLiteral("x") << QStringLiteral("7") << -1;
    }

    void networkPanelEdits()
    {
        QFETCH(TCloseWay, way);
        QFETCH(bool, server);
        QFETCH(QString, address);
        QFETCH(QString, port);
        QFETCH(int, portKept);
        Fixture f;
        f.Game.NetworkAddress = QStringLiteral("before.example.org");
        f.Game.NetworkPort = 2000;
        TSetupDial& dial = *f.Dial;
        TNetPanel& panel = *dial.NetPanel;
        f.Exec([&] {
            QVERIFY(!dial.Panel2->isEnabled());
            QCOMPARE(panel.Edit1->text(), QStringLiteral("before.example.org"));
            QCOMPARE(panel.Edit2->text(), QStringLiteral("2000"));
            ClickBox(dial.CheckBox5);
            QVERIFY(dial.Panel2->isEnabled());
            panel.Edit1->selectAll();
            QTest::keyClicks(panel.Edit1, address);
            panel.Edit2->selectAll();
            QTest::keyClick(panel.Edit2, Qt::Key_Backspace);
            QTest::keyClicks(panel.Edit2, port);
            if (server) {
                ClickBox(dial.RadioButton2);
                // The server's own addresses in place of the typed one.
                QVERIFY(panel.Edit1->isReadOnly());
                QVERIFY(!panel.Edit1->text().isEmpty());
                QVERIFY(panel.Edit1->text() != address);
            }
            CloseBy(dial, way);
        });
        if (portKept < 0) {
            QCOMPARE(f.Game.NetworkPlay, 0);
            QCOMPARE(f.Game.NetworkClient, 1);
            QCOMPARE(f.Game.NetworkAddress, QStringLiteral("before.example.org"));
            QCOMPARE(f.Game.NetworkPort, 2000);
        } else {
            QCOMPARE(f.Game.NetworkPlay, 1);
            QCOMPARE(f.Game.NetworkClient, server ? 0 : 1);
            QCOMPARE(f.Game.NetworkAddress, address.trimmed());
            QCOMPARE(int(f.Game.NetworkPort), portKept);
        }
        // The next showing shows what the variables hold.
        f.Exec([&] {
            QCOMPARE(dial.CheckBox5->isChecked(), f.Game.NetworkPlay == 1);
            QCOMPARE(panel.Edit1->isReadOnly(), f.Game.NetworkClient == 0);
            if (f.Game.NetworkClient == 1)
                QCOMPARE(panel.Edit1->text(), f.Game.NetworkAddress);
            QCOMPARE(panel.Edit2->text(), QString::number(f.Game.NetworkPort));
            dial.BitBtn2->click();
        });
    }

    void activePageKeptBetweenShowings_data()
    {
        QTest::addColumn<TCloseWay>("way");
        QTest::newRow("OK") << cwOk;
        QTest::newRow("Zrušit") << cwCancel;
        QTest::newRow("Escape") << cwEscape;
        QTest::newRow("close request") << cwCloseRequest;
    }

    void activePageKeptBetweenShowings()
    {
        QFETCH(TCloseWay, way);
        Fixture f;
        TSetupDial& dial = *f.Dial;
        for (int page : {2, 1, 0}) {
            f.Exec([&] {
                dial.PageControl1->setCurrentIndex(page);
                CloseBy(dial, way);
            });
            int shown = -1;
            f.Exec([&] {
                shown = dial.PageControl1->currentIndex();
                dial.BitBtn2->click();
            });
            QCOMPARE(shown, page);
        }
    }

    void animationLoopsWhileShown()
    {
        Fixture f;
        TSetupDial& dial = *f.Dial;
        QCOMPARE(dial.AnimateFrameCount(), 8);
        QCOMPARE(dial.AnimateFrame(), 0);
        QCOMPARE(dial.Animate1->pixmap().size(), QSize(48, 48));
        // Nothing moves before the first showing.
        QTest::qWait(250);
        QCOMPARE(dial.AnimateFrame(), 0);
        dial.show();
        QList<int> seen;
        QVERIFY(QTest::qWaitFor(
            [&] {
                if (seen.isEmpty() || seen.last() != dial.AnimateFrame())
                    seen << dial.AnimateFrame();
                return seen.size() >= 10;
            },
            10000));
        // Every step is the next frame, and after the eighth comes the first.
        for (int i = 1; i < seen.size(); ++i)
            QCOMPARE(seen[i], (seen[i - 1] + 1) % 8);
        QVERIFY(seen.contains(7) && seen.lastIndexOf(0) > seen.indexOf(7));
        const QImage shownImage = dial.Animate1->pixmap().toImage();
        QVERIFY(!shownImage.isNull());
        dial.BitBtn2->click();
        const int stopped = dial.AnimateFrame();
        QTest::qWait(300);
        QCOMPARE(dial.AnimateFrame(), stopped);
    }

    void decorationFilesMissingOrDamaged_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("frames");
        QTest::addColumn<bool>("icon");
        QTest::newRow("missing") << "missing" << 0 << false;
        QTest::newRow("damaged") << "damaged" << 0 << false;
        QTest::newRow("three small frames") << "three" << 3 << true;
        QTest::newRow("twelve frames") << "twelve" << 8 << true;
        QTest::newRow("one big frame") << "big" << 1 << true;
        QTest::newRow("strip too narrow") << "narrow" << 0 << true;
    }

    void decorationFilesMissingOrDamaged()
    {
        QFETCH(QString, kind);
        QFETCH(int, frames);
        QFETCH(bool, icon);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        auto write = [&](const QString& name, const QImage& image) { QVERIFY(image.save(dir.filePath(name))); };
        auto strip = [](int width, int height) {
            QImage image(width, height, QImage::Format_RGB32);
            image.fill(Qt::darkBlue);
            return image;
        };
        if (kind == QLatin1String("damaged")) {
            for (const char* name : {"setup-anim.png", "setup-icon.png", "glyph-ok.png"}) {
                QFile file(dir.filePath(QLatin1String(name)));
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write("\x89PNG\r\n\x1a\n not really");
            }
        } else if (kind != QLatin1String("missing")) {
            write(QStringLiteral("setup-icon.png"), strip(64, 64));
            if (kind == QLatin1String("three"))
                write(QStringLiteral("setup-anim.png"), strip(60, 20));
            else if (kind == QLatin1String("twelve"))
                write(QStringLiteral("setup-anim.png"), strip(12 * 48, 48));
            else if (kind == QLatin1String("big"))
                write(QStringLiteral("setup-anim.png"), strip(100, 96));
            else
                write(QStringLiteral("setup-anim.png"), strip(30, 48));
        }
        SetDataDirectories({dir.path()});

        Fixture f;
        TSetupDial& dial = *f.Dial;
        QCOMPARE(dial.AnimateFrameCount(), frames);
        QCOMPARE(dial.AnimateFrame(), frames == 0 ? -1 : 0);
        QCOMPARE(dial.Image1->pixmap().isNull(), !icon);
        if (kind == QLatin1String("missing") || kind == QLatin1String("damaged"))
            QVERIFY(dial.BitBtn1->icon().isNull());
        if (icon)
            QCOMPARE(dial.Image1->pixmap().size(), QSize(32, 32));
        if (frames > 0) {
            const QSize size = dial.Animate1->pixmap().size();
            QVERIFY(size.width() <= 48 && size.height() <= 48);
        }
        // The dialog works all the same.
        const auto outcome = f.Exec([&] {
            QTest::qWait(250);
            if (frames == 0)
                QCOMPARE(dial.AnimateFrame(), -1);
            else
                QVERIFY(dial.AnimateFrame() >= 0 && dial.AnimateFrame() < frames);
            dial.ScrollBar1->setValue(5);
            dial.BitBtn1->click();
        });
        QVERIFY(!outcome.LeftOpen);
        QCOMPARE(f.Game.BoardWidth, 5);
    }

private:
    QStringList errors_;
};

// The program's application object, so that the dialog's face is found the
// way the program finds it.
int main(int argc, char** argv)
{
    TApplication application(argc, argv);
    Unit3Test test;
    return QTest::qExec(&test, argc, argv);
}
#include "Unit3Test.moc"
