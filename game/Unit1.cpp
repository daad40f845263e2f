#include "game/Unit1.h"

#include "controls/PentiumMMX.h"
#include "controls/UKITScan.h"
#include "controls/URLLabel.h"
#include "game/ComputerTurn.h"
#include "game/NetPlay.h"
#include "game/WaitMs.h"
#include "hexmap/HexMarks.h"
#include "hexmap/Hexmap.h"
#include "shell/Application.h"
#include "shell/Glyphs.h"
#include "shell/Mnemonics.h"
#include "shell/FluidSynthPlayer.h"
#include "shell/HelpViewer.h"
#include "shell/Music.h"
#include "shell/Settings.h"
#include "shell/SoundEffects.h"
#include "shell/Unit2.h"
#include "shell/Unit3.h"
#include "shell/Unit5.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QScopeGuard>
#include <QShortcut>

#include <algorithm>
#include <chrono>
#include <utility>

// The start-up benchmark (bench/startup.py) times the program by these lines.
Q_LOGGING_CATEGORY(lcStartup, "zelvon.startup", QtWarningMsg)

namespace {

const char* const HomePage = "https://zelvon.example.org/";

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, const QFont& font)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->move(x, y);
    label->adjustSize();
    return label;
}

void SetTextColor(QWidget* widget, TColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, ColorToQColor(color));
    widget->setPalette(palette);
}

QFrame* MakePanel(QWidget* parent, const QRect& geometry)
{
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(geometry);
    return panel;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, const QRect& geometry, const QString& glyph = {})
{
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(geometry);
    if (!glyph.isEmpty())
        button->setIcon(GlyphIcon(glyph));
    return button;
}

} // namespace

