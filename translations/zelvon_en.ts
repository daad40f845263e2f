<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="cs_CZ">
<context>
    <name>Application</name>
    <message>
        <source>Nastala neznámá chyba.</source>
        <translation>An unknown error has occurred.</translation>
    </message>
    <message>
        <source>Nastala neočekávaná chyba (%1).</source>
        <translation>An unexpected error has occurred (%1).</translation>
    </message>
</context>
<context>
    <name>DataFiles</name>
    <message>
        <source>„%1“</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>soubor neexistuje</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>je to složka</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>chybí oprávnění ke čtení</source>
        <translation>there is no permission to read it</translation>
    </message>
    <message>
        <source>soubor nelze číst</source>
        <translation>the file cannot be read</translation>
    </message>
</context>
<context>
    <name>JpegImage</name>
    <message>
        <source>Soubor %1 není platný obrázek JPEG: je prázdný.</source>
        <translation>The file %1 is not a valid JPEG picture: it is empty.</translation>
    </message>
    <message>
        <source>Obrázek JPEG %1 je příliš velký (%2 bajtů).</source>
        <translation>The JPEG picture %1 is too large (%2 bytes).</translation>
    </message>
    <message>
        <source>Soubor %1 není platný obrázek JPEG.</source>
        <translation>The file %1 is not a valid JPEG picture.</translation>
    </message>
    <message>
        <source>Obrázek JPEG %1 je poškozený.</source>
        <translation>The JPEG picture %1 is damaged.</translation>
    </message>
    <message>
        <source>Obrázek JPEG %1 je příliš velký (%2 × %3 pixelů, nejvýše %4 × %4).</source>
        <translation>The JPEG picture %1 is too large (%2 × %3 pixels, at most %4 × %4).</translation>
    </message>
    <message>
        <source>Na obrázek JPEG %1 není dost paměti.</source>
        <translation>There is not enough memory for the JPEG picture %1.</translation>
    </message>
    <message>
        <source>Soubor %1 nelze otevřít: %2.</source>
        <translation>The file %1 cannot be opened: %2.</translation>
    </message>
    <message>
        <source>Soubor %1 nelze přečíst.</source>
        <translation>The file %1 cannot be read.</translation>
    </message>
</context>
<context>
    <name>MidiFile</name>
    <message>
        <source>stopa %1 je useknutá</source>
        <translation>track %1 is cut short</translation>
    </message>
    <message>
        <source>stopa %1 je příliš dlouhá</source>
        <translation>track %1 is too long</translation>
    </message>
    <message>
        <source>data bez stavového bajtu ve stopě %1</source>
        <translation>data without a status byte in track %1</translation>
    </message>
    <message>
        <source>chybný datový bajt ve stopě %1</source>
        <translation>a wrong data byte in track %1</translation>
    </message>
    <message>
        <source>nulové tempo ve stopě %1</source>
        <translation>a tempo of zero in track %1</translation>
    </message>
    <message>
        <source>chybná událost ve stopě %1</source>
        <translation>a wrong event in track %1</translation>
    </message>
    <message>
        <source>není to soubor MIDI</source>
        <translation>it is not a MIDI file</translation>
    </message>
    <message>
        <source>hlavička je useknutá</source>
        <translation>the header is cut short</translation>
    </message>
    <message>
        <source>hlavička je poškozená</source>
        <translation>the header is damaged</translation>
    </message>
    <message>
        <source>neznámý formát souboru MIDI %1</source>
        <translation>unknown MIDI file format %1</translation>
    </message>
    <message>
        <source>neobsahuje žádnou stopu</source>
        <translation>it holds no track</translation>
    </message>
    <message>
        <source>časové dělení SMPTE není podporováno</source>
        <translation>SMPTE time division is not supported</translation>
    </message>
    <message>
        <source>nulové časové dělení</source>
        <translation>a time division of zero</translation>
    </message>
    <message>
        <source>chybí stopa %1</source>
        <translation>track %1 is missing</translation>
    </message>
    <message>
        <source>blok dat je useknutý</source>
        <translation>a data chunk is cut short</translation>
    </message>
    <message>
        <source>skladba je příliš dlouhá</source>
        <translation>the piece is too long</translation>
    </message>
