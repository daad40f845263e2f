// The settings dialog.
#pragma once

#include <QDialog>

class QCheckBox;
class THexMap;
class TPentiumMMX;
struct TGameState;

class TSetupDial : public QDialog {
    Q_OBJECT

public:
    TSetupDial(TGameState& game, THexMap* mainMap, TPentiumMMX* probe, QWidget* parent = nullptr);

    QCheckBox* CheckBox9 = nullptr;

private:
    TGameState& game_;
    THexMap* mainMap_;
    TPentiumMMX* probe_;
};
