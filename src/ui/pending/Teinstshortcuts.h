#pragma once

#include "ui/pending/PendingWindow.h"

// Shell integration settings.
class Teinstshortcuts : public PendingWindow
{
public:
    explicit Teinstshortcuts(LanguageCode &lang, QWidget *parent = nullptr)
        : PendingWindow("Teinstshortcuts", lang, QSize(520, 560), parent)
    {
    }
    // Language routine.
    void Sprache() { applyTitle(); }
};