</context>
<context>
    <name>Music</name>
    <message>
        <source>Hudbu nelze přehrát: chybí zvuková banka General MIDI (soubor .sf2).</source>
        <translation>The music cannot be played: the General MIDI sound bank (an .sf2 file) is missing.</translation>
    </message>
    <message>
        <source>Hudbu nelze přehrát: zvukovou banku General MIDI %1 nelze načíst.</source>
        <translation>The music cannot be played: the General MIDI sound bank %1 cannot be loaded.</translation>
    </message>
    <message>
        <source>Hudební soubor %1 neexistuje.</source>
        <translation>The music file %1 does not exist.</translation>
    </message>
    <message>
        <source>Hudební soubor %1 nelze otevřít: %2.</source>
        <translation>The music file %1 cannot be opened: %2.</translation>
    </message>
    <message>
        <source>Hudební soubor %1 nelze přehrát: na soubor MIDI je příliš velký.</source>
        <translation>The music file %1 cannot be played: it is too large for a MIDI file.</translation>
    </message>
    <message>
        <source>Hudební soubor %1 nelze přehrát: %2.</source>
        <translation>The music file %1 cannot be played: %2.</translation>
    </message>
</context>
<context>
    <name>NetErrors</name>
    <message>
        <source>„%1“ není platná adresa soupeře. Zadejte název počítače nebo IP adresu a port od 1 do 65535.</source>
        <translation>“%1” is not a valid address of the opponent. Enter a computer name or an IP address and a port from 1 to 65535.</translation>
    </message>
    <message>
        <source>Port %1 už používá jiný program. Zvolte v nastavení jiný port.</source>
        <translation>Port %1 is already used by another program. Choose another port in the settings.</translation>
    </message>
    <message>
        <source>Na portu %1 nelze čekat na soupeře. Zvolte v nastavení jiný port.</source>
        <translation>The game cannot wait for an opponent on port %1. Choose another port in the settings.</translation>
    </message>
    <message>
        <source>Počítač „%1“ se nepodařilo najít. Zkontrolujte adresu serveru.</source>
        <translation>The computer “%1” could not be found. Check the address of the server.</translation>
    </message>
    <message>
        <source>Počítač %1 spojení odmítl. Běží na něm Zelvon jako server?</source>
        <translation>The computer %1 refused the connection. Is Zelvon running there as the server?</translation>
    </message>
    <message>
        <source>Počítač %1 není dosažitelný. Zkontrolujte připojení k síti.</source>
        <translation>The computer %1 cannot be reached. Check the network connection.</translation>
    </message>
    <message>
        <source>Server %1 neodpověděl do %2.</source>
        <translation>The server %1 did not answer within %2.</translation>
    </message>
    <message>
        <source>Server %1 už hraje s jiným soupeřem.</source>
        <translation>The server %1 is already playing with another opponent.</translation>
    </message>
    <message>
        <source>Soupeř ukončil hru.</source>
        <translation>The opponent has ended the game.</translation>
    </message>
    <message>
        <source>Spojení se soupeřem se přerušilo.</source>
        <translation>The connection to the opponent was broken.</translation>
    </message>
    <message>
        <source>Soupeř ukončil spojení, protože odmítl naše zprávy.</source>
        <translation>The opponent closed the connection because it refused our messages.</translation>
    </message>
    <message>
        <source>Soupeř používá jinou verzi síťové hry. Oba hráči potřebují stejnou verzi Zelvonu.</source>
        <translation>The opponent uses another version of the network game. Both players need the same version of Zelvon.</translation>
    </message>
    <message>
        <source>Soupeř používá jinou verzi síťové hry (protokol %1, tento program %2). Oba hráči potřebují stejnou verzi Zelvonu.</source>
        <translation>The opponent uses another version of the network game (protocol %1, this program %2). Both players need the same version of Zelvon.</translation>
    </message>
    <message>
        <source>Soupeř poslal neplatná data (%1). Spojení bylo ukončeno.</source>
        <translation>The opponent sent invalid data (%1). The connection has been closed.</translation>
    </message>
    <message>
        <source>Soupeř poslal neplatný tah (%1). Spojení bylo ukončeno.</source>
        <translation>The opponent sent an invalid move (%1). The connection has been closed.</translation>
    </message>
    <message>
        <source>Soupeř táhl, když nebyl na tahu. Spojení bylo ukončeno.</source>
        <translation>The opponent moved out of turn. The connection has been closed.</translation>
    </message>
    <message>
        <source>Hra se soupeřem se rozešla: desky na obou stranách se liší. Spojení bylo ukončeno.</source>
        <translation>The game with the opponent went out of step: the boards on the two sides differ. The connection has been closed.</translation>
    </message>
    <message>
        <source>Soupeř posílal data příliš pomalu. Spojení bylo ukončeno.</source>
        <translation>The opponent sent data too slowly. The connection has been closed.</translation>
    </message>
    <message>
        <source>Spojení z adresy %1 bylo odmítnuto: hra už běží.</source>
        <translation>A connection from %1 was refused: a game is already running.</translation>
    </message>
    <message>
        <source>Spojení z adresy %1 bylo odmítnuto: soupeř má jinou verzi síťové hry (protokol %2).</source>
        <translation>A connection from %1 was refused: the opponent has another version of the network game (protocol %2).</translation>
    </message>
    <message>
        <source>Spojení z adresy %1 skončilo dřív, než se soupeř představil.</source>
        <translation>A connection from %1 ended before the opponent introduced itself.</translation>
    </message>
    <message>
        <source>Spojení z adresy %1 bylo odmítnuto: data přicházela příliš pomalu.</source>
        <translation>A connection from %1 was refused: the data came too slowly.</translation>
    </message>
    <message>
        <source>Spojení z adresy %1 bylo odmítnuto: %2.</source>
        <translation>A connection from %1 was refused: %2.</translation>
    </message>
    <message>
        <source>%1 sekundy</source>
        <translation>%1 second</translation>
    </message>
    <message>
        <source>%1 sekund</source>
        <translation>%1 seconds</translation>
    </message>
    <message>
        <source>prázdný rámec</source>
        <translation>an empty frame</translation>
    </message>
    <message>
        <source>příliš velký rámec</source>
        <translation>a frame too large</translation>
    </message>
    <message>
        <source>neznámý druh zprávy</source>
        <translation>an unknown kind of message</translation>
    </message>
    <message>
        <source>zpráva nesprávné délky</source>
        <translation>a message of the wrong length</translation>
    </message>
    <message>
        <source>nejde o program Zelvon</source>
        <translation>the program is not Zelvon</translation>
    </message>
    <message>
        <source>jiná verze protokolu</source>
        <translation>another version of the protocol</translation>
    </message>
    <message>
        <source>hodnota mimo povolený rozsah</source>
        <translation>a value out of the allowed range</translation>
    </message>
    <message>
        <source>zpráva, která teď nemá přijít</source>
        <translation>a message that must not come now</translation>
    </message>
    <message>
        <source>tah do jiné hry</source>
        <translation>a move for another game</translation>
    </message>
    <message>
        <source>obě strany chtějí být serverem, nebo obě klientem</source>
        <translation>both sides want to be the server, or both the client</translation>
    </message>
    <message>
        <source>hra už skončila</source>
        <translation>the game is already over</translation>
    </message>
    <message>
        <source>soupeř není na tahu</source>
        <translation>it is not the opponent’s turn</translation>
    </message>
    <message>
        <source>pole mimo desku</source>
        <translation>a cell off the board</translation>
    </message>
    <message>
        <source>na výchozím poli není jeho kámen</source>
        <translation>the starting cell does not hold the opponent’s piece</translation>
    </message>
    <message>
        <source>cílové pole je obsazené</source>
        <translation>the target cell is taken</translation>
    </message>
    <message>
        <source>cílové pole není o jedno ani o dvě pole dál</source>
        <translation>the target cell is neither one nor two cells away</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>Failed to set data for &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Invalid data type for &apos;%1&apos;</source>
        <translation>Invalid data type for &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Soubor s nastavením „%1“ nelze přečíst (%2). Hra použije výchozí nastavení.</source>
        <translation>The settings file “%1” cannot be read (%2). The game uses the default settings.</translation>
    </message>
    <message>
        <source>není to obyčejný soubor</source>
        <translation>it is not a regular file</translation>
    </message>
    <message>
        <source>chybí oprávnění ke čtení</source>
        <translation>there is no permission to read it</translation>
    </message>
    <message>
        <source>Soubor s nastavením „%1“ je poškozený a nepodařilo se ho odložit stranou. Hra použije, co z něj šlo přečíst, a do souboru nic neuloží.</source>
        <translation>The settings file “%1” is damaged and could not be moved aside. The game uses what could be read from it and saves nothing to the file.</translation>
    </message>
    <message>
        <source>Soubor s nastavením „%1“ byl poškozený, hra ho proto odložila jako „%2“. Použije, co z něj šlo přečíst, ostatní nastavení budou výchozí; při ukončení uloží nový soubor.</source>
        <translation>The settings file “%1” was damaged, so the game moved it aside as “%2”. It uses what could be read from it and the defaults for the rest; on quitting it saves a new file.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>&apos;%1&apos; is not a valid integer value</translation>
    </message>
