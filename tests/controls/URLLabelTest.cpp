// The link label: colours through pointer and button sequences, which
// releases open the link, what is opened, and that press and release stay
// with the label.
#include "controls/URLLabel.h"

#include "shell/Application.h"
#include "shell/Canvas.h"
#include "shell/DesktopShell.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>

namespace {

constexpr int LabelWidth = 119;
constexpr int LabelHeight = 16;

// Distinct from the defaults and from each other, so every step shows
// which rule set the colour.
constexpr TColor Normal = clGreen;
constexpr TColor Over = clFuchsia;
constexpr TColor Click = clPurple;

enum class Act { Enter, Leave, Press, Move, Release };

struct Step {
    Act action;
    Qt::MouseButton button;
    QPoint at;
    TColor expected;
};

Step Enter(TColor expected) { return {Act::Enter, Qt::NoButton, {}, expected}; }
Step Leave(TColor expected) { return {Act::Leave, Qt::NoButton, {}, expected}; }
Step Press(Qt::MouseButton button, QPoint at, TColor expected) { return {Act::Press, button, at, expected}; }
Step Move(QPoint at, TColor expected) { return {Act::Move, Qt::NoButton, at, expected}; }
Step Release(Qt::MouseButton button, QPoint at, TColor expected) { return {Act::Release, button, at, expected}; }

// A parent that records the mouse events the label lets through.
class RecordingParent : public QWidget {
public:
    int Presses = 0;
    int Releases = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        ++Presses;
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        ++Releases;
        event->accept();
    }
};

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class URLLabelTest : public QObject {
    Q_OBJECT

private:
    QList<QUrl> opened_;
    bool openerAccepts_ = true;
    QStringList errors_;

    void Place(TURLLabel& label)
    {
        label.resize(LabelWidth, LabelHeight);
        label.SetColorNormal(Normal);
        label.SetColorMoveOver(Over);
        label.SetColorClick(Click);
    }

    static void Run(TURLLabel& label, const Step& step)
    {
        switch (step.action) {
        case Act::Enter: {
            QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(label.mapToGlobal(QPoint(5, 5))));
            QCoreApplication::sendEvent(&label, &event);
            break;
        }
        case Act::Leave: {
            QEvent event(QEvent::Leave);
            QCoreApplication::sendEvent(&label, &event);
            break;
        }
        case Act::Press:
            QTest::mousePress(&label, step.button, {}, step.at);
            break;
        case Act::Move:
            QTest::mouseMove(&label, step.at);
            break;
        case Act::Release:
            QTest::mouseRelease(&label, step.button, {}, step.at);
            break;
        }
    }

