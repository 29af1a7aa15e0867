#include "core/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace SettingsFile {

namespace {

constexpr Key kKeys[] = {
    {"programm", "maximiert", Kind::Boolean, "0"},
    {"programm", "breite", Kind::Integer, "current width"},
    {"programm", "hoehe", Kind::Integer, "current height"},
    {"programm", "links", Kind::Integer, "current left edge"},
    {"programm", "oben", Kind::Integer, "current top edge"},
    {"programm", "spalte_num", Kind::Integer, "65"},
    {"programm", "spalte_int", Kind::Integer, "130"},
    {"programm", "spalte_tit", Kind::Integer, "160"},
    {"programm", "spalte_lae", Kind::Integer, "50"},
    {"programm", "spalte_alb", Kind::Integer, "145"},
    {"programm", "spalte_tra", Kind::Integer, "45"},
    {"programm", "spalte_jah", Kind::Integer, "50"},
    {"programm", "spalte_gen", Kind::Integer, "70"},
    {"programm", "spalte_dat", Kind::Integer, "125"},
    {"wiedergabe", "zufall", Kind::Boolean, "1"},
    {"wiedergabe", "zufall_einmal", Kind::Boolean, "0"},
    {"wiedergabe", "lueckenlos", Kind::Boolean, "1"},
    {"wiedergabe", "lautstaerke", Kind::Integer, "100"},
    {"wiedergabe", "stumm", Kind::Boolean, "0"},
    {"wiedergabe", "DeviceIndex", Kind::Integer, "0"},
    // 0 off, 1 track, 2 album, 3 automatic; the two gains in whole decibels (-15..+15).
    {"wiedergabe", "replaygain", Kind::Integer, "0"},
    {"wiedergabe", "replaygain_vorverstaerkung", Kind::Integer, "0"},
    {"wiedergabe", "replaygain_ohnewerte", Kind::Integer, "0"},
    {"wiedergabe", "replaygain_clipschutz", Kind::Boolean, "1"},
    {"equalizer", "an", Kind::Boolean, "0"},
    {"equalizer", "vorlage", Kind::Integer, "0"},
    {"equalizer", "band0", Kind::Integer, "0"},
    {"equalizer", "band1", Kind::Integer, "0"},
    {"equalizer", "band2", Kind::Integer, "0"},
    {"equalizer", "band3", Kind::Integer, "0"},
    {"equalizer", "band4", Kind::Integer, "0"},
    {"equalizer", "band5", Kind::Integer, "0"},
    {"equalizer", "band6", Kind::Integer, "0"},
    {"equalizer", "band7", Kind::Integer, "0"},
    {"equalizer", "band8", Kind::Integer, "0"},
    {"equalizer", "band9", Kind::Integer, "0"},
    {"suche", "sucheoffen", Kind::Boolean, "0"},
    {"suche", "optionenoffen", Kind::Boolean, "0"},
    {"suchspalten", "interpret", Kind::Boolean, "1"},
    {"suchspalten", "titel", Kind::Boolean, "1"},
    {"suchspalten", "laenge", Kind::Boolean, "0"},
    {"suchspalten", "album", Kind::Boolean, "1"},
    {"suchspalten", "track", Kind::Boolean, "0"},
    {"suchspalten", "jahr", Kind::Boolean, "0"},
    {"suchspalten", "genre", Kind::Boolean, "0"},
    {"suchspalten", "pfad", Kind::Boolean, "0"},
    {"suchspalten", "alle", Kind::Boolean, "0"},
    {"suchspalten", "keine", Kind::Boolean, "0"},
    {"suchspalten", "standard", Kind::Boolean, "1"},
    {"suchkriterien", "grossklein", Kind::Boolean, "0"},
    {"suchkriterien", "exakt", Kind::Boolean, "0"},
    {"suchkriterien", "invers", Kind::Boolean, "0"},
    {"suchkriterien", "ganz", Kind::Boolean, "1"},
    {"suchkriterien", "und", Kind::Boolean, "0"},
    {"suchkriterien", "oder", Kind::Boolean, "0"},
    {"einstellungen", "sprache", Kind::Text, "current language"},
    // A missing key gives the first mode, not the current one.
    {"einstellungen", "songanzeige", Kind::Text, "int_tit"},
    {"einstellungen", "headeranzeige", Kind::Boolean, "0"},
    {"einstellungen", "statusbaranzeige", Kind::Boolean, "1"},
    {"einstellungen", "autosave", Kind::Boolean, "0"},
    {"einstellungen", "autoload", Kind::Boolean, "1"},
    {"einstellungen", "letzteplaylist", Kind::Boolean, "0"},
    {"einstellungen", "infobereich", Kind::Boolean, "0"},
    {"einstellungen", "benachrichtigung", Kind::Boolean, "0"},
    // Which picture a song shows when it holds one and its folder has one too.
    {"einstellungen", "ordnerbild", Kind::Boolean, "0"},
};

constexpr const char *kDisplayModeNames[] = {"int_tit", "int_tit_alb", "int_tit_alb_tra", "int_tit_gen", "pfa"};

} // namespace

