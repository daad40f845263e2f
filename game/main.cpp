// Zelvon pro Windows 95: the program entry. Creates the four windows in
// their fixed order and runs the event loop until the main window closes.
#include "game/Unit1.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Unit2.h"
#include "shell/Unit3.h"
#include "shell/Unit5.h"

#include <QIcon>

int main(int argc, char** argv)
{
    TApplication application(argc, argv);
    application.setOrganizationName(QStringLiteral("Brantek"));
    application.setApplicationName(QStringLiteral("Zelvon"));
    application.Title = QStringLiteral("Zelvon pro Windows 95");
    application.HelpFile = QStringLiteral("Zelvon.hlp");
    // Lets the desktop match the windows to the installed menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("cz.brantek.Zelvon"));
    QIcon icon(DataFilePath(QStringLiteral("zelvon.png")));
    icon.addFile(DataFilePath(QStringLiteral("zelvon-256.png")));
    QApplication::setWindowIcon(icon);

    // The main window first: its creation loads the settings before any
    // other window exists.
    TForm1 Form1;
    TAboutBox AboutBox(&Form1);
    TSetupDial SetupDial(Form1.Game(), Form1.HexMap1, Form1.PentiumMMX1, &Form1);
    TForm5 Form5(&Form1);
    Form1.SetWindows(&AboutBox, &SetupDial, &Form5);

    Form1.show();
    Form1.activateWindow();
    return application.exec();
}
