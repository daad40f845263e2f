// The yardstick for the start-up benchmark: an empty window of the main
// window's size that reports its first paint the same way the game does.
#include <QApplication>
#include <QLoggingCategory>
#include <QPaintEvent>
#include <QWidget>

Q_LOGGING_CATEGORY(lcStartup, "zelvon.startup", QtWarningMsg)

class EmptyWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!painted_) {
            painted_ = true;
            qCInfo(lcStartup, "first paint");
        }
    }

private:
    bool painted_ = false;
};

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    EmptyWindow window;
    window.setWindowTitle(QStringLiteral("Zelvon pro Windows 95"));
    window.setFixedSize(492, 388);
    window.show();
    return application.exec();
}
