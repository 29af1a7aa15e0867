#pragma once

#include "ui/pending/PendingWindow.h"

// File information window.
class Tdateiinfo : public PendingWindow
{
public:
    explicit Tdateiinfo(LanguageCode &lang, QWidget *parent = nullptr)
        : PendingWindow("Tdateiinfo", lang, QSize(420, 260), parent)
    {
    }
    // Language routine.
    void LocalSpr() { applyTitle(); }
};