</context>
<context>
    <name>TAboutBox</name>
    <message>
        <source>O programu</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Verze 1.0b – sdílená edice</source>
        <translation>Version 1.0b – shareware edition</translation>
    </message>
    <message>
        <source>Poděkování:
Želvám za odborné konzultace.
Kávovaru za všechny noční směny.</source>
        <translation>Acknowledgements:
To the turtles for expert advice.
To the coffee maker for all the night shifts.</translation>
    </message>
</context>
<context>
    <name>TComfortPage</name>
    <message>
        <source>Povolit vracení tahů</source>
        <translation>Allow taking moves back</translation>
    </message>
    <message>
        <source>Ukázat možné tahy</source>
        <translation>Show possible moves</translation>
    </message>
    <message>
        <source>Ukázat poslední tah</source>
        <translation>Show the last move</translation>
    </message>
    <message>
        <source>Jazyk</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Čeština</source>
        <translation>Czech</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Jazyk se změní při příštím spuštění programu.</source>
        <translation>The language changes at the next start of the program.</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Brantek&apos;s Homepage</source>
        <translation>Brantek&apos;s Homepage</translation>
    </message>
    <message>
        <source>X-Axis:</source>
        <translation>X-Axis:</translation>
    </message>
    <message>
        <source>Y-Axis:</source>
        <translation>Y-Axis:</translation>
    </message>
    <message>
        <source>SCORE</source>
        <translation>SCORE</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Restart</translation>
    </message>
    <message>
        <source>Nápověda</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Nastavení</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Konec</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Acceleration status</source>
        <translation>Acceleration status</translation>
    </message>
    <message>
        <source>MMX Boosted !</source>
        <translation>MMX Boosted !</translation>
    </message>
    <message>
        <source>x86 Instructions</source>
        <translation>x86 Instructions</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>Opravdu chcete ukončit program?</source>
        <translation>Do you really want to quit the program?</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>Zpět</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Znovu</source>
        <translation>Redo</translation>
    </message>
