// Keyboard play on the board control: the focus comes by Tab and never by
// a click, arrows walk the cursor over every cell of the smallest and the
// largest board one neighbour at a time, Home and End reach the column
// ends, and Space and Enter press the cell under the cursor as the mouse
// does; the cursor is drawn only while the board has the focus.
#include "hexmap/Hexmap.h"
#include "tests/TestSupport.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <deque>
#include <set>
#include <utility>

namespace {

struct Board {
    QWidget Window;
    QPushButton* Before = new QPushButton(QStringLiteral("x"), &Window);
    THexMap* Map = new THexMap(&Window);
    std::vector<TPoint> Moves;   // the cells OnMouseMove named
    std::vector<TPoint> Presses; // the cells OnMouseDown named
    std::vector<Qt::MouseButton> Buttons;
    int CursorMoves = 0;

    Board(int columns, int rows)
    {
        Map->move(0, 40);
        Map->SetHexColumns(columns);
        Map->SetHexRows(rows);
        Window.resize(Map->width(), Map->height() + 40);
        Map->OnMouseMove = [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
            Moves.push_back(Map->ConvertPoint({x, y}, cpPixelToCell));
        };
        Map->OnMouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
            Presses.push_back(Map->ConvertPoint({x, y}, cpPixelToCell));
            Buttons.push_back(button);
        };
        Map->OnCursorMove = [this](TPoint, const QRect&) { ++CursorMoves; };
        Window.show();
        QApplication::setActiveWindow(&Window);
        if (!QTest::qWaitForWindowActive(&Window))
            qWarning("window not active");
        Before->setFocus();
    }

    // Tab from the button before it, as a player reaches the board.
    void TabIn() { QTest::keyClick(Before, Qt::Key_Tab); }
};

} // namespace

class HexmapKeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void focusComesByTabNotByClick()
    {
        Board board(5, 5);
        QTest::mouseClick(board.Map, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(!board.Map->hasFocus());
        QVERIFY(!board.Map->CursorShown());
        QCOMPARE(board.Presses.size(), std::size_t(1));
        QCOMPARE(board.Map->contextMenuPolicy(), Qt::PreventContextMenu);
        board.TabIn();
        QVERIFY(board.Map->hasFocus());
        QVERIFY(board.Map->CursorShown());
        QCOMPARE(board.Map->CursorCell(), (TPoint{1, 1}));
    }

    void arrowsReachEveryCellByNeighbours_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::newRow("4 x 4") << 4 << 4;
        QTest::newRow("10 x 10") << 10 << 10;
        QTest::newRow("4 x 10") << 4 << 10;
        QTest::newRow("10 x 4") << 10 << 4;
    }

    void arrowsReachEveryCellByNeighbours()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        Board board(columns, rows);
        board.TabIn();
        THexMap& map = *board.Map;
        // Every key from every cell, breadth first from the corner.
        std::set<std::pair<int, int>> seen{{1, 1}};
        std::deque<TPoint> queue{{1, 1}};
        const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End};
        while (!queue.empty()) {
            const TPoint from = queue.front();
            queue.pop_front();
            for (const Qt::Key key : keys) {
                map.SetCursorCell(from);
                const std::size_t moves = board.Moves.size();
                QTest::keyClick(&map, key);
                const TPoint to = map.CursorCell();
                QVERIFY(to.X >= 1 && to.X <= columns && to.Y >= 1 && to.Y <= rows);
                // The read-out follows: one move, to the cursor's cell.
                QCOMPARE(board.Moves.size(), moves + 1);
                QCOMPARE(board.Moves.back(), to);
                if (key == Qt::Key_Home)
                    QCOMPARE(to, (TPoint{from.X, 1}));
                else if (key == Qt::Key_End)
                    QCOMPARE(to, (TPoint{from.X, rows}));
                else if (!(to == from))
                    QVERIFY2(map.HexDistance(from, to) == 1,
                             qPrintable(QStringLiteral("%1,%2 to %3,%4").arg(from.X).arg(from.Y).arg(to.X).arg(to.Y)));
                if (seen.insert({to.X, to.Y}).second)
                    queue.push_back(to);
            }
        }
        QCOMPARE(int(seen.size()), columns * rows);
        QVERIFY(board.CursorMoves > 0);
        QVERIFY(board.Presses.empty());
    }

    void spaceAndEnterPressTheCell_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }

    void spaceAndEnterPressTheCell()
    {
        QFETCH(int, key);
        Board board(10, 10);
        board.TabIn();
        for (const TPoint cell : {TPoint{1, 1}, TPoint{2, 5}, TPoint{7, 10}, TPoint{10, 1}}) {
            board.Map->SetCursorCell(cell);
            QTest::keyClick(board.Map, Qt::Key(key));
            QCOMPARE(board.Presses.back(), cell);
            QCOMPARE(board.Buttons.back(), Qt::LeftButton);
        }
        QCOMPARE(board.Presses.size(), std::size_t(4));
    }

    void cursorStaysOnAShrunkenGrid()
    {
        Board board(10, 10);
        board.TabIn();
        board.Map->SetCursorCell({9, 8});
        board.Map->SetHexColumns(4);
        board.Map->SetHexRows(4);
        QTest::keyClick(board.Map, Qt::Key_Space);
        QCOMPARE(board.Presses.back(), (TPoint{4, 4}));
    }

    void cursorDrawnOnlyWithFocus()
    {
        Board board(4, 4);
        const QImage before = board.Map->grab().toImage();
        board.TabIn();
        const QImage focused = board.Map->grab().toImage();
        QVERIFY(focused != before);
        // The picture itself, which the game reads, never has the cursor.
        QCOMPARE(board.Map->MapBitmap().pixel(2, 2), before.pixel(2, 2));
        board.Before->setFocus();
        QCOMPARE(board.Map->grab().toImage(), before);
    }
};

QTEST_MAIN(HexmapKeyboardTest)
#include "HexmapKeyboardTest.moc"
