#include "ui/LanguageTexts.h"

#include <cstring>

namespace {

const UiText kMainMenu[] = {
    {"mdatei", u"Datei", u"File"},
    {"m_opendatei", u"Datei oder Dateien öffnen..", u"Open File or Files.."},
    {"m_openordner", u"Ordner durchsuchen..", u"Search in Folder.."},
    {"mtxtexport", u"Export als Text/HTML Tabelle..", u"Export as Text/HTML Table.."},
    {"mclose", u"Beenden", u"Close"},
    {"mwiedergabe", u"Wiedergabe", u"Play"},
    {"mw1", u"Play", u"Play", "F2"},
    {"mw2", u"Stop", u"Stop", "F3"},
    {"mw3", u"Letztes Stück", u"Previous Song", "F4"},
    {"mw4", u"Nächstes Stück", u"Next Song", "F5"},
    {"mw_laufend", u"Zum laufenden Titel", u"Jump to Playing Song", "Ctrl+J"},
    {"Wiederholen", u"Wiederholen", u"Repeat"},
    {"mw5", u"Letzte Stücke Anzeigen..", u"Show Last Songs..", "Ctrl+L"},
    {"mw6", u"Infos über aktuellen Song..", u"Current Song Information.."},
    {"m_fehler", u"Fehlermeldungen..", u"Error Messages.."},
    {"zufall", u"Zufällige Wiedergabe", u"Random Order"},
    {"zufall_einmal", u"Zufällig ohne Wiederholung", u"Shuffle (every song once)"},
    {"mw_stopafter", u"Nach diesem Titel anhalten", u"Stop After This Song"},
    {"mw_queue", u"Warteschlange anzeigen", u"Show Queue", "Ctrl+Shift+E"},
    {"lueckenlos", u"Lückenlose Wiedergabe", u"Gapless Playback"},
    {"m_equalizer", u"Equalizer..", u"Equalizer.."},
    {"mw_replaygain", u"ReplayGain", u"ReplayGain"},
    {"rg_aus", u"Aus", u"Off"},
    {"rg_titel", u"Titel", u"Track"},
    {"rg_album", u"Album", u"Album"},
    {"rg_auto", u"Automatisch (Album der Reihe nach, Titel bei Zufall)", u"Automatic (Album in Order, Track at Random)"},
    {"rg_vorverstaerkung", u"Vorverstärkung", u"Pre-amp"},
    {"rg_ohnewerte", u"Songs ohne Werte", u"Songs without Values"},
    {"rg_clipschutz", u"Übersteuerung verhindern", u"Prevent Clipping"},
    // The steps of the two gain menus: a signed number of decibels.
    {"rg_db", u"%1 dB", u"%1 dB"},
    {"mw_geraet", u"Ausgabegerät", u"Output Device"},
    {"mp0", u"Playlist", u"Playlist"},
    {"mp1", u"Playlist Laden", u"Load Playlist"},
    {"mp3", u"Playlist Hinzuladen", u"Add Playlist", "Ctrl+O"},
    {"mp2", u"Playlist Speichern", u"Save Playlist", "Ctrl+S"},
    {"mp4", u"Ordner Hinzufügen", u"Add Folders", "Ctrl+N"},
    {"mp9", u"Alle Songs markieren", u"Select All Songs", "Ctrl+A"},
    {"mp10", u"Markierte Songs in die Zwischenablage", u"Copy selected Songs to Clipboard", "Ctrl+C"},
    {"mp11", u"Songs aus Zwischenablage einfügen", u"Insert Songs from Clipboard", "Ctrl+V"},
    {"mp5", u"Alle Songs zeigen", u"Show All Songs"},
    {"mp6", u"Alle Songs verbergen", u"Hide All Songs"},
    {"mp7", u"Playlist Löschen", u"Delete Playlist", "Ctrl+Del"},
    {"mp8", u"Markierten Titel Löschen", u"Delete Selected Song", "Del"},
    {"mp_undo", u"Rückgängig", u"Undo", "Ctrl+Z"},
    {"mp_redo", u"Wiederherstellen", u"Redo", "Ctrl+Shift+Z"},
    {"mp_up", u"Markierte Songs nach oben", u"Move Selected Songs Up", "Alt+Up"},
    {"mp_down", u"Markierte Songs nach unten", u"Move Selected Songs Down", "Alt+Down"},
    {"mp_queue", u"In Warteschlange", u"Add to Queue", "Ctrl+E"},
    {"Suche1", u"Suche", u"Search"},
    {"msuche", u"Suche", u"Search", "Ctrl+F"},
    {"suchoptpanel", u"Suchoptionen (auf Panel)", u"Search Options (on panel)"},
    {"Suchoptionen1", u"Suchoptionen (in neuem Fenster)", u"Search Options (in new window)"},
    {"m_regexsuche", u"Suchen mit Regulären Ausdrücken (RegEx)", u"Search with Regular Expressions (RegEx)"},
    {"ergalsemp", u"Ergebnis als Playlist speichern", u"Save Result as Playlist"},
    {"Einstellungen1", u"Einstellungen", u"Settings"},
    {"sa", u"Songanzeige", u"Song Information"},
    {"saat", u"Interpret - Titel", u"Artist - Title"},
    {"saata", u"Interpret - Titel (Album)", u"Artist - Title (Album)"},
    {"saatta", u"Interpret - Titel (Album, Track)", u"Artist - Title (Album, Track)"},
    {"saatg", u"Interpret - Titel (Genre)", u"Artist - Title (Genre)"},
    {"saf", u"Pfad und Dateiname", u"Path and Filename"},
    {"saheader", u"Anzeige im Programmtitel", u"Display in Application Title"},
    {"sastatus", u"Anzeige in der Statusbar", u"Display in Status Bar"},
    {"Sprache1", u"Sprache", u"Language"},
    {"Deutsch1", u"Deutsch", u"German"},
    {"English1", u"English", u"English"},
    {"m_einstshortcuts", u"Verknüpfungen mit Dateien und Ordnern..", u"Shortcuts with Files and Folders.."},
    {"so", u"Speicheroptionen..", u"Saving Options.."},
    {"einstsave", u"Einstellungen jetzt speichern", u"Save Settings"},
    {"einstload", u"Einstellungen jetzt laden", u"Load Settings"},
    {"einstautosave", u"Einstellungen automatisch speichern", u"Save Settings automatically"},
    {"einstautoload", u"Einstellungen automatisch laden", u"Load Settings automatically"},
    {"einstlastplaylist", u"Letzte Playlist beim Start laden", u"Restore Last Playlist at Start"},
    {"einstclosetotray", u"Beim Schließen in den Infobereich", u"Close to Tray"},
    {"einstnotify", u"Benachrichtigung bei Titelwechsel", u"Notify on Song Change"},
    {"einstordnerbild", u"Ordnerbild vor eingebettetem Cover", u"Folder Image Before Embedded Cover"},
    // The information menu is the program's own.
    {"minfo", u"Info", u"Info"},
    {"m_about", u"Über Sonalo..", u"About Sonalo.."},
};

const UiText kTablePopup[] = {
    {"p1", u"Titel abspielen", u"Play Song"},
    {"pop_title_next", u"Als nächsten Titel abspielen", u"Play as Next Song"},
    {"p_queue", u"In Warteschlange", u"Add to Queue", "Ctrl+E"},
    {"p3", u"Informationen über Datei anzeigen", u"Show File Information"},
    {"p6", u"Datei Eigenschaften", u"Properties"},
    {"p_copyfile", u"Datei(en) in die Zwischenablage kopieren", u"Copy File(s) to Clipboard", "Ctrl+C"},
    {"p5", u"Übergeordneten Ordner öffnen", u"Open File Folder", "Ctrl+Q"},
    {"pss0", u"Songs von diesem Interpreten..", u"Songs by this Artist.."},
    {"pss1", u"Songs mit diesem Titel..", u"Songs with this Title.."},
    {"pss2", u"Songs mit dieser Länge..", u"Songs with this Length.."},
    {"pss3", u"Songs von diesem Album..", u"Songs from this Album.."},
    {"pss4", u"Songs mit dieser Tracknummer..", u"Songs with this Track Number.."},
    {"pss5", u"Songs aus diesem Jahr..", u"Songs composed in this Year.."},
    {"pss6", u"Songs mit diesem Genre..", u"Songs with this Genre.."},
    {"pss7", u"Songs im selben Ordner..", u"Songs in same Folder.."},
    {"p4", u"Song aus Playlist löschen", u"Delete Song from Playlist", "Del"},
};

// akp1..akp3 repeat p3, p6 and p5; akp5..akp12 repeat pss0..pss7.
const UiText kSongPanelPopup[] = {
    {"akp1", u"Informationen über Datei anzeigen", u"Show File Information"},
    {"akp2", u"Datei Eigenschaften", u"Properties"},
    {"akp3", u"Übergeordneten Ordner öffnen", u"Open File Folder"},
    {"akp4", u"Datei in Zwischenablage kopieren", u"Copy File To Clipboard"},
    {"akp5", u"Songs von diesem Interpreten..", u"Songs by this Artist.."},
    {"akp6", u"Songs mit diesem Titel..", u"Songs with this Title.."},
    {"akp7", u"Songs mit dieser Länge..", u"Songs with this Length.."},
    {"akp8", u"Songs von diesem Album..", u"Songs from this Album.."},
    {"akp9", u"Songs mit dieser Tracknummer..", u"Songs with this Track Number.."},
    {"akp10", u"Songs aus diesem Jahr..", u"Songs composed in this Year.."},
    {"akp11", u"Songs mit diesem Genre..", u"Songs with this Genre.."},
    {"akp12", u"Songs im selben Ordner..", u"Songs in same Folder.."},
};

// The queue panel beside the table.
const UiText kQueuePanel[] = {
    {"queue_title", u"Warteschlange", u"Queue"},
    {"queue_remove", u"Entfernen", u"Remove", "Del"},
    {"queue_up", u"Nach oben", u"Up", "Alt+Up"},
    {"queue_down", u"Nach unten", u"Down", "Alt+Down"},
    {"queue_clear", u"Leeren", u"Clear"},
};

// The strip under the window while a long step runs; "%1" is the number of songs so far.
const UiText kLongSteps[] = {
    {"step_adding", u"Dateien werden hinzugefügt … %1", u"Adding files … %1"},
    {"step_searching", u"Suche läuft …", u"Searching …"},
    {"step_cancel", u"Abbrechen", u"Cancel", "Esc"},
    {"step_cancelling", u"Wird abgebrochen …", u"Cancelling …"},
};

const UiText kColumns[] = {
    {"Nummer", u"Nummer", u"Number"},
    {"Interpret", u"Interpret", u"Artist"},
    {"Titel", u"Titel", u"Title"},
    {"Laenge", u"Länge", u"Length"},
    {"Album", u"Album", u"Album"},
    {"Track", u"Track", u"Track"},
    {"Jahr", u"Jahr", u"Year"},
    {"Genre", u"Genre", u"Genre"},
    {"Dateipfad", u"Dateipfad", u"File"},
};

const UiHintText kSearchControls[] = {
    {"Suchen", u"Suchen", u"Nach diesem Begriff Suchen", u"Search", u"Search for this Term"},
    {"Opt", u"Optionen", u"Suchoptionen Anzeigen", u"Options", u"Show Search Options"},
    {"Alle", u"Alle Zeigen", u"Alle Titel der Playlist Zeigen", u"Show All", u"Show All Songs from Playlist"},
    {"s_grkl", u"Groß und Klein", u"Groß- und Kleinbuchstaben werden unterschieden", u"Lower and Upper",
     u"Differ Lower and Upper Characters"},
    {"s_strexakt", u"Exakter Begriff", {}, u"Exact Term", {}},
    {"s_ganz", u"Ganzes Wort", {}, u"Whole Term", {}},
    {"s_und", u"UND-Suche", {}, u"AND-Relation", {}},
    {"s_oder", u"ODER-Suche", {}, u"OR-Relation", {}},
    {"s_invers", u"Inverse Suche", {}, u"Inverse Search", {}},
    {"s_interpret", u"Interpret", {}, u"Artist", {}},
    {"s_titel", u"Titel", {}, u"Title", {}},
    {"s_laenge", u"Länge", {}, u"Length", {}},
    {"s_album", u"Album", {}, u"Album", {}},
    {"s_track", u"Track", {}, u"Track", {}},
    {"s_jahr", u"Jahr", {}, u"Year", {}},
    {"s_genre", u"Genre", {}, u"Genre", {}},
    {"s_datei", u"Pfad", {}, u"Filepath", {}},
    {"sp_gb1", u"Suche: Spalten", {}, u"Search: Columns", {}},
    {"sp_rballes", u"Alle Spalten", {}, u"All Columns", {}},
    {"sp_rbnix", u"Keine Spalte", {}, u"No Column", {}},
    {"sp_rbstandard", u"Standard", {}, u"Standard", {}},
    {"sp_gb2", u"Suche: Kriterien", {}, u"Search: Criteria", {}},
};

const UiText kAddFolderDialog[] = {
    {"uv", u"Auch alle Unterverzeichnisse durchsuchen", u"Include all Subdirectories"},
    {"hinzufuegen", u"Durchsuchen und Hinzufügen", u"Search and Add"},
    {"Button1", u"Schließen", u"Close"},
    {"Label4", u"Gefundene Dateien:", u"Files Found:"},
    {"Label5", u"Gelesene Dateien:", u"Files Read:"},
    {"Label6", u"Hinzugefügte Dateien:", u"Files Added:"},
    {"relativ", u"Dateipfad relativ zum Programmpfad (wenn möglich)", u"Filepath relative to Application Path (if possible)"},
    {"Label7", u"Suchen nach:", u"Search for:"},
    {"nurneu", u"Nur hinzufügen wenn Datei noch nicht in Playlist enthalten", u"Only add if File is not yet in PlayList"},
    {"cbMP3", u"MP3", u"MP3"},
    {"cbWAV", u"WAV", u"WAV"},
    {"cbOGG", u"OGG", u"OGG"},
    {"cbWMA", u"WMA", u"WMA"},
    {"cbFLAC", u"FLAC", u"FLAC"},
    {"cbOpus", u"Opus", u"Opus"},
    {"cbM4A", u"M4A", u"M4A"},
    {"Button3", u"...", u"..."},
    {"Button1.running", u"Abbrechen", u"Cancel"},
    {"browserTitle", u"Zielverzeichnis wählen", u"Open Folder"},
    {"noFileTypes", u"Bitte mindestens einen Dateityp ankreuzen (MP3, WAV, OGG, WMA, FLAC, Opus oder M4A).",
     u"Please tick at least one file type (MP3, WAV, OGG, WMA, FLAC, Opus or M4A)."},
};

// The start window: its list's column captions and its buttons, in tab order.
const UiText kStartWindow[] = {
    {"stammordner.0", u"Playlist", u"Playlist"},
    {"stammordner.1", u"Dateipfad", u"File"},
    {"stammordner.2", u"Größe", u"Size"},
    {"Button5", u"Alle Laden", u"Load All"},
    {"Button1", u"Gewählte Laden", u"Load Selected"},
    {"Button4", u"Andere Playlist..", u"Other Playlist.."},
    {"Button3", u"Ordner Öffnen..", u"Open Folder.."},
    {"Button2", u"Zum Player", u"Close Window"},
};

const UiText kFileInfoWindow[] = {
    {"GroupBox1", u"Datei Informationen", u"File Information"},
    {"Label1", u"Dateiname", u"File Name"},
    {"Label2", u"Ordner", u"Path"},
    {"Label3", u"Pfad und Dateiname", u"Path and File Name"},
    {"Button1", u"Ordner Öffnen", u"Open Folder"},
    {"clipbrd", u"Kopieren", u"Copy"},
    {"Auslesenbt", u"Auslesen", u"Read Info"},
    {"Schliessen", u"Schließen", u"Close"},
    {"GroupBox2", u"Datenstrom und Tags", u"Stream and Tags"},
    {"coverBild", u"Kein Bild", u"No Picture"},
    // The details table's column captions and the captions of its stream rows.
    {"details.0", u"Feld", u"Field"},
    {"details.1", u"Wert", u"Value"},
    {"details.codec", u"Codec", u"Codec"},
    {"details.bitrate", u"Bitrate", u"Bit Rate"},
    {"details.samplerate", u"Abtastrate", u"Sample Rate"},
    {"details.channels", u"Kanäle", u"Channels"},
    {"details.bits", u"Bits pro Sample", u"Bits per Sample"},
    {"details.length", u"Länge", u"Length"},
    {"details.filesize", u"Dateigröße (Bytes)", u"File Size (bytes)"},
};

// The options window's own controls; its other controls share the names of the panel's.
const UiHintText kSearchWindowControls[] = {
    {"s_exakt", u"Exakter Begriff", {}, u"Exact Term", {}},
    {"OK", u"OK", {}, u"OK", {}},
    {"Standard", u"Standard", {}, u"Standard", {}},
};

// The play controls beside the position bar, for tooltips and screen readers.
// The tray icon's menu; the song items read as the Play menu's.
const UiText kTrayMenu[] = {
    {"trayplaypause", u"Play / Pause", u"Play / Pause"},
    {"trayprevious", u"Letztes Stück", u"Previous Song"},
    {"traynext", u"Nächstes Stück", u"Next Song"},
    {"trayshowhide", u"Fenster zeigen / verbergen", u"Show / Hide Window"},
    {"trayquit", u"Beenden", u"Close"},
};

const UiText kPlayControls[] = {
    {"stelle", u"Position", u"Position"},
    {"lautstaerke", u"Lautstärke", u"Volume"},
    {"stumm", u"Stumm", u"Mute"},
};

const UiText kWindowTitles[] = {
    {"Tsuchopt", u"Suchoptionen", u"Search Options"},
    {"Tstartfenster", u"Playlist Öffnen", u"Open Playlist"},
    {"Taddordner", u"Ordner Hinzufügen", u"Add Folder"},
    {"Tlastfiles", u"Letzte Songs", u"Last Songs"},
    {"Tinfo", u"Über Sonalo", u"About Sonalo"},
    {"Tdateiinfo", u"Datei Informationen", u"File Information"},
    {"Ttxtexport", u"Export als Text/HTML Tabelle", u"Export as Text/HTML Table"},
    {"Tfehler", u"Fehlermeldungen", u"Error Messages"},
    {"Teinstausgabe", u"Ausgabe Einstellungen", u"Output Settings"},
    {"Teinstshortcuts", u"Verknüpfungen", u"Shortcuts"},
    // Each problem report window exists in one language only.
    {"Tbugreport_de", u"Problem melden", u"Problem melden"},
    {"Tbugreport_en", u"Report a Problem", u"Report a Problem"},
};

} // namespace

