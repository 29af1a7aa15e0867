#include "session/SettingsController.h"
#include "session/UserDialogs.h"

#include "core/SettingsFile.h"
#include "playback/PlaybackControl.h"
#include "playback/DisplayOptionsModel.h"
#include "session/ListDisplay.h"
#include "session/SearchController.h"
#include "session/SearchOptionsModel.h"
#include "session/SettingsWindow.h"
#include "session/SongTableModel.h"

namespace {

using SettingsFile::readBool;
using SettingsFile::readInt;

const char *const kColumnKeys[SongTableModel::kColumnCount] = {
    "spalte_num", "spalte_int", "spalte_tit", "spalte_lae", "spalte_alb",
    "spalte_tra", "spalte_jah", "spalte_gen", "spalte_dat",
};
const char *const kSearchColumnKeys[TSongRecord::kFieldCount] = {
    "interpret", "titel", "laenge", "album", "track", "jahr", "genre", "pfad",
};
const std::pair<const char *, SearchMode> kSearchModeKeys[] = {
    {"ganz", SearchMode::WholeTerm}, {"und", SearchMode::And}, {"oder", SearchMode::Or}};

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

SettingsController::SettingsController(QString path, const LanguageCode &lang, SongLists &lists,
                                       DisplayOptionsModel &display, SearchOptionsModel &searchOptions,
                                       SearchController &search, ListDisplay &list, PlaybackControl &playback,
                                       UserDialogs &dialogs, QObject *parent)
    : QObject(parent), m_path(std::move(path)), m_lang(lang), m_lists(lists), m_display(display),
      m_searchOptions(searchOptions), m_search(search), m_list(list), m_playback(playback), m_dialogs(dialogs)
{
}

void SettingsController::setAutoSave(bool on)
{
    if (m_autoSave == on)
        return;
    m_autoSave = on;
    Q_EMIT autoSaveChanged(on);
}

void SettingsController::setAutoLoad(bool on)
{
    if (m_autoLoad == on)
        return;
    m_autoLoad = on;
    Q_EMIT autoLoadChanged(on);
}

void SettingsController::setRestoreLastPlaylist(bool on)
{
    if (m_restoreLastPlaylist == on)
        return;
    m_restoreLastPlaylist = on;
    Q_EMIT restoreLastPlaylistChanged(on);
}

void SettingsController::setCloseToTray(bool on)
{
    if (m_closeToTray == on)
        return;
    m_closeToTray = on;
    Q_EMIT closeToTrayChanged(on);
}

void SettingsController::setNotifications(bool on)
{
    if (m_notifications == on)
        return;
    m_notifications = on;
    Q_EMIT notificationsChanged(on);
}

void SettingsController::setFolderCoverFirst(bool on)
{
    if (m_folderCoverFirst == on)
        return;
    m_folderCoverFirst = on;
    Q_EMIT folderCoverFirstChanged(on);
}

bool SettingsController::restoreLastPlaylistAtStart() const
{
    const SettingsFile::ReadResult r = SettingsFile::read(m_path);
    return r.status == SettingsFile::ReadResult::Read
           && readBool(r.ini, "einstellungen", "autoload").value_or(m_autoLoad)
           && readBool(r.ini, "einstellungen", "letzteplaylist").value_or(false);
}

void SettingsController::store(IniFile &ini) const
{
    auto put = [&ini](const char *section, const char *key, const QString &value) {
        ini.setValue(QLatin1String(section), QLatin1String(key), value);
    };
    const bool maximized = m_window && m_window->settingsMaximized();
    put("programm", "maximiert", flag(maximized));
    if (m_window) {
        // A maximized window leaves the last normal placement in the file.
        if (!maximized) {
            const QRect r = m_window->settingsPlacement();
            put("programm", "breite", QString::number(r.width()));
            put("programm", "hoehe", QString::number(r.height()));
            put("programm", "links", QString::number(r.x()));
            put("programm", "oben", QString::number(r.y()));
        }
        for (int c = 0; c < SongTableModel::kColumnCount; ++c)
            put("programm", kColumnKeys[c], QString::number(m_window->settingsColumnWidth(c)));
    }
    put("wiedergabe", "zufall", flag(m_display.randomOrder()));
    put("wiedergabe", "zufall_einmal", flag(m_display.shuffleOnce()));
    put("wiedergabe", "lueckenlos", flag(m_display.gapless()));
    put("wiedergabe", "lautstaerke", QString::number(m_playback.volumePercent()));
    put("wiedergabe", "stumm", flag(m_playback.muted()));
    put("wiedergabe", "DeviceIndex", QString::number(m_playback.deviceIndex()));
    const ReplayGainModel &rg = m_playback.replayGain();
    put("wiedergabe", "replaygain", QString::number(int(rg.mode())));
    put("wiedergabe", "replaygain_vorverstaerkung", QString::number(std::lround(rg.preampDb())));
    put("wiedergabe", "replaygain_ohnewerte", QString::number(std::lround(rg.defaultDb())));
    put("wiedergabe", "replaygain_clipschutz", flag(rg.preventClipping()));
    const EqualizerModel &eq = m_playback.equalizer();
    put("equalizer", "an", flag(eq.enabled()));
    put("equalizer", "vorlage", QString::number(eq.preset()));
    for (int b = 0; b < EqualizerModel::kBands; ++b)
        put("equalizer", QStringLiteral("band%1").arg(b).toLatin1().constData(),
            QString::number(std::lround(eq.gains()[std::size_t(b)])));
    put("suche", "sucheoffen", flag(m_search.searchBarShown()));
    put("suche", "optionenoffen", flag(m_search.optionsPanelShown()));

    const SearchOptions &o = m_searchOptions.options();
    for (int f = 0; f < TSongRecord::kFieldCount; ++f)
        put("suchspalten", kSearchColumnKeys[f], flag(o.columns[size_t(f)]));
    using Shortcut = SearchOptionsModel::ColumnShortcut;
    const Shortcut mark = m_searchOptions.columnShortcut();
    put("suchspalten", "alle", flag(mark == Shortcut::All));
    put("suchspalten", "keine", flag(mark == Shortcut::NoColumn));
    put("suchspalten", "standard", flag(mark == Shortcut::Standard));
    put("suchkriterien", "grossklein", flag(o.caseSensitive));
    put("suchkriterien", "exakt", flag(o.exact));
    put("suchkriterien", "invers", flag(o.inverse));
    for (const auto &[key, mode] : kSearchModeKeys)
        put("suchkriterien", key, flag(o.mode == mode));

    put("einstellungen", "sprache", m_lang.code());
    const auto names = SettingsFile::displayModeNames();
    const auto mode = size_t(m_display.mode());
    if (mode < names.size())
        put("einstellungen", "songanzeige", QLatin1String(names[mode]));
    put("einstellungen", "headeranzeige", flag(m_display.inTitle()));
    put("einstellungen", "statusbaranzeige", flag(m_display.inStatus()));
    put("einstellungen", "autosave", flag(m_autoSave));
    put("einstellungen", "autoload", flag(m_autoLoad));
    put("einstellungen", "letzteplaylist", flag(m_restoreLastPlaylist));
    put("einstellungen", "infobereich", flag(m_closeToTray));
    put("einstellungen", "benachrichtigung", flag(m_notifications));
    put("einstellungen", "ordnerbild", flag(m_folderCoverFirst));
}

bool SettingsController::SaveSettings()
{
    SettingsFile::ReadResult old = SettingsFile::read(m_path);
    // A file that cannot be read whole is not replaced: its other keys would be lost.
    bool ok = old.status != SettingsFile::ReadResult::Unreadable;
    if (ok) {
        store(old.ini);
        ok = SettingsFile::write(m_path, old.ini.toBytes(), nullptr);
    }
    if (!ok)
        m_dialogs.showError(nullptr, QStringLiteral("Unable to write to %1").arg(m_path));
    return ok;
}

void SettingsController::LoadSettings()
{
    const SettingsFile::ReadResult r = SettingsFile::read(m_path);
    if (r.status == SettingsFile::ReadResult::Read)
        apply(r.ini);
}

void SettingsController::loadAtFirstActivation()
{
    const SettingsFile::ReadResult r = SettingsFile::read(m_path);
    if (r.status == SettingsFile::ReadResult::Read && readBool(r.ini, "einstellungen", "autoload").value_or(m_autoLoad))
        apply(r.ini);
}

bool SettingsController::saveOnClose()
{
    return !m_autoSave || SaveSettings();
}

void SettingsController::apply(const IniFile &ini)
{
    if (m_window) {
        if (readBool(ini, "programm", "maximiert").value_or(m_window->settingsMaximized())) {
            m_window->settingsMaximize();
        } else {
            m_window->settingsRestoreNormal();
            const QRect now = m_window->settingsPlacement();
            m_window->setSettingsPlacement(QRect(readInt(ini, "programm", "links").value_or(now.x()),
                                                 readInt(ini, "programm", "oben").value_or(now.y()),
                                                 readInt(ini, "programm", "breite").value_or(now.width()),
                                                 readInt(ini, "programm", "hoehe").value_or(now.height())));
        }
        for (int c = 0; c < SongTableModel::kColumnCount; ++c) {
            if (const auto width = SettingsFile::readWidth(ini, kColumnKeys[c]))
                m_window->setSettingsColumnWidth(c, *width);
        }
    }
    if (const auto random = readBool(ini, "wiedergabe", "zufall"))
        m_display.setRandomOrder(*random);
    // Read after zufall: when both are on, every song once wins.
    if (const auto once = readBool(ini, "wiedergabe", "zufall_einmal"))
        m_display.setShuffleOnce(*once);
    if (const auto gapless = readBool(ini, "wiedergabe", "lueckenlos"))
        m_display.setGapless(*gapless);
    // A level outside 0..100 ends at the nearest bound.
    if (const auto volume = readInt(ini, "wiedergabe", "lautstaerke"))
        m_playback.setVolumePercent(*volume);
    if (const auto mute = readBool(ini, "wiedergabe", "stumm"))
        m_playback.setMuted(*mute);
    // An index outside the device list plays on the default output, as the player decides.
    if (const auto device = readInt(ini, "wiedergabe", "DeviceIndex"))
        m_playback.setDeviceIndex(*device);
    // A mode outside 0..3 is ignored; gains outside -15..+15 end at the nearest bound.
    ReplayGainModel &rg = m_playback.replayGain();
    if (const auto mode = readInt(ini, "wiedergabe", "replaygain"))
        rg.setMode(ReplayGainModel::Mode(*mode));
    if (const auto preamp = readInt(ini, "wiedergabe", "replaygain_vorverstaerkung"))
        rg.setPreampDb(*preamp);
    if (const auto fallback = readInt(ini, "wiedergabe", "replaygain_ohnewerte"))
        rg.setDefaultDb(*fallback);
    if (const auto clip = readBool(ini, "wiedergabe", "replaygain_clipschutz"))
        rg.setPreventClipping(*clip);
    loadEqualizer(ini);

    if (const auto bar = readBool(ini, "suche", "sucheoffen")) {
        if (*bar) {
            m_search.showBarAndFocus();
        } else {
            m_search.setSearchBarShown(false);
            // The table is not refreshed here; the status line's click at the end does.
            const auto scope = m_lists.edit(SongLists::Refresh::None);
            m_lists.showAll();
        }
    }
    if (const auto panel = readBool(ini, "suche", "optionenoffen")) {
        m_search.setOptionsPanelShown(*panel);
        if (*panel)
            m_search.showBarAndFocus();
    }

    // Each control set as a click would set it, so the rules of the option views hold: a
    // shortcut or mode set to true runs its click; set to false it changes nothing, since one
    // of each group is always the current one.
    for (int f = 0; f < TSongRecord::kFieldCount; ++f)
        if (const auto on = readBool(ini, "suchspalten", kSearchColumnKeys[f]))
            m_searchOptions.setColumn(f, *on);
    using Shortcut = SearchOptionsModel::ColumnShortcut;
    if (readBool(ini, "suchspalten", "alle").value_or(false) && m_searchOptions.columnShortcut() != Shortcut::All)
        m_searchOptions.setAllColumns(true);
    if (readBool(ini, "suchspalten", "keine").value_or(false)
        && m_searchOptions.columnShortcut() != Shortcut::NoColumn)
        m_searchOptions.setAllColumns(false);
    if (readBool(ini, "suchspalten", "standard").value_or(false)
        && m_searchOptions.columnShortcut() != Shortcut::Standard)
        m_searchOptions.resetToStart();
    if (const auto on = readBool(ini, "suchkriterien", "grossklein"))
        m_searchOptions.setCaseSensitive(*on);
    if (const auto on = readBool(ini, "suchkriterien", "exakt"))
        m_searchOptions.setExact(*on);
    if (const auto on = readBool(ini, "suchkriterien", "invers"))
        m_searchOptions.setInverse(*on);
    for (const auto &[key, mode] : kSearchModeKeys)
        if (readBool(ini, "suchkriterien", key).value_or(false))
            m_searchOptions.setMode(mode);

    const std::optional<QString> code = SettingsFile::readLanguage(ini);
    if (code && *code != m_lang.code() && m_window)
        m_window->switchLanguage(*code);

    // All five cleared, then the one the value names: a value naming none leaves none ticked.
    const int mode = SettingsFile::readDisplayMode(ini);
    m_display.setMode(mode < 0 ? SongDisplayMode::None : SongDisplayMode(mode));
    if (const auto on = readBool(ini, "einstellungen", "headeranzeige"))
        m_display.setInTitle(*on);
    if (const auto on = readBool(ini, "einstellungen", "statusbaranzeige"))
        m_display.setInStatus(*on);
    if (const auto on = readBool(ini, "einstellungen", "autosave"))
        setAutoSave(*on);
    if (const auto on = readBool(ini, "einstellungen", "autoload"))
        setAutoLoad(*on);
    if (const auto on = readBool(ini, "einstellungen", "letzteplaylist"))
        setRestoreLastPlaylist(*on);
    if (const auto on = readBool(ini, "einstellungen", "infobereich"))
        setCloseToTray(*on);
    if (const auto on = readBool(ini, "einstellungen", "benachrichtigung"))
        setNotifications(*on);
    if (const auto on = readBool(ini, "einstellungen", "ordnerbild"))
        setFolderCoverFirst(*on);

    m_list.statusClick();
}

// A preset restores its shape; bands set by hand (preset -1) are read one by one.
void SettingsController::loadEqualizer(const IniFile &ini)
{
    EqualizerModel &eq = m_playback.equalizer();
    const int preset = readInt(ini, "equalizer", "vorlage").value_or(eq.preset());
    if (preset >= 0) {
        eq.applyPreset(preset);
    } else {
        for (int b = 0; b < EqualizerModel::kBands; ++b)
            if (const auto gain = readInt(ini, "equalizer", QStringLiteral("band%1").arg(b).toLatin1().constData()))
                eq.setGain(b, *gain);
    }
    if (const auto on = readBool(ini, "equalizer", "an"))
        eq.setEnabled(*on);
}
