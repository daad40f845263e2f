// The main window's comfort controls: the take-back buttons and their
// shortcuts, and the marks of the board, shown as the options say.
#include "game/Unit1.h"

#include "game/NetPlay.h"

#include "hexmap/HexMarks.h"
#include "hexmap/Hexmap.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

void TForm1::CreateComfortControls()
{
    // In the free space between the score and the column of buttons, so
    // nothing else moves when they appear.
    UndoButton = new QPushButton(tr("Zpět"), this);
    UndoButton->setGeometry(340, 203, 67, 25);
    RedoButton = new QPushButton(tr("Znovu"), this);
    RedoButton->setGeometry(410, 203, 67, 25);
    connect(UndoButton, &QPushButton::clicked, this, &TForm1::UndoButtonClick);
    connect(RedoButton, &QPushButton::clicked, this, &TForm1::RedoButtonClick);
    for (QPushButton* button : {UndoButton, RedoButton})
        button->hide();

    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Z)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, &TForm1::UndoButtonClick);
        UndoShortcuts.push_back(shortcut);
    }
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, &TForm1::RedoButtonClick);
        RedoShortcuts.push_back(shortcut);
    }
    for (const auto* list : {&UndoShortcuts, &RedoShortcuts})
        for (QShortcut* shortcut : *list)
            shortcut->setEnabled(false);
}

void TForm1::UpdateComfort()
{
    // A game over the network is not taken back; its status line stands
    // where the take-back buttons would.
    const bool undo = game_.UndoEnabled == 1 && !(netPlay_ && netPlay_->Active());
    UndoButton->setVisible(undo);
    RedoButton->setVisible(undo);
    UndoButton->setEnabled(undo && comfort_.CanUndo());
    RedoButton->setEnabled(undo && comfort_.CanRedo());
    for (const auto* list : {&UndoShortcuts, &RedoShortcuts})
        for (QShortcut* shortcut : *list)
            shortcut->setEnabled(undo);

    const TBoardMarks marks = comfort_.Marks();
    THexMarks shown;
    shown.CopyTargets = marks.Targets.Copies;
    shown.JumpTargets = marks.Targets.Jumps;
    shown.LastFrom = marks.LastFrom;
    shown.LastTo = marks.LastTo;
    HexMap1->SetMarks(std::move(shown));
}
