// The texts of the network game's failures, in Czech; the English ones come from the translation.
#include "net/NetErrors.h"

#include <QCoreApplication>

namespace {

// This file's texts, for the translation.
class TNetText {
    Q_DECLARE_TR_FUNCTIONS(NetErrors)
};

} // namespace

QString NetErrorText(TNetError error, const QString& where, const QString& detail)
{
    // One-pass arg() throughout: what is substituted is never searched for
    // further markers.
    switch (error) {
    case TNetError::None:
        return {};
    case TNetError::InvalidAddress:
        return TNetText::tr("„%1“ není platná adresa soupeře. Zadejte název počítače nebo IP adresu a port od 1 do 65535.")
            .arg(where);
    case TNetError::PortInUse:
        return TNetText::tr("Port %1 už používá jiný program. Zvolte v nastavení jiný port.").arg(detail);
    case TNetError::ListenFailed:
        return TNetText::tr("Na portu %1 nelze čekat na soupeře. Zvolte v nastavení jiný port.").arg(detail);
    case TNetError::HostNotFound:
        return TNetText::tr("Počítač „%1“ se nepodařilo najít. Zkontrolujte adresu serveru.").arg(where);
    case TNetError::Refused:
        return TNetText::tr("Počítač %1 spojení odmítl. Běží na něm Zelvon jako server?").arg(where);
    case TNetError::Unreachable:
        return TNetText::tr("Počítač %1 není dosažitelný. Zkontrolujte připojení k síti.").arg(where);
    case TNetError::Timeout:
        return TNetText::tr("Server %1 neodpověděl do %2.").arg(where, detail);
    case TNetError::Busy:
        return TNetText::tr("Server %1 už hraje s jiným soupeřem.").arg(where);
    case TNetError::PeerQuit:
        return TNetText::tr("Soupeř ukončil hru.");
    case TNetError::PeerLost:
        return TNetText::tr("Spojení se soupeřem se přerušilo.");
    case TNetError::Rejected:
        return TNetText::tr("Soupeř ukončil spojení, protože odmítl naše zprávy.");
    case TNetError::VersionMismatch:
        if (detail.isEmpty())
            return TNetText::tr("Soupeř používá jinou verzi síťové hry. Oba hráči potřebují stejnou verzi Zelvonu.");
        return TNetText::tr("Soupeř používá jinou verzi síťové hry (protokol %1, tento program %2). "
                    "Oba hráči potřebují stejnou verzi Zelvonu.")
            .arg(detail, QString::number(NetProtocolVersion));
    case TNetError::ProtocolError:
        return TNetText::tr("Soupeř poslal neplatná data (%1). Spojení bylo ukončeno.").arg(detail);
    case TNetError::IllegalMove:
        return TNetText::tr("Soupeř poslal neplatný tah (%1). Spojení bylo ukončeno.").arg(detail);
    case TNetError::OutOfTurn:
        return TNetText::tr("Soupeř táhl, když nebyl na tahu. Spojení bylo ukončeno.");
    case TNetError::LostSync:
        return TNetText::tr("Hra se soupeřem se rozešla: desky na obou stranách se liší. Spojení bylo ukončeno.");
    case TNetError::SlowFrame:
        return TNetText::tr("Soupeř posílal data příliš pomalu. Spojení bylo ukončeno.");
    }
    return {};
}

QString RefusedPeerText(const QString& address, TNetError error, const QString& detail)
{
    switch (error) {
    case TNetError::Busy:
        return TNetText::tr("Spojení z adresy %1 bylo odmítnuto: hra už běží.").arg(address);
    case TNetError::VersionMismatch:
        return TNetText::tr("Spojení z adresy %1 bylo odmítnuto: soupeř má jinou verzi síťové hry (protokol %2).")
            .arg(address, detail);
    case TNetError::PeerLost:
        return TNetText::tr("Spojení z adresy %1 skončilo dřív, než se soupeř představil.").arg(address);
    case TNetError::SlowFrame:
        return TNetText::tr("Spojení z adresy %1 bylo odmítnuto: data přicházela příliš pomalu.").arg(address);
    default:
        return TNetText::tr("Spojení z adresy %1 bylo odmítnuto: %2.").arg(address, detail);
    }
}

QString SecondsText(int seconds)
{
    return (seconds == 1 ? TNetText::tr("%1 sekundy") : TNetText::tr("%1 sekund")).arg(seconds);
}

QString DecodeErrorText(TNetDecodeError error)
{
    switch (error) {
    case TNetDecodeError::None:
    case TNetDecodeError::Incomplete:
        return {};
    case TNetDecodeError::EmptyFrame:
        return TNetText::tr("prázdný rámec");
    case TNetDecodeError::FrameTooLarge:
        return TNetText::tr("příliš velký rámec");
    case TNetDecodeError::UnknownType:
        return TNetText::tr("neznámý druh zprávy");
    case TNetDecodeError::BadSize:
        return TNetText::tr("zpráva nesprávné délky");
    case TNetDecodeError::BadMagic:
        return TNetText::tr("nejde o program Zelvon");
    case TNetDecodeError::UnsupportedVersion:
        return TNetText::tr("jiná verze protokolu");
    case TNetDecodeError::BadValue:
        return TNetText::tr("hodnota mimo povolený rozsah");
    }
    return {};
}

QString NetFaultText(TNetFault fault)
{
    switch (fault) {
    case TNetFault::UnexpectedMessage:
        return TNetText::tr("zpráva, která teď nemá přijít");
    case TNetFault::WrongGame:
        return TNetText::tr("tah do jiné hry");
    case TNetFault::WrongRole:
        return TNetText::tr("obě strany chtějí být serverem, nebo obě klientem");
    }
    return {};
}

QString MoveCheckText(TMoveCheck check)
{
    switch (check) {
    case TMoveCheck::Legal:
        return {};
    case TMoveCheck::GameOver:
        return TNetText::tr("hra už skončila");
    case TMoveCheck::NotInTurn:
        return TNetText::tr("soupeř není na tahu");
    case TMoveCheck::OffBoard:
        return TNetText::tr("pole mimo desku");
    case TMoveCheck::NotOwnPiece:
        return TNetText::tr("na výchozím poli není jeho kámen");
    case TMoveCheck::TargetTaken:
        return TNetText::tr("cílové pole je obsazené");
    case TMoveCheck::TooFar:
        return TNetText::tr("cílové pole není o jedno ani o dvě pole dál");
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
