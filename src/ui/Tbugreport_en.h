#pragma once

#include "ui/PendingWindow.h"

// Problem report window in English; it has one language only.
class Tbugreport_en : public PendingWindow
{
public:
    explicit Tbugreport_en(LanguageCode &lang, QWidget *parent = nullptr)
        : PendingWindow("Tbugreport_en", lang, QSize(420, 320), parent)
    {
    }
};
