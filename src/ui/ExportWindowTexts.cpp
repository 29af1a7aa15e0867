#include "ui/ExportWindowTexts.h"

namespace {

const UiText kTxtExportWindow[] = {
    {"cb_einghilfe", u"Eingabehilfe", u"Input Assistance"},
    {"Button1", u"%interpret%", u"%artist%"},
    {"Button2", u"%titel%", u"%title%"},
    {"Button3", u"%album%", u"%album%"},
    {"Button4", u"%länge%", u"%length%"},
    {"Button5", u"%track%", u"%track%"},
    {"Button6", u"%genre%", u"%genre%"},
    {"Button7", u"%jahr%", u"%year%"},
    {"Button8", u"%pfad%", u"%path%"},
    {"Button10", u"%123%", u"%123%"},
    {"Button11", u"%dateiname%", u"%filename%"},
    {"Button13", u"%tab%", u"%tab%"},
    {"Button9", u"Text Hinzufügen", u"Text Hinzufügen"},
    {"Button12", u"Alles Löschen", u"Delete All"},
    {"cb_filter", u"Filter verwenden", u"Use Filter"},
    {"s_interpret", u"Interpret", u"Artist"},
    {"s_titel", u"Titel", u"Title"},
    {"s_laenge", u"Länge", u"Length"},
    {"s_album", u"Album", u"Album"},
    {"s_track", u"Track", u"Track"},
    {"s_jahr", u"Jahr", u"Year"},
    {"s_genre", u"Genre", u"Genre"},
    {"s_datei", u"Pfad", u"Path"},
    {"rb_alle", u"Alle/Keine Markieren", u"Select All/None"},
    {"Label3", u"Suche nach:", u"Search For:"},
    {"cb_suchen", u"Suchen und Ersetzen", u"Find and Replace"},
    {"Label1", u"Suchen nach:", u"Search For:"},
    {"Label2", u"Ersetzen mit:", u"Replace With:"},
    {"cb_html", u"HTML Tabelle erstellen", u"Create HTML Table"},
    {"cb_einst", u"Einstellungen anzeigen", u"Show Settings"},
    {"cb_sort", u"Liste Sortieren", u"Sort List"},
    {"cb_doppeltweg", u"Doppelte Einträge entfernen", u"Remove Double Items"},
    {"cb_autodel", u"Alte Liste überschreiben", u"Replace old List"},
    {"cb_leereweg", u"Leere Einträge entfernen", u"Remove empty Items"},
    {"cb_autoupdate", u"Automatisches Update", u"Auto Update"},
    {"cb_nullen", u"Führende Nullen bei %123%", u"Left-Hand Zeros at %123%"},
    {"Schreiben", u"Liste Schreiben", u"Write List"},
    {"Speichern", u"Liste Speichern", u"Save List"},
    {"DelOutput", u"Liste Löschen", u"Delete List"},
    {"Button14", u"Zwischenablage", u"Copy to Clipboard"},
};

const UiText kOutputSettingsWindow[] = {
    {"GroupBox1", u"Ausgabe als Bild", u"Output as Image"},
    {"Label6", u"Schrift und Hintergrundfarbe bei einer Ausgabe als Bild:", u"Font and Background Color at an Output as Image:"},
    {"Label3", u"Aktuelle Schrift", u"Current Font"},
    {"BitBtn6", u"Schrift wählen..", u"Choose Font.."},
    {"BitBtn1", u"Hintergrundfarbe..", u"Background Color.."},
    {"GroupBox2", u"Kodierung von Textdateien", u"Coding of Text Files"},
    {"Label5", u"Die Textdateien werden in folgendem Format abgespeichert:", u"Text Files are saved in this File Format:"},
    {"rb_ansi", u"ANSI Text", u"ANSI Text"},
    {"rb_utf7", u"Unicode UTF-7", u"Unicode UTF-7"},
    {"rb_utf7ansi", u"Unicode UTF-7 als ANSI gespeichert", u"Unicode UTF-7 saved as ANSI"},
    {"rb_utf8", u"Unicode UTF-8", u"Unicode UTF-8"},
    {"rb_beibehalten", u"Wenn möglich, Kodierung übernehmen", u"Adopt Coding if possible"},
    {"rb_utf16le", u"Unicode UTF-16 Little Endian (Standard Windows Unicode)", u"Unicode UTF-16 Little Endian (Standard Windows Unicode)"},
    {"rb_utf_be", u"Unicode UTF-16 Big Endian", u"Unicode UTF-16 Big Endian"},
    {"rb_utf32le", u"Unicode UTF-32 Little Endian", u"Unicode UTF-32 Little Endian"},
    {"rb_utf32be", u"Unicode UTF-32 Big Endian", u"Unicode UTF-32 Big Endian"},
    {"Label4", u"Informationen zu den Formaten erhalten Sie auf dieser Seite:", u"Information to the File Formats, you can get on:"},
    {"Button1", u"OK", u"OK"},
};

} // namespace

namespace LanguageTexts {

std::span<const UiText> txtExportWindow() { return kTxtExportWindow; }
std::span<const UiText> outputSettingsWindow() { return kOutputSettingsWindow; }

} // namespace LanguageTexts