QFont TForm1::SansFont(int pixelHeight, bool bold)
{
    // The window was laid out for "MS Sans Serif"; any sans-serif of the same
    // pixel height keeps the captions inside their boxes.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

TForm1::TForm1(QWidget* parent, std::unique_ptr<IMusicPlayer> player)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , MediaPlayer2(player ? std::move(player) : std::make_unique<TFluidSynthPlayer>())
{
    setWindowTitle(QStringLiteral("Zelvon pro Windows 95"));
    setFont(SansFont(13));
    setFixedSize(492, 388);
    CreateControls();
    CreateNetPlay();
    FormCreate();
    CreateComputerTurn();
    logic_.SetHistory(&history_);
    UpdateComfort();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TForm1::~TForm1() = default;

void TForm1::CreateControls()
{
    const QFont bold = SansFont(13, true);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setGeometry(8, 8, 325, 377);
    ScrollBox1->setBackgroundRole(QPalette::Window);
    QPalette teal = ScrollBox1->palette();
    teal.setColor(QPalette::Window, ColorToQColor(clTeal));
    ScrollBox1->setPalette(teal);
    ScrollBox1->horizontalScrollBar()->setSingleStep(27);
    ScrollBox1->horizontalScrollBar()->setTracking(true);
    auto* board = new QWidget;
    board->setAutoFillBackground(true);
    board->setPalette(teal);
    ScrollBox1->setWidget(board);

    // The board's properties in the order its stored form applies them.
    HexMap1 = new THexMap(board);
    HexMap1->move(4, 8);
    HexMap1->SetUseSavedMap(false);
    HexMap1->SetMapGridOn(true);
    HexMap1->SetMapImageName(QStringLiteral("mapa.bmp"));
    HexMap1->SetNoMapImage(true);
    HexMap1->SetHexColumns(10);
    HexMap1->SetHexRows(10);
    HexMap1->SetHexRadius(20);
    HexMap1->SetHexShowLabels(false);
    HexMap1->SetHex3d(true);
    HexMap1->SetHexColor(clGray);
    HexMap1->SetBackColor(clTeal);
    HexMap1->SetLineColor(clBlack);
    HexMap1->OnMouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
        SelectHex(button, shift, x, y);
    };
    HexMap1->OnMouseMove = [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
        HexMap1MouseMove(button, shift, x, y);
    };
    HexMap1->OnCursorMove = [this](TPoint cell, const QRect& square) {
        ScrollBox1->ensureVisible(square.center().x(), square.center().y(), square.width() / 2 + 2,
                                  square.height() / 2 + 2);
        // Also when the cursor comes up on the cell the pointer was last on.
        Label2->setText(QString::number(cell.X));
        Label4->setText(QString::number(cell.Y));
    };
    // The board itself takes the focus for keyboard play.
    ScrollBox1->setFocusPolicy(Qt::NoFocus);
    FitScrollBox();

    Bevel1 = MakePanel(this, {340, 8, 137, 65});

    URLLabel1 = new TURLLabel(this);
    QFont linkFont = SansFont(13);
    linkFont.setUnderline(true);
    URLLabel1->setFont(linkFont);
    URLLabel1->setText(tr("Brantek's Homepage"));
    URLLabel1->SetColorMoveOver(clRed);
    URLLabel1->SetColorClick(clPurple);
    URLLabel1->SetURL(QString::fromLatin1(HomePage));
    URLLabel1->setGeometry(348, 16, 119, 16);

    KITScanner1 = new TKITScanner(this);
    KITScanner1->setGeometry(348, 40, 122, 25);
    KITScanner1->SetScanColor(scBlue);
    KITScanner1->SetScanning(true);
    KITScanner1->SetScanSpeed(10);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(340, 80, 137, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();

    Panel1 = MakePanel(this, {368, 104, 81, 41});
    Label1 = MakeLabel(Panel1, tr("X-Axis:"), 8, 5, bold);
    Label2 = MakeLabel(Panel1, QStringLiteral("0"), 56, 5, font());
    Label3 = MakeLabel(Panel1, tr("Y-Axis:"), 8, 21, bold);
    Label4 = MakeLabel(Panel1, QStringLiteral("0"), 56, 21, font());
    for (QLabel* value : {Label2, Label4})
        value->setFixedWidth(20);

    Panel2 = MakePanel(this, {340, 148, 137, 49});
    auto* caption = new QLabel(tr("SCORE"), Panel2);
    caption->setFont(SansFont(17, true));
    caption->setAlignment(Qt::AlignCenter);
    caption->setGeometry(Panel2->rect());
    const QFont scoreFont = SansFont(20, true);
    RedScore = new QLabel(QStringLiteral("1"), Panel2);
    RedScore->setGeometry(4, 12, 33, 25);
    BlueScore = new QLabel(QStringLiteral("1"), Panel2);
    BlueScore->setGeometry(104, 12, 29, 25);
    for (QLabel* score : {RedScore, BlueScore}) {
        score->setFont(scoreFont);
        score->setAlignment(Qt::AlignCenter);
    }
    SetTextColor(RedScore, clRed);
    SetTextColor(BlueScore, clBlue);

    Button1 = MakeButton(this, tr("Restart"), {360, 232, 97, 25});
    BitBtn4 = MakeButton(this, tr("Nápověda"), {360, 260, 97, 25}, QStringLiteral("glyph-help.png"));
    BitBtn2 = MakeButton(this, tr("Nastavení"), {360, 288, 97, 25}, QStringLiteral("glyph-setup.png"));
    BitBtn1 = MakeButton(this, tr("Konec"), {360, 316, 97, 25}, QStringLiteral("glyph-quit.png"));
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);

    Label6 = MakeLabel(this, tr("Acceleration status"), 344, 344, bold);
    Label5 = new QLabel(this);
    Label5->setGeometry(344, 360, 129, 20);
    Label5->setFont(SansFont(17));
    Label5->setAlignment(Qt::AlignCenter);
    SetTextColor(Label5, clRed);

    ProgressBar2 = new QProgressBar(this);
    ProgressBar2->setOrientation(Qt::Vertical);
    ProgressBar2->setGeometry(480, 8, 9, 373);
    ProgressBar2->setRange(0, 100);
    ProgressBar2->setValue(0);
    ProgressBar2->setTextVisible(false);

    PentiumMMX1 = new TPentiumMMX(this);

    music_ = std::make_unique<TMusic>(
        *MediaPlayer2, game_,
        [this](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); },
        TMusicBar{[this](int maximum) { ProgressBar2->setMaximum(maximum); },
                  [this](int position) { ProgressBar2->setValue(position); }});

    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

    CreateComfortControls();

    QWidget* order[] = {HexMap1, Panel1,  ProgressBar1, UndoButton, RedoButton, Button1,
                        BitBtn1, BitBtn2, Panel2,       BitBtn4,    ProgressBar2};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    Button1->setFocus();
    AddMnemonics(this);
}

void TForm1::SetWindows(TAboutBox* aboutBox, TSetupDial* setupDial, TForm5* form5)
{
    aboutBox_.Set(aboutBox);
    setupDial_.Set(setupDial);
    form5_.Set(form5);
}

