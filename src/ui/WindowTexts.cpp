#include "ui/WindowTexts.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace LanguageTexts {

void applyWindowTitle(QWidget &window, const char *className, const LanguageCode &lang)
{
    QString caption;
    if (const UiText *t = find(windowTitles(), className))
        if (routineText(*t, lang, caption))
            window.setWindowTitle(caption);
}

void applyWindowTexts(QWidget &window, const char *className, std::span<const UiText> controls,
                      const LanguageCode &lang)
{
    applyWindowTitle(window, className, lang);
    QString caption;
    for (const UiText &t : controls)
        if (routineText(t, lang, caption))
            applyControlText(window, t.component, caption);
}

void applyControlText(QWidget &window, const char *component, const QString &caption)
{
    auto *w = window.findChild<QWidget *>(QLatin1String(component));
    if (auto *box = qobject_cast<QGroupBox *>(w))
        box->setTitle(caption);
    else if (auto *button = qobject_cast<QAbstractButton *>(w))
        button->setText(caption);
    else if (auto *label = qobject_cast<QLabel *>(w))
        label->setText(caption);
}

} // namespace LanguageTexts
