#pragma once

#include "ui/pending/PendingWindow.h"

// Recently played songs.
class Tlastfiles : public PendingWindow
{
public:
    explicit Tlastfiles(LanguageCode &lang, QWidget *parent = nullptr)
        : PendingWindow("Tlastfiles", lang, QSize(405, 335), parent)
    {
    }
    // Language routine.
    void LocalSpr() { applyTitle(); }
};
