// The winners' podium window (see Unit5.h).
#include "shell/Unit5.h"

#include "shell/DataFiles.h"
#include "shell/Glyphs.h"
#include "shell/Language.h"
#include "shell/Mnemonics.h"
#include "shell/SoundEffects.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace {

constexpr int PictureWidth = 320;
constexpr int PictureHeight = 200;

// Stands in for a missing picture file: the outcome in words on black.
QImage PlainPicture(int outcome)
{
    static const char* const texts[] = {QT_TRANSLATE_NOOP("TForm5", "Vyrovnaná hra"), QT_TRANSLATE_NOOP("TForm5", "Modrý zvítězil"), QT_TRANSLATE_NOOP("TForm5", "Červený zvítězil")};
    QImage picture(PictureWidth, PictureHeight, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.setPen(outcome == 0 ? QColor(128, 0, 0) : QColor(192, 192, 192));
    QFont font = painter.font();
    font.setPixelSize(24);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(picture.rect(), Qt::AlignCenter, TForm5::tr(texts[outcome]));
    return picture;
}

} // namespace

TForm5::TForm5(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Stupínek vítězů"));
    setFixedSize(336, 242);
    move(192, 119);

    Image1 = new QLabel(this);
    Image1->setGeometry(7, 7, PictureWidth, PictureHeight);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setGeometry(140, 216, 66, 20);
    BitBtn1->setIcon(GlyphIcon(QStringLiteral("glyph-ok.png")));
    connect(BitBtn1, &QPushButton::clicked, this, &TForm5::BitBtn1Click);
    AddMnemonics(this);

    LoadWinIm();
    picture_ = QImage(PictureWidth, PictureHeight, QImage::Format_RGB32);
    picture_.fill(Qt::black);
}

void TForm5::LoadWinIm()
{
    QImage strip;
    strip.load(DataFilePath(LocalizedDataFile(QStringLiteral("podium.png"))));
    const bool usable = strip.width() >= 3 * PictureWidth && strip.height() >= PictureHeight;
    for (int outcome = 0; outcome < 3; ++outcome) {
        WinIm[outcome] = usable ? strip.copy(outcome * PictureWidth, 0, PictureWidth, PictureHeight)
                                      .convertToFormat(QImage::Format_RGB32)
                                : PlainPicture(outcome);
    }
}

void TForm5::ShowPodium(TPodiumOutcome outcome, bool soundEnabled)
{
    const int index = outcome <= poRedWon ? outcome : poDraw;
    QPainter painter(&picture_);
    painter.drawImage(0, 0, WinIm[index]);
    painter.end();
    Image1->setPixmap(QPixmap::fromImage(picture_));
    if (index != poDraw && soundEnabled)
        PlaySoundEffect(QStringLiteral("applause.wav"));
    exec();
}

void TForm5::BitBtn1Click()
{
    accept();
}
