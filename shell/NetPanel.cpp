// The network panel's address and port fields; see NetPanel.h.
#include "shell/NetPanel.h"

#include "net/NetAddress.h"

#include <QFrame>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

// Room for a host name; the store keeps no more.
constexpr int MaxAddressLength = 255;

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(geometry);
    // The panel is a single text line high; the frame's margins would eat
    // the text.
    edit->setTextMargins(0, -2, 0, -2);
    return edit;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    return label;
}

} // namespace

TNetPanel::TNetPanel(QFrame* panel, QRadioButton* client, QRadioButton* server)
    : QObject(panel)
    , client_(client)
{
    Label2 = MakeLabel(panel, "Label2", tr("Adresa:"), {5, 21, 34, 15});
    Edit1 = MakeEdit(panel, "Edit1", {39, 21, 81, 15});
    Edit1->setMaxLength(MaxAddressLength);
    Label3 = MakeLabel(panel, "Label3", QStringLiteral(":"), {121, 21, 4, 15});
    Edit2 = MakeEdit(panel, "Edit2", {126, 21, 34, 15});
    Edit2->setValidator(new QIntValidator(1, 65535, Edit2));
    Edit2->setMaxLength(5);
    Edit2->setToolTip(tr("Port, na kterém server čeká (výchozí %1)").arg(NetDefaultPort));
    Label2->setBuddy(Edit1);
    connect(client, &QRadioButton::toggled, this, &TNetPanel::RoleChanged);
    connect(server, &QRadioButton::toggled, this, &TNetPanel::RoleChanged);
    connect(Edit1, &QLineEdit::textEdited, this, [this](const QString& text) { typed_ = text; });
}

void TNetPanel::Show(const QString& address, quint16 port)
{
    typed_ = address;
    Edit2->setText(QString::number(port == 0 ? NetDefaultPort : port));
    RoleChanged();
}

QString TNetPanel::Address() const
{
    return typed_.trimmed();
}

quint16 TNetPanel::Port() const
{
    bool ok = false;
    const int port = Edit2->text().toInt(&ok);
    return ok && port >= 1 && port <= 65535 ? static_cast<quint16>(port) : NetDefaultPort;
}

void TNetPanel::RoleChanged()
{
    if (client_->isChecked()) {
        Edit1->setReadOnly(false);
        Edit1->setText(typed_);
        Edit1->setToolTip(tr("Název nebo IP adresa počítače, na kterém běží server"));
        Edit1->setCursorPosition(0);
        return;
    }
    // The server waits on every address of this computer; the other player
    // needs one of them.
    const QStringList own = LocalAddresses();
    Edit1->setReadOnly(true);
    Edit1->setText(own.join(QStringLiteral(", ")));
    Edit1->setCursorPosition(0);
    Edit1->setToolTip(tr("Adresy tohoto počítače; jednu z nich sdělte soupeři:\n%1")
                          .arg(own.join(u'\n')));
}