void TForm1::SetWindowFactories(TWindowSlot<TAboutBox>::TFactory aboutBox,
                                TWindowSlot<TSetupDial>::TFactory setupDial, TWindowSlot<TForm5>::TFactory form5)
{
    aboutBox_.SetFactory(std::move(aboutBox));
    setupDial_.SetFactory(std::move(setupDial));
    form5_.SetFactory(std::move(form5));
}

void TForm1::FormCreate()
{
    try {
        LoadSettings(game_, [this](bool raised) { HexMap1->SetHex3d(raised); },
                     [](const QString& text) { ShowErrorMessage(text); });
    } catch (const std::exception& error) {
        ShowException(error);
    }
    game_.DirectXEnabled = 0;
    // The role, address and port come from the settings; a game over the
    // network never starts by itself.
    game_.NetworkPlay = 0;
}

bool TForm1::event(QEvent* event)
{
    // The first activation lays out the first game. A desktop without a
    // window manager never activates the window, so showing it counts too.
    if ((event->type() == QEvent::WindowActivate || event->type() == QEvent::Show) && !activated_) {
        activated_ = true;
        StartFirstGameAfterPaint();
    }
    if (event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        qCInfo(lcStartup, "first paint");
        StartFirstGameAfterPaint();
    }
    return QWidget::event(event);
}

void TForm1::StartFirstGameAfterPaint()
{
    if (!activated_ || !painted_ || firstGameStarted_)
        return;
    firstGameStarted_ = true;
    // A frame later, so that the first picture reaches the screen (the
    // display server needs the processor for that too) before the about box
    // is made, the effects are loaded and the first board is laid out. A
    // button pressed before that (the settings, say) finishes first, as a
    // held Restart press would.
    QTimer::singleShot(
        static_cast<int>(FrameMs()), this,
        [this] {
            if (OnFirstPaint)
                std::exchange(OnFirstPaint, nullptr)();
            aboutBox_.Get();
            // With sound off the effects, and the audio system behind them,
            // are left until an effect first plays.
            if (game_.SoundEnabled == 1)
                PreloadSoundEffects();
            PressButton(btRestart);
        });
}

void TForm1::FitScrollBox()
{
    if (!HexMap1)
        return;
    // The scroll range follows the board, as far as its right and bottom edge.
    ScrollBox1->widget()->resize(HexMap1->x() + HexMap1->width(), HexMap1->y() + HexMap1->height());
}

void TForm1::RunSequence(const std::function<void()>& sequence)
{
    ++sequenceDepth_;
    try {
        sequence();
    } catch (...) {
        --sequenceDepth_;
        QMetaObject::invokeMethod(this, &TForm1::RunHeldPresses, Qt::QueuedConnection);
        throw;
    }
    --sequenceDepth_;
    computerTurn_->Update();
    RunHeldPresses();
}

void TForm1::PressButton(TButton button)
{
    if (closing_)
        return;
    // The computer's search stops for every button but the help.
    if (button != btHelp)
        computerTurn_->Cancel();
    // A second quit request while the question is up would only ask the
    // same question again behind it.
    if (button == btQuit && runningButton_ == btQuit)
        return;
    // A take-back is meant for the position on show: while a move plays
    // out, or something else waits its turn, it is refused rather than held.
    if ((button == btUndo || button == btRedo) && (Busy() || !heldPresses_.empty()))
        return;
    if (Busy() || !heldPresses_.empty()) {
        if (std::find(heldPresses_.begin(), heldPresses_.end(), button) == heldPresses_.end())
            heldPresses_.push_back(button);
        return;
    }
    RunButtonHandler(button);
    RunHeldPresses();
}

void TForm1::RunButtonHandler(TButton button)
{
    runningButton_ = button;
    try {
        RunButton(button);
    } catch (...) {
        runningButton_ = btNone;
        // The failure is shown by the application; what was held still runs,
        // once the event loop is back.
        QMetaObject::invokeMethod(this, &TForm1::RunHeldPresses, Qt::QueuedConnection);
        throw;
    }
    runningButton_ = btNone;
    computerTurn_->Update();
}

void TForm1::RunHeldPresses()
{
    // The outermost caller runs them; a handler ending inside that loop, or
    // a sequence ending inside a handler, leaves them to it.
    if (runningHeldPresses_ || Busy())
        return;
    runningHeldPresses_ = true;
    const auto done = qScopeGuard([this] { runningHeldPresses_ = false; });
    while (!heldPresses_.empty() && !closing_) {
        const TButton next = heldPresses_.front();
        heldPresses_.erase(heldPresses_.begin());
        RunButtonHandler(next);
    }
}

