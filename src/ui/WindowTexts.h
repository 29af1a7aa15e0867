#pragma once

#include "ui/LanguageTexts.h"

#include <span>

class QWidget;

namespace LanguageTexts {

// The title of a secondary window from windowTitles(), by its class name, when the language
// routine changes texts at all for the current code.
void applyWindowTitle(QWidget &window, const char *className, const LanguageCode &lang);

// The title, then every control of `controls` found among the window's children by object
// name: a group box gets its title, a button or a label its text.
void applyWindowTexts(QWidget &window, const char *className, std::span<const UiText> controls,
                      const LanguageCode &lang);

// One control's caption, found among the window's children by object name, as above.
void applyControlText(QWidget &window, const char *component, const QString &caption);

} // namespace LanguageTexts
