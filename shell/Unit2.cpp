// The about box: its controls, the logo and the placement on the screen.
#include "shell/Unit2.h"

#include "controls/TransBtn.h"
#include "controls/URLLabel.h"
#include "shell/Application.h"
#include "shell/Canvas.h"
#include "shell/DataFiles.h"
#include "shell/Glyphs.h"
#include "shell/JpegImage.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShowEvent>

const QString TAboutBox::MailAddress = QStringLiteral("zelvon@brantek.example");

namespace {

constexpr int LogoWidth = 214;
constexpr int LogoHeight = 94;

// The box was laid out for "MS Sans Serif"; its metric stand-ins come next so
// that the captions keep to their places even where the program's own font
// substitutions are not in force.
QFont FaceFont(const QString& family, int pixelHeight, bool bold)
{
    QFont font;
    font.setFamilies({family, QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

QFont SansFont(int pixelHeight, bool bold = false)
{
    return FaceFont(QStringLiteral("MS Sans Serif"), pixelHeight, bold);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, const QFont& font)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->move(x, y);
    label->adjustSize();
    return label;
}

// A panel with a lowered outer and a raised inner bevel, one pixel each.
class TBevelPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QImage image(size(), QImage::Format_RGB32);
        TCanvas canvas(image);
        canvas.Brush.Color = clBtnFace;
        canvas.FillRect(image.rect());
        QRect frame = image.rect();
        DrawBevelFrame(canvas, frame, clBtnShadow, clBtnHighlight, 1);
        DrawBevelFrame(canvas, frame, clBtnHighlight, clBtnShadow, 1);
        QPainter painter(this);
        painter.drawImage(0, 0, image);
    }
};

} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(tr("O programu"));
    setFixedSize(247, 280);
    setFont(SansFont(11));
    CreateControls();
    LoadLogo();
}

void TAboutBox::CreateControls()
{
    Panel1 = new TBevelPanel(this);
    Panel1->setGeometry(7, 7, 233, 238);

    ProductName = MakeLabel(Panel1, QStringLiteral("Zelvon pro Win 95"), 8, 6, SansFont(15, true));
    Version = MakeLabel(Panel1, tr("Verze 1.0b – sdílená edice"), 8, 25, font());

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setGeometry(9, 40, LogoWidth, LogoHeight);

    Label1 = MakeLabel(Panel1, QString::fromUtf8("Copyright © 1998 Brantek"), 8, 135, font());

    URLLabel1 = new TURLLabel(Panel1);
    QFont linkFont = SansFont(11);
    linkFont.setUnderline(true);
    URLLabel1->setFont(linkFont);
    URLLabel1->SetColorMoveOver(clRed);
    URLLabel1->SetColorClick(clPurple);
    URLLabel1->setText(MailAddress);
    URLLabel1->SetURL(QStringLiteral("mailto: ") + MailAddress);
    URLLabel1->move(102, 150);
    URLLabel1->adjustSize();

    // Right-aligned against the link, whatever width the face gives it.
    Label2 = new QLabel(QStringLiteral("E-mail:"), Panel1);
    Label2->setFont(SansFont(11, true));
    Label2->adjustSize();
    Label2->move(URLLabel1->x() - 4 - Label2->width(), URLLabel1->y());

    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setGeometry(8, 168, 217, 62);
    Memo1->setFont(FaceFont(QStringLiteral("Arial"), 11, true));
    Memo1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setPlainText(tr("Poděkování:\n"
                                          "Želvám za odborné konzultace.\n"
                                          "Kávovaru za všechny noční směny."));

    TransparentButton1 = new TTransparentButton(this);
    TransparentButton1->setGeometry(108, 248, 40, 29);
    TransparentButton1->SetGlyph(LoadGlyph(QStringLiteral("glyph-about.png")));
    TransparentButton1->SetNumGlyphs(2);
    // Without its picture the button would be an invisible spot.
    if (TransparentButton1->Glyph().isNull())
        TransparentButton1->SetCaption(QStringLiteral("OK"));
    TransparentButton1->OnClick = [this](QObject*) { TransparentButton1Click(); };
}

void TAboutBox::LoadLogo()
{
    try {
        logo_ = LoadJpeg(DataFilePath(QStringLiteral("logo.jpg")));
    } catch (const std::exception& error) {
        logo_ = QImage();
        ShowException(error);
    }
    if (logo_.isNull()) {
        ProgramIcon->setPixmap(QPixmap());
        return;
    }
    ProgramIcon->setPixmap(
        QPixmap::fromImage(logo_.scaled(LogoWidth, LogoHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void TAboutBox::TransparentButton1Click()
{
    accept();
}

void TAboutBox::showEvent(QShowEvent* event)
{
    // Centred on the screen each time, not over the main window.
    if (!event->spontaneous()) {
        QScreen* screen = parentWidget() ? parentWidget()->screen() : nullptr;
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QDialog::showEvent(event);
}
