// Zelvon pro Windows 95: the program entry. Creates the main window, hands
// it the making of the other three and runs the event loop until the main
// window closes.
#include "game/Unit1.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Unit2.h"
#include "shell/Unit3.h"
#include "shell/Unit5.h"

#include <QIcon>

#include <memory>

int main(int argc, char** argv)
{
    TApplication application(argc, argv);
    application.setOrganizationName(QStringLiteral("Brantek"));
    application.setApplicationName(QStringLiteral("Zelvon"));
    application.Title = QStringLiteral("Zelvon pro Windows 95");
    application.HelpFile = QStringLiteral("Zelvon.hlp");
    // Lets the desktop match the windows to the installed menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("cz.brantek.Zelvon"));

    // The main window first: its creation loads the settings before any
    // other window exists. The others are made only once it is on screen
    // (see SetWindowFactories), and go before it at the end.
    TForm1 Form1;
    std::unique_ptr<TAboutBox> AboutBox;
    std::unique_ptr<TSetupDial> SetupDial;
    std::unique_ptr<TForm5> Form5;
    Form1.SetWindowFactories(
        [&] { return (AboutBox = std::make_unique<TAboutBox>(&Form1)).get(); },
        [&] {
            return (SetupDial = std::make_unique<TSetupDial>(Form1.Game(), Form1.HexMap1, Form1.PentiumMMX1, &Form1))
                .get();
        },
        [&] { return (Form5 = std::make_unique<TForm5>(&Form1)).get(); });
    // The window icon is decoded in all its sizes when it is set; the
    // desktop can have it a moment after the first picture.
    Form1.OnFirstPaint = [] {
        QIcon icon(DataFilePath(QStringLiteral("zelvon.png")));
        icon.addFile(DataFilePath(QStringLiteral("zelvon-256.png")));
        QApplication::setWindowIcon(icon);
    };

    Form1.show();
    Form1.activateWindow();
    return application.exec();
}