std::span<const Key> keys()
{
    return kKeys;
}

std::span<const char *const> displayModeNames()
{
    return kDisplayModeNames;
}

QString location(const QString &programFolder, const QString &configFolder)
{
    const QFileInfo folder(programFolder);
    const QString name = QLatin1String(kFileName);
    if (folder.isDir() && folder.isWritable())
        return QDir(programFolder).filePath(name);
    return QDir(configFolder).filePath(name);
}

std::optional<int> readInt(const IniFile &ini, const char *section, const char *key)
{
    const std::optional<QString> v = ini.value(QLatin1String(section), QLatin1String(key));
    if (!v)
        return std::nullopt;
    return parseIniInteger(*v);
}

std::optional<bool> readBool(const IniFile &ini, const char *section, const char *key)
{
    const std::optional<int> v = readInt(ini, section, key);
    if (!v)
        return std::nullopt;
    return *v != 0;
}

std::optional<int> readWidth(const IniFile &ini, const char *key)
{
    const std::optional<int> v = readInt(ini, "programm", key);
    if (v && *v < 0)
        return std::nullopt;
    return v;
}

std::optional<QString> readLanguage(const IniFile &ini)
{
    std::optional<QString> v = ini.value(u"einstellungen", u"sprache");
    if (v && *v != u"de" && *v != u"en")
        return std::nullopt;
    return v;
}

int readDisplayMode(const IniFile &ini)
{
    const QString name = ini.value(u"einstellungen", u"songanzeige").value_or(QStringLiteral("int_tit"));
    for (size_t i = 0; i < std::size(kDisplayModeNames); ++i)
        if (name == QLatin1String(kDisplayModeNames[i]))
            return int(i);
    return -1;
}

KeyReading describe(const IniFile &ini, const Key &key)
{
    const std::optional<QString> raw = ini.value(QLatin1String(key.section), QLatin1String(key.name));
    const QString design = QLatin1String(key.designState);
    const QString name = QLatin1String(key.name);
    if (name == u"songanzeige") {
        const int mode = readDisplayMode(ini);
        if (mode >= 0)
            return {QLatin1String(kDisplayModeNames[mode]), raw ? QString() : QStringLiteral("missing")};
        return {QStringLiteral("(none ticked)"), QStringLiteral("\"%1\" names no display mode").arg(*raw)};
    }
    if (!raw)
        return {design, QStringLiteral("missing")};
    if (name == u"sprache") {
        if (readLanguage(ini))
            return {*raw, {}};
        return {design, QStringLiteral("\"%1\" is not \"de\" or \"en\"").arg(*raw)};
    }
    if (key.kind == Kind::Text)
        return {*raw, {}};
    const std::optional<int> v = parseIniInteger(*raw);
    if (!v)
        return {design, QStringLiteral("\"%1\" is not a number").arg(*raw)};
    if (key.kind == Kind::Boolean)
        return {*v != 0 ? QStringLiteral("1") : QStringLiteral("0"), {}};
    if (name.startsWith(u"spalte_") && *v < 0)
        return {design, QStringLiteral("%1 is not a width").arg(*v)};
    return {QString::number(*v), {}};
}

ReadResult read(const QString &path)
{
    ReadResult r;
    QFile f(path);
    const QFileInfo info(path);
    if (!info.exists())
        return r;
    // Only a regular file: a FIFO or device would block or never end.
    if (!info.isFile()) {
        r.status = ReadResult::Unreadable;
        r.error = QStringLiteral("not a regular file");
        return r;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        r.status = ReadResult::Unreadable;
        r.error = f.errorString();
        return r;
    }
    const QByteArray bytes = f.read(kMaxSize + 1);
    if (bytes.size() > kMaxSize) {
        r.status = ReadResult::Unreadable;
        r.error = QStringLiteral("larger than %1 bytes").arg(kMaxSize);
        return r;
    }
    r.status = ReadResult::Read;
    r.ini = IniFile::parse(bytes);
    return r;
}

bool write(const QString &path, const QByteArray &bytes, QString *error)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace SettingsFile