void TForm1::RunButton(TButton button)
{
    switch (button) {
    case btRestart:
        if (!netPlay_->RestartPressed())
            RunSequence([this] { FormActivate(); });
        break;
    case btHelp:
        ShowHelpTopic(this, QStringLiteral("Zelvon.hlp"), QStringLiteral("IDH_1"));
        break;
    case btSettings:
        ApplySetupDial();
        break;
    case btQuit:
        AskToQuit();
        break;
    case btUndo:
    case btRedo:
        if (game_.UndoEnabled == 1 && !netPlay_->Active())
            RunSequence([&] { button == btUndo ? comfort_.Undo() : comfort_.Redo(); });
        UpdateComfort();
        break;
    case btNone:
        break;
    }
}

void TForm1::FormActivate()
{
    random_.seed(static_cast<std::mt19937::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count()));
    auto firstPlayer = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 1)(random_));
    if (dealtFirstPlayer_)
        firstPlayer = *std::exchange(dealtFirstPlayer_, std::nullopt);
    SetUpNewBoard(game_, firstPlayer);
    HexMap1->SetHexColumns(game_.BoardWidth);
    HexMap1->SetHexRows(game_.BoardHeight);
    FitScrollBox();

    // The cells are painted into the hidden board, one per millisecond; the
    // players watch the bar, which is drawn once per display frame.
    const bool keyboardPlay = HexMap1->hasFocus();
    HexMap1->hide();
    ProgressBar1->show();
    qCInfo(lcStartup, "set-up begins");
    const int step = 100 / game_.TotalCells;
    int progress = ProgressBar1->value();
    TPace pace(game_.TotalCells, 1, FrameMs());
    ForEachCell(game_.Size(), [&](TPoint cell) {
        game_.HoverCell = cell;
        HexMap1->ColorHex(game_.GameBoard[cell], TBrushStyle::bsSolid, cell);
        progress += step;
        pace.Wait([&] { ProgressBar1->setValue(progress); });
    });
    // The bar ends full (96 on a 4 x 4 board), as the last frame shows it.
    ProgressBar1->setValue(progress);
    qCInfo(lcStartup, "set-up done");
    HexMap1->show();
    if (keyboardPlay)
        HexMap1->setFocus(Qt::TabFocusReason);
    BlueScore->setText(QStringLiteral("1"));
    RedScore->setText(QStringLiteral("1"));
    ProgressBar1->hide();
    ProgressBar1->setValue(0);

    game_.HoverCell = {1, 1};
    game_.SelectedCell = {1, 1};
    game_.SelectionState = 0;
    history_.NewGame(game_);
    UpdateAccelerationStatus();
    UpdateTurnIndicator();
    UpdateComfort();
    music_->StartGameMusic();
    Timer1.start();
    computerTurn_->NewGame();
}

double TForm1::FrameMs() const
{
    // Screens that report no rate, or a strange one, count as 60 Hz.
    const QScreen* shown = screen();
    const double rate = shown ? shown->refreshRate() : 0;
    return rate >= 24 && rate <= 480 ? 1000 / rate : TPace::DefaultFrameMs;
}

void TForm1::UpdateTurnIndicator()
{
    KITScanner1->SetScanColor(game_.CurrentPlayer == 1 ? scBlue : scRed);
    // The turn passes: the hints of the pick go with the move at once, not
    // after its fill; UpdateComfort puts up the new marks.
    if (game_.SelectionState == 0 && !HexMap1->Marks().Empty())
        HexMap1->SetMarks({});
}

void TForm1::UpdateAccelerationStatus()
{
    const bool boosted = PentiumMMX1->MMXsupport() && game_.MmxEnabled == 1;
    Label5->setText(boosted ? tr("MMX Boosted !") : tr("x86 Instructions"));
}

void TForm1::SelectHex(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)
{
    // A press that arrives while a board is being laid out or filled, or
    // while a button's window is still closing, would act on a board that
    // is about to change.
    if (Busy() || closing_)
        return;
    // The computer's move is under way: a press is refused as one on an
    // opponent's piece is.
    if (computerTurn_->ComputerToMove()) {
        if (game_.SoundEnabled == 1 && game_.OnBoard(HexMap1->ConvertPoint({x, y}, cpPixelToCell)))
            PlayEffect(QStringLiteral("ding.wav"));
        return;
    }
    if (!netPlay_->AllowPress(HexMap1->ConvertPoint({x, y}, cpPixelToCell)))
        return;
    RunSequence([&] { logic_.SelectHex(x, y); });
    netPlay_->AfterPress();
    UpdateComfort();
}

