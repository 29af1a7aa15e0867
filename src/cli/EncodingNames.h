#pragma once

#include "core/TextEncoding.h"

#include <QStringList>

#include <optional>

// The encodings' names on the command line.
std::optional<TTextEncoding> textEncodingFromName(const QString &name);
QStringList textEncodingNames();