namespace LanguageTexts {

std::span<const UiText> mainMenu() { return kMainMenu; }
std::span<const UiText> tablePopup() { return kTablePopup; }
std::span<const UiText> songPanelPopup() { return kSongPanelPopup; }
std::span<const UiText> columns() { return kColumns; }
std::span<const UiText> queuePanel() { return kQueuePanel; }
std::span<const UiText> longSteps() { return kLongSteps; }
std::span<const UiHintText> searchControls() { return kSearchControls; }
std::span<const UiHintText> searchWindowControls() { return kSearchWindowControls; }
std::span<const UiText> windowTitles() { return kWindowTitles; }
std::span<const UiText> playControls() { return kPlayControls; }
std::span<const UiText> trayMenu() { return kTrayMenu; }
std::span<const UiText> addFolderDialog() { return kAddFolderDialog; }
std::span<const UiText> startWindow() { return kStartWindow; }
std::span<const UiText> fileInfoWindow() { return kFileInfoWindow; }

const UiText *find(std::span<const UiText> table, const char *component)
{
    for (const UiText &t : table)
        if (std::strcmp(t.component, component) == 0)
            return &t;
    return nullptr;
}

bool routineText(const UiText &text, const LanguageCode &lang, QString &out)
{
    if (lang.isDe()) {
        out = text.de.toString();
        return true;
    }
    if (lang.isEn()) {
        out = text.en.toString();
        return true;
    }
    return false;
}


} // namespace LanguageTexts
