// The settings dialog's page "Pohodlí": taking moves back, the marks for
// possible moves and the last move, and the interface language. It holds
// copies of the options, as the dialog's other controls do.
#pragma once

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
struct TGameState;

class TComfortPage : public QWidget {
    Q_OBJECT

public:
    explicit TComfortPage(QWidget* parent = nullptr);

    // The options into the controls, and back.
    void Load(const TGameState& game);
    void Store(TGameState& game) const;

    QCheckBox* CheckBox10 = nullptr; // "Povolit vracení tahů"
    QCheckBox* CheckBox11 = nullptr; // "Ukázat možné tahy"
    QCheckBox* CheckBox12 = nullptr; // "Ukázat poslední tah"
    QGroupBox* GroupBox4 = nullptr;  // "Jazyk"
    QRadioButton* RadioButton7 = nullptr; // "Čeština"
    QRadioButton* RadioButton8 = nullptr; // "English"
    QLabel* Label2 = nullptr;
};