</context>
<context>
    <name>TForm5</name>
    <message>
        <source>Vyrovnaná hra</source>
        <translation>A drawn game</translation>
    </message>
    <message>
        <source>Modrý zvítězil</source>
        <translation>Blue has won</translation>
    </message>
    <message>
        <source>Červený zvítězil</source>
        <translation>Red has won</translation>
    </message>
    <message>
        <source>Stupínek vítězů</source>
        <translation>Winners&apos; Podium</translation>
    </message>
</context>
<context>
    <name>THelpViewer</name>
    <message>
        <source>Zelvon – nápověda</source>
        <translation>Zelvon – Help</translation>
    </message>
    <message>
        <source>Soubor nápovědy „%1“ nelze otevřít.</source>
        <translation>The help file “%1” cannot be opened.</translation>
    </message>
</context>
<context>
    <name>THexMap</name>
    <message>
        <source>Obrázek pozadí „%1“ nelze načíst.</source>
        <translation>The background picture “%1” cannot be loaded.</translation>
    </message>
</context>
<context>
    <name>TNetPanel</name>
    <message>
        <source>Adresa:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>Port, na kterém server čeká (výchozí %1)</source>
        <translation>The port the server listens on (default %1)</translation>
    </message>
    <message>
        <source>Název nebo IP adresa počítače, na kterém běží server</source>
        <translation>Host name or IP address of the computer running the server</translation>
    </message>
    <message>
        <source>Adresy tohoto počítače; jednu z nich sdělte soupeři:
