#pragma once

#include <QStringList>

#include <functional>

class QPlainTextEdit;

// Puts the lines into a plain text box, one a paragraph, as setPlainText of the lines joined by
// "\n" would, but a piece at a time with keepAlive between the pieces: a million lines take
// seconds, and the window paints meanwhile (what it shows in between is the box filling up).
// The box's undo history starts empty, as after setPlainText.
void fillOutputBox(QPlainTextEdit &box, const QStringList &lines, const std::function<void()> &keepAlive);
