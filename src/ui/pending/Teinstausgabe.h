#pragma once

#include "ui/pending/PendingWindow.h"

// Output settings window (text encoding and picture style).
class Teinstausgabe : public PendingWindow
{
public:
    explicit Teinstausgabe(LanguageCode &lang, QWidget *parent = nullptr)
        : PendingWindow("Teinstausgabe", lang, QSize(460, 420), parent, true)
    {
    }
    // Language routine; it tests for "de" only.
    void Sprache() { applyTitle(); }
};