private slots:
    void init()
    {
        opened_.clear();
        errors_.clear();
        openerAccepts_ = true;
        SetShellOpener([this](const QUrl& url) {
            opened_ << url;
            return openerAccepts_;
        });
        SetErrorReporter([this](const QString& message) { errors_ << message; });
    }

    void cleanup()
    {
        SetShellOpener({});
        SetErrorReporter({});
    }

    void newLabelLooksLikeALink()
    {
        TURLLabel label;
        QCOMPARE(label.text(), QStringLiteral("Click me!"));
        QCOMPARE(label.FontColor(), clBlue);
        QVERIFY(label.font().underline());
        QCOMPARE(label.ColorNormal(), clBlue);
        QCOMPARE(label.ColorMoveOver(), clBlue);
        QCOMPARE(label.ColorClick(), clRed);
        QVERIFY(!label.URL().isEmpty());
        QVERIFY(ShellTargetUrl(label.URL()).isValid());
        QVERIFY(!label.LinkPressed());
        // The pointer keeps its default shape.
        QVERIFY(!label.testAttribute(Qt::WA_SetCursor));
        // With the default colours hovering shows nothing.
        Run(label, Enter(clBlue));
        QCOMPARE(label.FontColor(), clBlue);
    }

    void colourSequences_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<int>("opens");

        const QPoint in(5, 5);
        const QPoint farCorner(LabelWidth, LabelHeight);
        const Qt::MouseButton L = Qt::LeftButton, R = Qt::RightButton, M = Qt::MiddleButton;

        QTest::newRow("hover in and out") << QList<Step>{Enter(Over), Leave(Normal)} << 0;
        QTest::newRow("left click") << QList<Step>{Enter(Over), Press(L, in, Click), Release(L, in, Over)} << 1;
        QTest::newRow("right click") << QList<Step>{Enter(Over), Press(R, in, Click), Release(R, in, Over)} << 1;
        QTest::newRow("drag off and release outside")
            << QList<Step>{Enter(Over), Press(L, in, Click), Move({200, 5}, Normal), Release(L, {200, 5}, Normal)} << 0;
        QTest::newRow("drag off and back on")
            << QList<Step>{Enter(Over), Press(L, in, Click), Move({-10, 5}, Normal), Move({60, 8}, Click),
                           Release(L, {60, 8}, Over)}
            << 1;
        QTest::newRow("pointer notifications while pressed")
            << QList<Step>{Press(L, in, Click), Leave(Normal), Enter(Click), Release(L, in, Over)} << 1;
        QTest::newRow("release on the far corner is inside")
            << QList<Step>{Press(L, in, Click), Release(L, farCorner, Over)} << 1;
        QTest::newRow("middle button, released on the right edge column")
            << QList<Step>{Press(M, in, Click), Move({50, 10}, Click), Release(M, {LabelWidth, 1}, Over)} << 1;
        QTest::newRow("release one past the right edge")
            << QList<Step>{Press(L, in, Click), Release(L, {LabelWidth + 1, 1}, Normal)} << 0;
        QTest::newRow("release one past the bottom edge")
            << QList<Step>{Press(L, in, Click), Release(L, {1, LabelHeight + 1}, Normal)} << 0;
        QTest::newRow("release left of the label")
            << QList<Step>{Press(L, in, Click), Release(L, {-1, 3}, Normal)} << 0;
        QTest::newRow("release without a press on the label")
            << QList<Step>{Enter(Over), Release(L, in, Over)} << 0;
        QTest::newRow("two buttons open once")
            << QList<Step>{Press(L, in, Click), Press(R, in, Click), Release(R, in, Over), Release(L, in, Over)} << 1;
        QTest::newRow("a release outside forgets the press")
            << QList<Step>{Press(L, in, Click), Release(L, {300, 5}, Normal), Enter(Over), Release(R, in, Over)} << 0;
        QTest::newRow("pressed again after a click")
            << QList<Step>{Press(L, in, Click), Release(L, in, Over), Press(L, in, Click), Release(L, in, Over)} << 2;
    }

    void colourSequences()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(int, opens);

        TURLLabel label;
        Place(label);
        label.SetURL(QStringLiteral("https://www.example.org/zelvon"));
        for (int i = 0; i < steps.size(); ++i) {
            Run(label, steps[i]);
            if (label.FontColor() != steps[i].expected)
                QFAIL(qPrintable(QStringLiteral("step %1: colour %2, expected %3")
                                     .arg(i + 1)
                                     .arg(label.FontColor(), 6, 16, QChar(u'0'))
                                     .arg(steps[i].expected, 6, 16, QChar(u'0'))));
        }
        QCOMPARE(opened_.size(), opens);
        for (const QUrl& url : opened_)
            QCOMPARE(url, QUrl(QStringLiteral("https://www.example.org/zelvon")));
        QVERIFY(!label.LinkPressed());
        QVERIFY(errors_.isEmpty());
    }

    void coloursShowAtTheNextPointerEvent()
    {
        TURLLabel label;
        Place(label);
        Run(label, Enter(Over));
        label.SetColorMoveOver(clTeal);
        label.SetColorNormal(clOlive);
        QCOMPARE(label.FontColor(), Over);
        Run(label, Leave(clOlive));
        QCOMPARE(label.FontColor(), clOlive);
        Run(label, Enter(clTeal));
        QCOMPARE(label.FontColor(), clTeal);
    }

    void fontColourIsTheTextColour()
    {
        TURLLabel label;
        Place(label);
        label.setText(QStringLiteral("Brantek's Homepage"));
        Run(label, Enter(Over));
        QCOMPARE(label.palette().color(QPalette::WindowText), ColorToQColor(Over));

        // The underline is drawn solid in the font colour.
        const QImage shown = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
        bool found = false;
        for (int y = 0; y < shown.height() && !found; ++y)
            for (int x = 0; x < shown.width() && !found; ++x)
                found = QRgbToColor(shown.pixel(x, y)) == Over;
        QVERIFY(found);
    }

    void emptyUrlOpensTheCaption()
    {
        TURLLabel label;
        Place(label);
        label.setText(QStringLiteral("www.example.org"));
        label.SetURL(QString());
        QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(opened_, QList<QUrl>{QUrl(QStringLiteral("http://www.example.org"))});
    }

    void mailAddressWithBlankOpensTheMailProgram()
    {
        TURLLabel label;
        Place(label);
        label.SetURL(QStringLiteral("mailto: someone@example.org"));
        QTest::mouseClick(&label, Qt::RightButton, {}, QPoint(5, 5));
        // The property keeps its text; the blank is dropped on the way out.
        QCOMPARE(label.URL(), QStringLiteral("mailto: someone@example.org"));
        QCOMPARE(opened_, QList<QUrl>{QUrl(QStringLiteral("mailto:someone@example.org"))});
    }

    void failedOpenIsSilent()
    {
        openerAccepts_ = false;
        TURLLabel label;
        Place(label);
        Run(label, Enter(Over));
        QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(opened_.size(), 1);
        QCOMPARE(label.FontColor(), Over);
        QVERIFY(!label.LinkPressed());
        QVERIFY(errors_.isEmpty());
    }

    void clickFiresOnlyForLeftReleaseInside_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<int>("clicks");

        QTest::newRow("left inside") << int(Qt::LeftButton) << QPoint(5, 5) << 1;
        QTest::newRow("right inside") << int(Qt::RightButton) << QPoint(5, 5) << 0;
        QTest::newRow("left outside") << int(Qt::LeftButton) << QPoint(400, 5) << 0;
    }

    void clickFiresOnlyForLeftReleaseInside()
    {
        QFETCH(int, button);
        QFETCH(QPoint, releaseAt);
        QFETCH(int, clicks);

        TURLLabel label;
        Place(label);
        int fired = 0;
        connect(&label, &TURLLabel::clicked, this, [&] { ++fired; });
        QTest::mousePress(&label, Qt::MouseButton(button), {}, QPoint(5, 5));
        QTest::mouseRelease(&label, Qt::MouseButton(button), {}, releaseAt);
        QCOMPARE(fired, clicks);
    }

    void doubleClickPressesTwiceAndClicksOnce()
    {
        TURLLabel label;
        Place(label);
        int clicks = 0;
        connect(&label, &TURLLabel::clicked, this, [&] { ++clicks; });
        QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseDClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(label.FontColor(), Click);
        QVERIFY(label.LinkPressed());
        QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(opened_.size(), 2);
        QCOMPARE(clicks, 1);
        QCOMPARE(label.FontColor(), Over);
    }

    void pressAndReleaseStayWithTheLabel()
    {
        RecordingParent parent;
        parent.resize(300, 100);
        auto* label = new TURLLabel(&parent);
        Place(*label);
        label->move(20, 20);
        for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            QTest::mousePress(label, button, {}, QPoint(5, 5));
            QTest::mouseRelease(label, button, {}, QPoint(5, 5));
        }
        QCOMPARE(parent.Presses, 0);
        QCOMPARE(parent.Releases, 0);
        QCOMPARE(opened_.size(), 2);
    }

    void clickHandlerMayDestroyTheLabel()
    {
        QWidget parent;
        auto* label = new TURLLabel(&parent);
        Place(*label);
        connect(label, &TURLLabel::clicked, this, [label] { delete label; });
        QPointer<TURLLabel> watch(label);
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(watch.isNull());
        QVERIFY(opened_.isEmpty());
    }

    // Through the window, as real input arrives: the release outside still
    // reaches the label, which shows ColorNormal and opens nothing.
    void releaseOutsideReachesTheLabelThroughTheWindow()
    {
        RecordingParent window;
        window.resize(400, 120);
        auto* label = new TURLLabel(&window);
        Place(*label);
        label->move(50, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWindow* handle = window.windowHandle();
        QVERIFY(handle);

        QTest::mouseMove(handle, QPoint(10, 10));
        QTest::mouseMove(handle, QPoint(60, 45));
        QTRY_COMPARE(label->FontColor(), Over);

        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(60, 45));
        QCOMPARE(label->FontColor(), Click);
        QTest::mouseMove(handle, QPoint(300, 100));
        QCOMPARE(label->FontColor(), Normal);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(300, 100));
        QCOMPARE(label->FontColor(), Normal);
        QVERIFY(!label->LinkPressed());
        QVERIFY(opened_.isEmpty());
        QCOMPARE(window.Releases, 0);

        // And a real click through the window opens the link.
        QTest::mouseMove(handle, QPoint(70, 48));
        QTest::mousePress(handle, Qt::RightButton, {}, QPoint(70, 48));
        QTest::mouseRelease(handle, Qt::RightButton, {}, QPoint(70, 48));
        QCOMPARE(opened_.size(), 1);
        QCOMPARE(label->FontColor(), Over);
        QCOMPARE(window.Presses, 0);
    }
};

QTEST_MAIN(URLLabelTest)
#include "URLLabelTest.moc"
