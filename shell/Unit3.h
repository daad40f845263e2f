// The settings dialog: board size with a small live preview, raised cells,
// sound effects, music and MMX use, who plays each side (a person or the
// computer) and the computer's level, network play with its role, address
// and port, and the DirectX controls of a feature the game does not have,
// shown but never enabled. The controls hold copies: OK commits them to the game's
// variables, "Zrušit" (and Escape, and the window's close request) puts
// them back.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QTimer>

#include <functional>
#include <vector>

class QCheckBox;
class QFrame;
class QGroupBox;
class QHideEvent;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QShowEvent;
class QSlider;
class QTabWidget;
class TComfortPage;
class THexMap;
class TNetPanel;
class TPentiumMMX;
struct TGameState;

class TSetupDial : public QDialog {
    Q_OBJECT

public:
    // `mainMap` is the main board, whose raised-cell style the dialog shows;
    // `probe` answers whether the processor has MMX. Either may be null: the
    // box then keeps its state, or MMX counts as missing.
    TSetupDial(TGameState& game, THexMap* mainMap, TPentiumMMX* probe, QWidget* parent = nullptr);

    // Replaces the processor question; an empty function asks the probe
    // again. Lets a machine with MMX play one without.
    void SetMMXQuery(std::function<bool()> query);

    // Escape and a close request from the desktop come here; they must not
    // leave the edited copies standing for the main window to read.
    void reject() override;

    // Handlers.
    void FormShow();
    void FormActivate();
    void BitBtn1Click();
    void BitBtn2Click();
    void CheckBox5Click();
    void CheckBox9Click();
    void ScrollBar1Change();
    void ScrollBar2Change();

    // The animation frame on show, or -1 when there is no animation.
    int AnimateFrame() const;
    int AnimateFrameCount() const { return static_cast<int>(animateFrames_.size()); }

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    TComfortPage* TabSheet4 = nullptr; // "Pohodlí"

    // "Hra"
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QRadioButton* RadioButton5 = nullptr;
    QRadioButton* RadioButton6 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QFrame* Panel2 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    // The address and port fields beside the two radios.
    TNetPanel* NetPanel = nullptr;

    // "Počítač & hrací plocha"
    QGroupBox* GroupBox3 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QScrollBar* ScrollBar2 = nullptr;
    THexMap* HexMap1 = nullptr;
    QCheckBox* CheckBox9 = nullptr;
    QLabel* Animate1 = nullptr;
    QLabel* Label1 = nullptr;
    QSlider* TrackBar1 = nullptr;

    // "DirectX"
    QLabel* Image1 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QCheckBox* CheckBox7 = nullptr;
    QCheckBox* CheckBox8 = nullptr;

    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void CreateGamePage();
    void CreateBoardPage();
    void CreateDirectXPage();
    void LoadAnimation();
    void Animate1Step();
    bool ProcessorHasMMX() const;

    TGameState& game_;
    THexMap* mainMap_;
    TPentiumMMX* probe_;
    std::function<bool()> mmxQuery_;

    std::vector<QPixmap> animateFrames_;
    int animateFrame_ = 0;
    QTimer animateTimer_;
};
