#pragma once

#include <QString>

// The language at start: "en", unless a file named "de" lies in the folder (then "de"; it wins
// over "en" when both are there).
QString StartLanguage(const QString &workingFolder);
