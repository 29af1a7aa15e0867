#pragma once

#include "ui/pending/PendingWindow.h"

// The start window that offers the playlists lying beside the program; its list and buttons come
// with the start window's own subsystem.
class Tstartfenster : public PendingWindow
{
public:
    explicit Tstartfenster(LanguageCode &lang, QWidget *parent = nullptr)
        : PendingWindow("Tstartfenster", lang, QSize(600, 300), parent)
    {
    }
    // Language routine.
    void sprache() { applyTitle(); }
};
