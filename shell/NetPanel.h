// The address and port fields of the settings dialog's network panel, under
// its "Client" and "Server" radios. A client types the server's address; a
// server sees its own addresses there instead, to tell the other player.
#pragma once

#include <QObject>
#include <QString>

class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;

// From the top of the panel down to the settings page's edge.
constexpr int NetPanelHeight = 38;

class TNetPanel : public QObject {
    Q_OBJECT

public:
    TNetPanel(QFrame* panel, QRadioButton* client, QRadioButton* server);

    // Fills the fields from the settings.
    void Show(const QString& address, quint16 port);
    // The server's address as typed (kept while "Server" is chosen).
    QString Address() const;
    // The port typed, or the default one when the field holds no port.
    quint16 Port() const;

    QLabel* Label2 = nullptr;   // "Adresa:"
    QLineEdit* Edit1 = nullptr; // the address
    QLabel* Label3 = nullptr;   // ":"
    QLineEdit* Edit2 = nullptr; // the port

private:
    void RoleChanged();

    QRadioButton* client_;
    QString typed_;
};
