// The about box, shown on the way out of the program: the product name and
// version, the maker's logo, the credit line, the maker's e-mail link, a few
// words of thanks, and a tick button that closes it.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QShowEvent;
class TTransparentButton;
class TURLLabel;

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    // The maker's address the e-mail link shows and writes to.
    static const QString MailAddress;

    // Decodes the logo; a missing or damaged file is reported once, here,
    // and the box shows an empty picture.
    explicit TAboutBox(QWidget* parent = nullptr);

    // The logo as decoded, before it is stretched; null when it could not
    // be read.
    const QImage& Logo() const { return logo_; }

    // The tick button's handler.
    void TransparentButton1Click();

    QWidget* Panel1 = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    TURLLabel* URLLabel1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    TTransparentButton* TransparentButton1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void LoadLogo();

    QImage logo_;
};
