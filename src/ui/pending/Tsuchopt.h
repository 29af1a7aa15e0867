#pragma once

#include "ui/pending/PendingWindow.h"

// Search options window.
class Tsuchopt : public PendingWindow
{
public:
    explicit Tsuchopt(LanguageCode &lang, QWidget *parent = nullptr)
        : PendingWindow("Tsuchopt", lang, QSize(300, 470), parent)
    {
    }
    // Language routine.
    void LocalSpr() { applyTitle(); }
};