void TForm1::HexMap1MouseMove(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)
{
    const TPoint cell = HexMap1->ConvertPoint({x, y}, cpPixelToCell);
    if (cell == game_.HoverCell)
        return;
    Label2->setText(QString::number(cell.X));
    Label4->setText(QString::number(cell.Y));
    game_.HoverCell = cell;
}

void TForm1::Button1Click()
{
    PressButton(btRestart);
}

void TForm1::BitBtn1Click()
{
    PressButton(btQuit);
}

void TForm1::BitBtn2Click()
{
    PressButton(btSettings);
}

void TForm1::BitBtn4Click()
{
    PressButton(btHelp);
}

void TForm1::UndoButtonClick()
{
    PressButton(btUndo);
}

void TForm1::RedoButtonClick()
{
    PressButton(btRedo);
}

void TForm1::AskToQuit()
{
    QMessageBox question(QMessageBox::Question, tr("Confirm"),
                         tr("Opravdu chcete ukončit program?"), QMessageBox::NoButton, this);
    QAbstractButton* yes = question.addButton(tr("&Yes"), QMessageBox::YesRole);
    question.addButton(tr("&No"), QMessageBox::NoRole);
    question.exec();
    if (question.clickedButton() != yes)
        return;
    netPlay_->Leave();
    if (aboutBox_)
        aboutBox_->exec();
    try {
        SaveSettings(game_, HexMap1->Hex3d());
    } catch (const std::exception& error) {
        // Reported, but the players still get to leave: the window has
        // no other way out.
        ShowException(error);
    }
    Quit();
}

void TForm1::Quit()
{
    closing_ = true;
    computerTurn_->Cancel();
    heldPresses_.clear();
    Timer1.stop();
    // The program's other windows go with this one, the help among them.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isWindow() && child->isVisible())
            child->close();
    close();
    // Ends every event loop that is running, a modal box's nested in the
    // program's included, and with the outermost the program; loops that
    // would start on the way out return at once.
    QCoreApplication::exit(0);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (closing_) {
        event->accept();
        return;
    }
    // A close request from the desktop takes the Konec path with its
    // question, from the event loop rather than from inside the request.
    computerTurn_->Cancel();
    event->ignore();
    QMetaObject::invokeMethod(this, &TForm1::BitBtn1Click, Qt::QueuedConnection);
}

void TForm1::ApplySetupDial()
{
    if (!setupDial_)
        return;
    game_.RestartNeeded = 0;
    // What this showing decided, read before anything else can run.
    const bool accepted = setupDial_->exec() == QDialog::Accepted;
    const bool restart = accepted && game_.RestartNeeded == 1;
    // A failed music step is reported; the rest is applied all the same.
    music_->ApplyMusicEnabled();
    if (setupDial_->CheckBox9->isChecked() != HexMap1->Hex3d()) {
        HexMap1->SetHex3d(setupDial_->CheckBox9->isChecked());
        ForEachCell(game_.Size(), [&](TPoint cell) {
            if (game_.GameBoard[cell] != clGray)
                HexMap1->ColorHex(game_.GameBoard[cell], TBrushStyle::bsSolid, cell);
        });
    }
    UpdateAccelerationStatus();
    netPlay_->ApplySettings();
    UpdateComfort();
    if (restart && !netPlay_->Playing())
        RunSequence([this] { FormActivate(); });
}

void TForm1::Timer1Timer()
{
    music_->Timer1Timer();
}

const THexGeometry& TForm1::BoardGeometry() const
{
    return HexMap1->Geometry();
}

void TForm1::PaintCell(TPoint cell, TColor color)
{
    HexMap1->ColorHex(color, TBrushStyle::bsSolid, cell);
}

void TForm1::PlayEffect(const QString& fileName)
{
    PlaySoundEffect(fileName);
}

void TForm1::ShowScore(TSide side, int count)
{
    (side == TSide::Red ? RedScore : BlueScore)->setText(QString::number(count));
}

void TForm1::Wait(TPace& pace)
{
    pace.Wait();
}

void TForm1::ShowPodium(TPodiumOutcome outcome)
{
    computerTurn_->Cancel();
    if (form5_)
        form5_->ShowPodium(outcome, game_.SoundEnabled == 1);
}

void TForm1::Restart()
{
    if (netPlay_->GameEnded())
        return;
    FormActivate();
}
