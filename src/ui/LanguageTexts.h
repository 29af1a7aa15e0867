#pragma once

#include "core/LanguageCode.h"

#include <QString>
#include <QStringView>

#include <span>

// Every text of the main window in both languages, one table per part of the window. The
// language routines read these tables; nothing else holds interface texts of these windows.
struct UiText
{
    const char *component; // objectName of the control or menu item
    QStringView de;
    QStringView en;
    const char *key = nullptr; // shortcut in QKeySequence's portable form, if any
};

struct UiHintText
{
    const char *component;
    QStringView de;
    QStringView deHint;
    QStringView en;
    QStringView enHint;
};

namespace LanguageTexts {

// Main menu of Tprog, the menu titles included.
std::span<const UiText> mainMenu();
// Context menu of the song table.
std::span<const UiText> tablePopup();
// Context menu of the current-song panel: its own item and the ones that copy table items.
std::span<const UiText> songPanelPopup();
// Column captions of the song table, columns 0 to 8.
std::span<const UiText> columns();
// The queue panel: its title ("queue_title") and its buttons, whose keys act inside its list.
std::span<const UiText> queuePanel();
// The strip that shows a long step running: each step's text ("step_adding" with "%1" for the
// songs added so far, "step_searching"), its Cancel button and what it says once cancelled.
std::span<const UiText> longSteps();
// Search bar and search options panel.
std::span<const UiHintText> searchControls();
// Captions of the add-folder dialog, and its texts of the moment: "Button1.running" (the
// caption while a run goes on), "browserTitle" (the folder browser) and "noFileTypes".
std::span<const UiText> addFolderDialog();
// The start window: "stammordner.0" to "stammordner.2" are its list's column captions, the
// others its buttons.
std::span<const UiText> startWindow();
// The file information window's group boxes, field labels, buttons, the cover's text when there
// is none, and the details table: "details.0" and "details.1" its column captions,
// "details.<key>" the captions of the stream rows (SongInfo's keys).
std::span<const UiText> fileInfoWindow();
// The controls of the search options window that the panel does not have.
std::span<const UiHintText> searchWindowControls();
// Tooltips and accessible names of the position bar, the volume slider and the mute button.
std::span<const UiText> playControls();
// The tray icon's menu.
std::span<const UiText> trayMenu();
// Window titles of the secondary windows, by class name.
std::span<const UiText> windowTitles();

// Looks a component up in a table; nullptr when it is not there.
const UiText *find(std::span<const UiText> table, const char *component);

// The language routine's choice: German for "de", English for "en", nothing for other codes.
// Returns false when the text is to stay as it is.
bool routineText(const UiText &text, const LanguageCode &lang, QString &out);


} // namespace LanguageTexts
