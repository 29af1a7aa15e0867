#pragma once

#include "ui/PendingWindow.h"

// Problem report window in German; it has one language only.
class Tbugreport_de : public PendingWindow
{
public:
    explicit Tbugreport_de(LanguageCode &lang, QWidget *parent = nullptr)
        : PendingWindow("Tbugreport_de", lang, QSize(420, 320), parent)
    {
    }
};
