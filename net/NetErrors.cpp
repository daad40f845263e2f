// The Czech texts of the network game's failures.
#include "net/NetErrors.h"

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

} // namespace

QString NetErrorText(TNetError error, const QString& where, const QString& detail)
{
    // One-pass arg() throughout: what is substituted is never searched for
    // further markers.
    switch (error) {
    case TNetError::None:
        return {};
    case TNetError::InvalidAddress:
        return Utf8("„%1“ není platná adresa soupeře. Zadejte název počítače nebo IP adresu a port od 1 do 65535.")
            .arg(where);
    case TNetError::PortInUse:
        return Utf8("Port %1 už používá jiný program. Zvolte v nastavení jiný port.").arg(detail);
    case TNetError::ListenFailed:
        return Utf8("Na portu %1 nelze čekat na soupeře. Zvolte v nastavení jiný port.").arg(detail);
    case TNetError::HostNotFound:
        return Utf8("Počítač „%1“ se nepodařilo najít. Zkontrolujte adresu serveru.").arg(where);
    case TNetError::Refused:
        return Utf8("Počítač %1 spojení odmítl. Běží na něm Zelvon jako server?").arg(where);
    case TNetError::Unreachable:
        return Utf8("Počítač %1 není dosažitelný. Zkontrolujte připojení k síti.").arg(where);
    case TNetError::Timeout:
        return Utf8("Server %1 neodpověděl do %2.").arg(where, detail);
    case TNetError::Busy:
        return Utf8("Server %1 už hraje s jiným soupeřem.").arg(where);
    case TNetError::PeerQuit:
        return Utf8("Soupeř ukončil hru.");
    case TNetError::PeerLost:
        return Utf8("Spojení se soupeřem se přerušilo.");
    case TNetError::Rejected:
        return Utf8("Soupeř ukončil spojení, protože odmítl naše zprávy.");
    case TNetError::VersionMismatch:
        if (detail.isEmpty())
            return Utf8("Soupeř používá jinou verzi síťové hry. Oba hráči potřebují stejnou verzi Zelvonu.");
        return Utf8("Soupeř používá jinou verzi síťové hry (protokol %1, tento program %2). "
                    "Oba hráči potřebují stejnou verzi Zelvonu.")
            .arg(detail, QString::number(NetProtocolVersion));
    case TNetError::ProtocolError:
        return Utf8("Soupeř poslal neplatná data (%1). Spojení bylo ukončeno.").arg(detail);
    case TNetError::IllegalMove:
        return Utf8("Soupeř poslal neplatný tah (%1). Spojení bylo ukončeno.").arg(detail);
    case TNetError::OutOfTurn:
        return Utf8("Soupeř táhl, když nebyl na tahu. Spojení bylo ukončeno.");
    case TNetError::LostSync:
        return Utf8("Hra se soupeřem se rozešla: desky na obou stranách se liší. Spojení bylo ukončeno.");
    case TNetError::SlowFrame:
        return Utf8("Soupeř posílal data příliš pomalu. Spojení bylo ukončeno.");
    }
    return {};
}

QString RefusedPeerText(const QString& address, TNetError error, const QString& detail)
{
    switch (error) {
    case TNetError::Busy:
        return Utf8("Spojení z adresy %1 bylo odmítnuto: hra už běží.").arg(address);
    case TNetError::VersionMismatch:
        return Utf8("Spojení z adresy %1 bylo odmítnuto: soupeř má jinou verzi síťové hry (protokol %2).")
            .arg(address, detail);
    case TNetError::PeerLost:
        return Utf8("Spojení z adresy %1 skončilo dřív, než se soupeř představil.").arg(address);
    case TNetError::SlowFrame:
        return Utf8("Spojení z adresy %1 bylo odmítnuto: data přicházela příliš pomalu.").arg(address);
    default:
        return Utf8("Spojení z adresy %1 bylo odmítnuto: %2.").arg(address, detail);
    }
}

QString SecondsText(int seconds)
{
    return (seconds == 1 ? Utf8("%1 sekundy") : Utf8("%1 sekund")).arg(seconds);
}

QString DecodeErrorText(TNetDecodeError error)
{
    switch (error) {
    case TNetDecodeError::None:
    case TNetDecodeError::Incomplete:
        return {};
    case TNetDecodeError::EmptyFrame:
        return Utf8("prázdný rámec");
    case TNetDecodeError::FrameTooLarge:
        return Utf8("příliš velký rámec");
    case TNetDecodeError::UnknownType:
        return Utf8("neznámý druh zprávy");
    case TNetDecodeError::BadSize:
        return Utf8("zpráva nesprávné délky");
    case TNetDecodeError::BadMagic:
        return Utf8("nejde o program Zelvon");
    case TNetDecodeError::UnsupportedVersion:
        return Utf8("jiná verze protokolu");
    case TNetDecodeError::BadValue:
        return Utf8("hodnota mimo povolený rozsah");
    }
    return {};
}

QString NetFaultText(TNetFault fault)
{
    switch (fault) {
    case TNetFault::UnexpectedMessage:
        return Utf8("zpráva, která teď nemá přijít");
    case TNetFault::WrongGame:
        return Utf8("tah do jiné hry");
    case TNetFault::WrongRole:
        return Utf8("obě strany chtějí být serverem, nebo obě klientem");
    }
    return {};
}

QString MoveCheckText(TMoveCheck check)
{
    switch (check) {
    case TMoveCheck::Legal:
        return {};
    case TMoveCheck::GameOver:
        return Utf8("hra už skončila");
    case TMoveCheck::NotInTurn:
        return Utf8("soupeř není na tahu");
    case TMoveCheck::OffBoard:
        return Utf8("pole mimo desku");
    case TMoveCheck::NotOwnPiece:
        return Utf8("na výchozím poli není jeho kámen");
    case TMoveCheck::TargetTaken:
        return Utf8("cílové pole je obsazené");
    case TMoveCheck::TooFar:
        return Utf8("cílové pole není o jedno ani o dvě pole dál");
    }
    return {};
}

TNetError ErrorOfBye(std::uint8_t reason)
{
    switch (reason) {
    case brBusy:
        return TNetError::Busy;
    case brVersionMismatch:
        return TNetError::VersionMismatch;
    case brProtocolError:
        return TNetError::Rejected;
    case brLostSync:
        return TNetError::LostSync;
    case brTimeout:
        return TNetError::PeerLost;
    default:
        return TNetError::PeerQuit;
    }
}

std::uint8_t ByeReasonOf(TNetError error)
{
    switch (error) {
    case TNetError::Busy:
        return brBusy;
    case TNetError::VersionMismatch:
        return brVersionMismatch;
    case TNetError::ProtocolError:
    case TNetError::IllegalMove:
    case TNetError::OutOfTurn:
    case TNetError::SlowFrame:
        return brProtocolError;
    case TNetError::LostSync:
        return brLostSync;
    case TNetError::PeerLost:
        return brTimeout;
    default:
        return brQuit;
    }
}
