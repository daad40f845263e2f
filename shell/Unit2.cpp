#include "shell/Unit2.h"

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("O programu"));
    setFixedSize(247, 280);
}
