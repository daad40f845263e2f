#include "shell/HelpViewer.h"

#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

THelpViewer::THelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , browser_(new QTextBrowser(this))
{
    setWindowTitle(tr("Zelvon – nápověda"));
    resize(560, 620);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenExternalLinks(true);
}

bool THelpViewer::OpenTopic(const QString& filePath, const QString& topic)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The file name does not say HTML, so the document is handed over as such.
    browser_->setSearchPaths({QFileInfo(filePath).absolutePath()});
    browser_->setHtml(QString::fromUtf8(file.readAll()));
    browser_->scrollToAnchor(topic);
    return true;
}

void ShowHelpTopic(QWidget* owner, const QString& helpFile, const QString& topic)
{
    static QPointer<THelpViewer> viewer;
    if (!viewer)
        viewer = new THelpViewer(owner);
    const QString path = DataFilePath(LocalizedDataFile(helpFile));
    if (!viewer->OpenTopic(path, topic)) {
        ShowErrorMessage(THelpViewer::tr("Soubor nápovědy „%1“ nelze otevřít.").arg(QDir::toNativeSeparators(path)));
        return;
    }
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}
