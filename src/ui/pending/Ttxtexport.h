#pragma once

#include "ui/pending/PendingWindow.h"

// List export window.
class Ttxtexport : public PendingWindow
{
public:
    explicit Ttxtexport(LanguageCode &lang, QWidget *parent = nullptr)
        : PendingWindow("Ttxtexport", lang, QSize(640, 520), parent)
    {
    }
    // Language routine.
    void LocalSpr() { applyTitle(); }
};
