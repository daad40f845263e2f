// The settings dialog: its three pages, copying the settings into the
// controls and back, the board preview and the decoration.
#include "shell/Unit3.h"

#include "controls/PentiumMMX.h"
#include "game/GameState.h"
#include "hexmap/Hexmap.h"
#include "shell/Application.h"
#include "shell/ComfortPage.h"
#include "shell/DataFiles.h"
#include "shell/Glyphs.h"
#include "shell/NetPanel.h"
#include "shell/Mnemonics.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHideEvent>
#include <QImage>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QSlider>
#include <QTabWidget>

#include <algorithm>
#include <exception>
#include <utility>

namespace {

constexpr int AnimateSize = 48;
constexpr int AnimateFrames = 8;
constexpr int AnimateInterval = 100;
constexpr int IconSize = 32;

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption, const QRect& geometry, bool checked,
                        bool enabled)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(geometry);
    box->setChecked(checked);
    box->setEnabled(enabled);
    return box;
}

QRadioButton* MakeRadio(QWidget* parent, const char* name, const QString& caption, const QRect& geometry, bool checked,
                        bool enabled)
{
    auto* radio = new QRadioButton(caption, parent);
    radio->setObjectName(QLatin1String(name));
    radio->setGeometry(geometry);
    radio->setChecked(checked);
    radio->setEnabled(enabled);
    return radio;
}

// The size bars are short: with the usual long thumb of some styles the
// thumb would fill the bar and its position could not be read.
class TShortThumbStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_ScrollBarSliderMin)
            return 8;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QScrollBar* MakeSizeBar(QWidget* parent, Qt::Orientation orientation, const QRect& geometry, QStyle* style)
{
    auto* bar = new QScrollBar(orientation, parent);
    bar->setStyle(style);
    bar->setGeometry(geometry);
    bar->setRange(MinBoardSize, MaxBoardSize);
    // One step for the arrows and for a click beside the thumb alike. A page
    // step of 0 would leave clicks beside the thumb dead and gives the thumb
    // no sensible length.
    bar->setPageStep(1);
    bar->setSingleStep(1);
    bar->setValue(MaxBoardSize);
    return bar;
}

