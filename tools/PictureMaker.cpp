// Build-time generator of the game's pictures: draws every picture and writes
// it into the folder named on the command line. Runs without a display.
#include "tools/Pictures.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // Text needs a GUI application, and a build machine has no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: PictureMaker <output folder>\n");
        return 2;
    }
    QString error;
    if (!WritePictures(arguments.at(1), &error)) {
        std::fprintf(stderr, "PictureMaker: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
