#pragma once

#include "ui/pending/PendingWindow.h"

// Add-folder dialog.
class Taddordner : public PendingWindow
{
public:
    explicit Taddordner(LanguageCode &lang, QWidget *parent = nullptr)
        : PendingWindow("Taddordner", lang, QSize(420, 330), parent)
    {
    }
    // Language routine.
    void LocalSpr() { applyTitle(); }
};
