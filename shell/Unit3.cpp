#include "shell/Unit3.h"

#include "game/GameState.h"
#include "hexmap/Hexmap.h"

#include <QCheckBox>

TSetupDial::TSetupDial(TGameState& game, THexMap* mainMap, TPentiumMMX* probe, QWidget* parent)
    : QDialog(parent)
    , game_(game)
    , mainMap_(mainMap)
    , probe_(probe)
{
    setWindowTitle(QString::fromUtf8("Nastavení Zelvonu"));
    setFixedSize(309, 257);
    CheckBox9 = new QCheckBox(QString::fromUtf8("Používat 3D hexy"), this);
    CheckBox9->setChecked(mainMap_->Hex3d());
}
