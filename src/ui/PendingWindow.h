#pragma once

#include "core/LanguageCode.h"
#include "ui/LanguageTexts.h"

#include <QWidget>

// A secondary window that exists from start-up with its title in both languages; its controls
// and commands come with the subsystem that owns it. Closing hides it.
class PendingWindow : public QWidget
{
public:
    // germanOrEnglish: the window's routine shows German for "de" and English for every other
    // code, instead of leaving other codes alone.
    PendingWindow(const char *className, LanguageCode &lang, QSize clientSize, QWidget *parent = nullptr,
                  bool germanOrEnglish = false)
        : QWidget(parent, Qt::Window), m_className(className), m_lang(lang), m_germanOrEnglish(germanOrEnglish)
    {
        setObjectName(QLatin1String(className));
        resize(clientSize);
        applyTitle();
    }

protected:
    void applyTitle()
    {
        QString title;
        const UiText *t = LanguageTexts::find(LanguageTexts::windowTitles(), m_className);
        if (!t)
            return;
        if (m_germanOrEnglish)
            setWindowTitle(m_lang.text(t->de, t->en));
        else if (LanguageTexts::routineText(*t, m_lang, title))
            setWindowTitle(title);
    }
    LanguageCode &lang() { return m_lang; }

private:
    const char *m_className;
    LanguageCode &m_lang;
    bool m_germanOrEnglish;
};
