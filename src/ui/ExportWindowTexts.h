#pragma once

#include "ui/LanguageTexts.h"

namespace LanguageTexts {

// The export window's controls: panels' boxes, placeholder buttons, column boxes, labels, the
// settings boxes and the four buttons of the output box.
std::span<const UiText> txtExportWindow();
// The output settings window's groups, labels, buttons and encoding radio buttons.
std::span<const UiText> outputSettingsWindow();

} // namespace LanguageTexts
