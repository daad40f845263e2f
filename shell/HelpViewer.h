// The help: our own document, kept under the program's fixed help file name,
// shown in a small viewer window that opens at a topic.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

class THelpViewer : public QWidget {
    Q_OBJECT

public:
    explicit THelpViewer(QWidget* parent = nullptr);

    // Opens the file at its contents, then at the topic's anchor. False, with
    // nothing shown, when the file cannot be read.
    bool OpenTopic(const QString& filePath, const QString& topic);

    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

// The help button: the viewer of `owner`'s window at `topic` of the help file
// found among the data files; a missing file is reported in the error box.
void ShowHelpTopic(QWidget* owner, const QString& helpFile, const QString& topic);