%1</source>
        <translation>This computer&apos;s addresses; tell one of them to your opponent:
%1</translation>
    </message>
</context>
<context>
    <name>TNetPlay</name>
    <message>
        <source> Rozehranou partii můžete dohrát u jednoho počítače.</source>
        <translation> You can finish the game in progress at one computer.</translation>
    </message>
    <message>
        <source>Síťová hra</source>
        <translation>Network game</translation>
    </message>
    <message>
        <source>Soupeř chce novou hru</source>
        <translation>Your opponent wants a new game</translation>
    </message>
    <message>
        <source>Rozehraná partie skončí.</source>
        <translation>The game in progress will end.</translation>
    </message>
    <message>
        <source>&amp;Přijmout</source>
        <translation>&amp;Accept</translation>
    </message>
    <message>
        <source>&amp;Odmítnout</source>
        <translation>&amp;Refuse</translation>
    </message>
    <message>
        <source>Soupeř novou hru odmítl. Hraje se dál.</source>
        <translation>Your opponent refused a new game. The game goes on.</translation>
    </message>
    <message>
        <source>Čekám na soupeře…
port %1</source>
        <translation>Waiting for an opponent…
port %1</translation>
    </message>
    <message>
        <source>Připojuji se k soupeři…</source>
        <translation>Connecting to the opponent…</translation>
    </message>
    <message>
        <source>Čekám na soupeře…</source>
        <translation>Waiting for an opponent…</translation>
    </message>
    <message>
        <source>Čekám na odpověď soupeře…</source>
        <translation>Waiting for the opponent&apos;s answer…</translation>
    </message>
    <message>
        <source>Hrajete za červené.
</source>
        <translation>You play Red.
</translation>
    </message>
    <message>
        <source>Hrajete za modré.
</source>
        <translation>You play Blue.
</translation>
    </message>
    <message>
        <source>Jste na tahu.</source>
        <translation>Your move.</translation>
    </message>
    <message>
        <source>Táhne soupeř.</source>
        <translation>Opponent&apos;s move.</translation>
    </message>
</context>
<context>
    <name>TSetupDial</name>
    <message>
        <source>Nastavení Zelvonu</source>
        <translation>Zelvon Settings</translation>
    </message>
    <message>
        <source>Hra</source>
        <translation>Game</translation>
    </message>
    <message>
        <source>Počítač &amp;&amp; hrací plocha</source>
        <translation>Computer &amp;&amp; board</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Zrušit</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>Modrý hráč</source>
        <translation>Blue player</translation>
    </message>
    <message>
        <source>Člověk</source>
        <translation>Human</translation>
    </message>
    <message>
        <source>Počítač</source>
        <translation>Computer</translation>
    </message>
    <message>
        <source>Červený hráč</source>
        <translation>Red player</translation>
    </message>
    <message>
        <source>Zvuky (Požadováno zařízení schopné přehrávat WAVy)</source>
        <translation>Sounds (requires a device that plays WAVs)</translation>
    </message>
    <message>
        <source>Hudba (Požadováno zařizení schopné přehrávat MIDi)</source>
        <translation>Music (requires a device that plays MIDIs)</translation>
    </message>
    <message>
        <source>Povolit podporu MMX</source>
        <translation>Enable MMX support</translation>
    </message>
    <message>
        <source>Povolit podporu DirectX (DirectDraw, Direct3D)</source>
        <translation>Enable DirectX support (DirectDraw, Direct3D)</translation>
    </message>
    <message>
        <source>Hra přez TCP/IP </source>
        <translation>Play over TCP/IP </translation>
    </message>
    <message>
        <source>Rozměry plochy</source>
        <translation>Board size</translation>
    </message>
    <message>
        <source>Používat 3D hexy</source>
        <translation>Use 3D hexes</translation>
    </message>
    <message>
        <source>Inteligence:</source>
        <translation>Intelligence:</translation>
    </message>
    <message>
        <source>Hra se soupeřem na jiném počítači. Při každém spuštění je vypnutá; role, adresa a port zůstávají uložené.</source>
        <translation>A game against an opponent on another computer. It is off at every start; the role, the address and the port are kept.</translation>
    </message>
    <message>
        <source>Pohodlí</source>
        <translation>Comfort</translation>
    </message>
</context>
</TS>
