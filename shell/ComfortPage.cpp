// The page "Pohodlí" of the settings dialog.
#include "shell/ComfortPage.h"

#include "game/GameState.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

namespace {

template <typename Control>
Control* Make(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* control = new Control(caption, parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

} // namespace

TComfortPage::TComfortPage(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet4"));
    CheckBox10 = Make<QCheckBox>(this, "CheckBox10", tr("Povolit vracení tahů"), {8, 8, 276, 18});
    CheckBox11 = Make<QCheckBox>(this, "CheckBox11", tr("Ukázat možné tahy"), {8, 26, 276, 18});
    CheckBox12 = Make<QCheckBox>(this, "CheckBox12", tr("Ukázat poslední tah"), {8, 44, 276, 18});

    GroupBox4 = new QGroupBox(tr("Jazyk"), this);
    GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
    GroupBox4->setGeometry(8, 70, 272, 92);
    RadioButton7 = Make<QRadioButton>(GroupBox4, "RadioButton7", tr("Čeština"), {10, 16, 110, 18});
    RadioButton8 = Make<QRadioButton>(GroupBox4, "RadioButton8", tr("English"), {10, 34, 110, 18});
    RadioButton7->setChecked(true);
    Label2 = new QLabel(tr("Jazyk se změní při příštím spuštění programu."), GroupBox4);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(10, 56, 252, 28);
    Label2->setWordWrap(true);
}

void TComfortPage::Load(const TGameState& game)
{
    CheckBox10->setChecked(game.UndoEnabled == 1);
    CheckBox11->setChecked(game.HintsEnabled == 1);
    CheckBox12->setChecked(game.LastMoveEnabled == 1);
    (game.Language == 1 ? RadioButton8 : RadioButton7)->setChecked(true);
}

void TComfortPage::Store(TGameState& game) const
{
    game.UndoEnabled = CheckBox10->isChecked() ? 1 : 0;
    game.HintsEnabled = CheckBox11->isChecked() ? 1 : 0;
    game.LastMoveEnabled = CheckBox12->isChecked() ? 1 : 0;
    game.Language = RadioButton8->isChecked() ? 1 : 0;
}