QPixmap FitInto(const QImage& image, int width, int height)
{
    if (image.width() <= width && image.height() <= height)
        return QPixmap::fromImage(image);
    return QPixmap::fromImage(image.scaled(width, height, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

TSetupDial::TSetupDial(TGameState& game, THexMap* mainMap, TPentiumMMX* probe, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , game_(game)
    , mainMap_(mainMap)
    , probe_(probe)
{
    setWindowTitle(tr("Nastavení Zelvonu"));
    setFixedSize(309, 257);
    QFont face(QStringLiteral("MS Sans Serif"));
    face.setStyleHint(QFont::SansSerif);
    face.setPixelSize(10);
    setFont(face);

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(7, 7, 296, 202);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    TabSheet3 = new QWidget;
    PageControl1->addTab(TabSheet1, tr("Hra"));
    PageControl1->addTab(TabSheet2, tr("Počítač && hrací plocha"));
    PageControl1->addTab(TabSheet3, QStringLiteral("DirectX"));
    TabSheet4 = new TComfortPage;
    PageControl1->addTab(TabSheet4, tr("Pohodlí"));
    PageControl1->setCurrentIndex(0);

    CreateGamePage();
    CreateBoardPage();
    CreateDirectXPage();

    BitBtn1 = new QPushButton(tr("&OK"), this);
    BitBtn1->setGeometry(145, 222, 75, 25);
    BitBtn1->setIcon(GlyphIcon(QStringLiteral("glyph-ok.png")));
    BitBtn2 = new QPushButton(tr("&Zrušit"), this);
    BitBtn2->setGeometry(227, 222, 75, 25);
    BitBtn2->setIcon(GlyphIcon(QStringLiteral("glyph-cancel.png")));
    // Enter must not confirm a half-made change: only a click (or the
    // button's own key) decides.
    for (QPushButton* button : {BitBtn1, BitBtn2}) {
        button->setDefault(false);
        button->setAutoDefault(false);
    }
    connect(BitBtn1, &QPushButton::clicked, this, &TSetupDial::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TSetupDial::BitBtn2Click);

    // Named like their members, so that they can be looked up by name.
    const std::pair<QObject*, const char*> names[] = {
        {PageControl1, "PageControl1"}, {TabSheet1, "TabSheet1"}, {TabSheet2, "TabSheet2"},
        {TabSheet3, "TabSheet3"},       {GroupBox1, "GroupBox1"}, {GroupBox2, "GroupBox2"},
        {GroupBox3, "GroupBox3"},       {Panel2, "Panel2"},       {ScrollBar1, "ScrollBar1"},
        {ScrollBar2, "ScrollBar2"},     {HexMap1, "HexMap1"},     {Animate1, "Animate1"},
        {Label1, "Label1"},             {TrackBar1, "TrackBar1"}, {Image1, "Image1"},
        {BitBtn1, "BitBtn1"},           {BitBtn2, "BitBtn2"},
    };
    for (const auto& [object, name] : names)
        object->setObjectName(QLatin1String(name));

    AddMnemonics(this);
    LoadAnimation();
    animateTimer_.setInterval(AnimateInterval);
    connect(&animateTimer_, &QTimer::timeout, this, &TSetupDial::Animate1Step);
}

void TSetupDial::CreateGamePage()
{
    QWidget* page = TabSheet1;

    GroupBox1 = new QGroupBox(tr("Modrý hráč"), page);
    GroupBox1->setGeometry(8, 4, 133, 54);
    RadioButton3 = MakeRadio(GroupBox1, "RadioButton3", tr("Člověk"), {10, 16, 110, 18}, true, true);
    RadioButton4 = MakeRadio(GroupBox1, "RadioButton4", tr("Počítač"), {10, 33, 110, 18}, false, true);

    GroupBox2 = new QGroupBox(tr("Červený hráč"), page);
    GroupBox2->setGeometry(147, 4, 133, 54);
    RadioButton5 = MakeRadio(GroupBox2, "RadioButton5", tr("Člověk"), {10, 16, 110, 18}, true, true);
    RadioButton6 = MakeRadio(GroupBox2, "RadioButton6", tr("Počítač"), {10, 33, 110, 18}, false, true);

    CheckBox1 = MakeCheckBox(page, "CheckBox1", tr("Zvuky (Požadováno zařízení schopné přehrávat WAVy)"),
                             {8, 64, 276, 18}, true, true);
    CheckBox2 = MakeCheckBox(page, "CheckBox2", tr("Hudba (Požadováno zařizení schopné přehrávat MIDi)"),
                             {8, 82, 276, 18}, true, true);
    CheckBox3 = MakeCheckBox(page, "CheckBox3", tr("Povolit podporu MMX"), {8, 100, 276, 18}, true, true);
    CheckBox4 = MakeCheckBox(page, "CheckBox4", tr("Povolit podporu DirectX (DirectDraw, Direct3D)"),
                             {8, 118, 276, 18}, false, false);
    CheckBox5 = MakeCheckBox(page, "CheckBox5", tr("Hra přez TCP/IP "), {8, 144, 104, 18}, false, true);
    CheckBox5->setToolTip(tr("Hra se soupeřem na jiném počítači. Při každém spuštění je vypnutá; "
                             "role, adresa a port zůstávají uložené."));

    Panel2 = new QFrame(page);
    // Taller than the radios alone, down to the page's edge: the address
    // and the port sit under them.
    Panel2->setGeometry(116, 138, 164, NetPanelHeight);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(1);
    Panel2->setEnabled(false);
    RadioButton1 = MakeRadio(Panel2, "RadioButton1", "Client", {10, 5, 64, 18}, true, true);
    RadioButton2 = MakeRadio(Panel2, "RadioButton2", "Server", {86, 5, 64, 18}, false, true);
    NetPanel = new TNetPanel(Panel2, RadioButton1, RadioButton2);

    connect(CheckBox5, &QCheckBox::toggled, this, &TSetupDial::CheckBox5Click);
}

void TSetupDial::CreateBoardPage()
{
    QWidget* page = TabSheet2;

    GroupBox3 = new QGroupBox(tr("Rozměry plochy"), page);
    GroupBox3->setGeometry(8, 4, 120, 136);
    auto* barStyle = new TShortThumbStyle;
    barStyle->setParent(this);
    ScrollBar1 = MakeSizeBar(GroupBox3, Qt::Horizontal, {28, 19, 62, 16}, barStyle);
    ScrollBar2 = MakeSizeBar(GroupBox3, Qt::Vertical, {9, 38, 16, 63}, barStyle);

    // The preview's properties in the order a stored form applies them.
    HexMap1 = new THexMap(GroupBox3);
    HexMap1->move(28, 38);
    HexMap1->SetUseSavedMap(false);
    HexMap1->SetMapGridOn(true);
    HexMap1->SetMapImageName(QStringLiteral("Rome.bmp"));
    HexMap1->SetNoMapImage(true);
    HexMap1->SetHexColumns(MaxBoardSize);
    HexMap1->SetHexRows(MaxBoardSize);
    HexMap1->SetHexRadius(4);
    HexMap1->SetHexShowLabels(false);
    HexMap1->SetHex3d(true);
    HexMap1->SetHexColor(clGray);
    HexMap1->SetBackColor(clTeal);
    HexMap1->SetLineColor(clBlack);
    // A picture only: no keyboard cursor in the preview.
    HexMap1->setFocusPolicy(Qt::NoFocus);

    CheckBox9 = MakeCheckBox(GroupBox3, "CheckBox9", tr("Používat 3D hexy"), {9, 110, 106, 18}, true, true);

    Animate1 = new QLabel(page);
    Animate1->setGeometry(184, 16, AnimateSize, AnimateSize);
    Animate1->setAlignment(Qt::AlignCenter);

    Label1 = new QLabel(tr("Inteligence:"), page);
    QFont bold = font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->setGeometry(140, 96, 140, 14);

    TrackBar1 = new QSlider(Qt::Horizontal, page);
    TrackBar1->setGeometry(136, 112, 148, 30);
    TrackBar1->setRange(0, 10);
    TrackBar1->setTickInterval(1);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setValue(5);

    connect(ScrollBar1, &QScrollBar::valueChanged, this, &TSetupDial::ScrollBar1Change);
    connect(ScrollBar2, &QScrollBar::valueChanged, this, &TSetupDial::ScrollBar2Change);
    connect(CheckBox9, &QCheckBox::toggled, this, &TSetupDial::CheckBox9Click);
}

void TSetupDial::CreateDirectXPage()
{
    QWidget* page = TabSheet3;

    Image1 = new QLabel(page);
    Image1->setGeometry(16, 16, IconSize, IconSize);
    QImage icon;
    if (icon.load(DataFilePath(QStringLiteral("setup-icon.png"))))
        Image1->setPixmap(FitInto(icon, IconSize, IconSize));

    CheckBox6 = MakeCheckBox(page, "CheckBox6", "DirectDraw", {64, 16, 160, 18}, true, false);
    CheckBox7 = MakeCheckBox(page, "CheckBox7", "DirectSound", {64, 36, 160, 18}, true, false);
    CheckBox8 = MakeCheckBox(page, "CheckBox8", "DirectPlay", {64, 56, 160, 18}, true, false);
}

void TSetupDial::LoadAnimation()
{
    // Square frames side by side; whatever the file holds beyond the first
    // eight is left out, and an unreadable file leaves the place empty.
    QImage strip;
    if (!strip.load(DataFilePath(QStringLiteral("setup-anim.png"))) || strip.height() <= 0)
        return;
    const int side = strip.height();
    const int count = std::min(AnimateFrames, strip.width() / side);
    for (int frame = 0; frame < count; ++frame)
        animateFrames_.push_back(FitInto(strip.copy(frame * side, 0, side, side), AnimateSize, AnimateSize));
    if (!animateFrames_.empty())
        Animate1->setPixmap(animateFrames_.front());
}

void TSetupDial::Animate1Step()
{
    if (animateFrames_.empty())
        return;
    animateFrame_ = (animateFrame_ + 1) % static_cast<int>(animateFrames_.size());
    Animate1->setPixmap(animateFrames_[animateFrame_]);
}

int TSetupDial::AnimateFrame() const
{
    return animateFrames_.empty() ? -1 : animateFrame_;
}

void TSetupDial::SetMMXQuery(std::function<bool()> query)
{
    mmxQuery_ = std::move(query);
}

bool TSetupDial::ProcessorHasMMX() const
{
    if (mmxQuery_)
        return mmxQuery_();
    return probe_ && probe_->MMXsupport();
}

void TSetupDial::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A window restored by the desktop is not a new showing.
    if (event->spontaneous())
        return;
    FormShow();
    // Run here rather than on activation: without a window manager the
    // dialog may never be activated, and the check is the same each time.
    FormActivate();
    if (!animateFrames_.empty())
        animateTimer_.start();
}

void TSetupDial::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        animateTimer_.stop();
}

void TSetupDial::FormShow()
{
    CheckBox1->setChecked(game_.SoundEnabled == 1);
    CheckBox2->setChecked(game_.MusicEnabled == 1);
    CheckBox3->setChecked(game_.MmxEnabled == 1);
    CheckBox4->setChecked(game_.DirectXEnabled == 1);
    CheckBox5->setChecked(game_.NetworkPlay == 1);
    // An exclusive radio cannot be switched off directly; its partner is
    // switched on instead.
    (game_.NetworkClient == 1 ? RadioButton1 : RadioButton2)->setChecked(true);
    (game_.BluePlayer == 1 ? RadioButton4 : RadioButton3)->setChecked(true);
    (game_.RedPlayer == 1 ? RadioButton6 : RadioButton5)->setChecked(true);
    TrackBar1->setValue(game_.Intelligence);
    NetPanel->Show(game_.NetworkAddress, game_.NetworkPort);
    if (mainMap_)
        CheckBox9->setChecked(mainMap_->Hex3d());
    // Out-of-range values are clamped by the bars; the handlers run only
    // when a position really changes.
    ScrollBar1->setValue(game_.BoardWidth);
    ScrollBar2->setValue(game_.BoardHeight);
    TabSheet4->Load(game_);
}

void TSetupDial::FormActivate()
{
    try {
        if (!ProcessorHasMMX())
            CheckBox3->setEnabled(false);
    } catch (const std::exception& error) {
        ShowException(error);
    }
}

void TSetupDial::BitBtn1Click()
{
    game_.SoundEnabled = CheckBox1->isChecked() ? 1 : 0;
    game_.MusicEnabled = CheckBox2->isChecked() ? 1 : 0;
    game_.MmxEnabled = CheckBox3->isChecked() ? 1 : 0;
    game_.DirectXEnabled = CheckBox4->isChecked() ? 1 : 0;
    game_.NetworkPlay = CheckBox5->isChecked() ? 1 : 0;
    game_.NetworkClient = RadioButton1->isChecked() ? 1 : 0;
    game_.BluePlayer = RadioButton4->isChecked() ? 1 : 0;
    game_.RedPlayer = RadioButton6->isChecked() ? 1 : 0;
    game_.Intelligence = static_cast<std::uint8_t>(TrackBar1->value());
    game_.NetworkAddress = NetPanel->Address();
    game_.NetworkPort = NetPanel->Port();
    TabSheet4->Store(game_);
    if (ScrollBar1->value() != game_.BoardWidth || ScrollBar2->value() != game_.BoardHeight) {
        game_.BoardWidth = static_cast<std::uint8_t>(ScrollBar1->value());
        game_.BoardHeight = static_cast<std::uint8_t>(ScrollBar2->value());
        game_.RestartNeeded = 1;
    }
    accept();
}

void TSetupDial::BitBtn2Click()
{
    FormShow();
    QDialog::reject();
}

void TSetupDial::reject()
{
    BitBtn2Click();
}

void TSetupDial::CheckBox5Click()
{
    const bool on = CheckBox5->isChecked();
    Panel2->setEnabled(on);
    Panel2->setFrameShadow(on ? QFrame::Raised : QFrame::Sunken);
}

void TSetupDial::CheckBox9Click()
{
    HexMap1->SetHex3d(CheckBox9->isChecked());
}

void TSetupDial::ScrollBar1Change()
{
    HexMap1->SetHexColumns(ScrollBar1->value());
}

void TSetupDial::ScrollBar2Change()
{
    HexMap1->SetHexRows(ScrollBar2->value());
}
