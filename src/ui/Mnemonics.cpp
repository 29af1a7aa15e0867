#include "ui/Mnemonics.h"

#include <QAction>
#include <QMenu>
#include <QSet>

namespace Mnemonics {

QString visibleText(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&'))
                shown += QLatin1Char('&');
            else if (i + 1 < text.size())
                continue; // a marker
            ++i;
            continue;
        }
        shown += text[i];
    }
    return shown;
}

QStringList assign(const QStringList &captions)
{
    QSet<QChar> taken;
    QStringList marked;
    marked.reserve(captions.size());
    for (const QString &text : captions) {
        const QString caption = visibleText(text);
        qsizetype at = -1;
        for (int pass = 0; pass < 2 && at < 0; ++pass) {
            for (qsizetype i = 0; i < caption.size(); ++i) {
                const QChar c = caption[i];
                const bool wordStart = i == 0 || caption[i - 1].isSpace();
                if (!c.isLetterOrNumber() || (pass == 0 && !wordStart) || taken.contains(c.toCaseFolded()))
                    continue;
                at = i;
                break;
            }
        }
        QString out = caption;
        out.replace(QLatin1Char('&'), QStringLiteral("&&"));
        if (at >= 0) {
            taken.insert(caption[at].toCaseFolded());
            // Every "&" before the letter was doubled.
            const qsizetype before = caption.left(at).count(QLatin1Char('&'));
            out.insert(at + before, QLatin1Char('&'));
        }
        marked.append(out);
    }
    return marked;
}

void applyTo(const QList<QAction *> &level)
{
    QList<QAction *> items;
    QStringList captions;
    for (QAction *a : level) {
        if (a->isSeparator() || a->text().isEmpty())
            continue;
        items.append(a);
        captions.append(a->text());
    }
    const QStringList marked = assign(captions);
    for (qsizetype i = 0; i < items.size(); ++i) {
        items[i]->setText(marked[i]);
        if (QMenu *sub = items[i]->menu())
            applyTo(sub->actions());
    }
}

} // namespace Mnemonics
