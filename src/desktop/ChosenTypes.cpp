#include "desktop/ChosenTypes.h"

namespace ChosenTypes {

QStringList ChosenExtensions(const QString &text)
{
    // QString::split gives one empty entry for an empty text, as the list needs.
    QStringList entries = text.split(u',');
    static const QString forbidden = QStringLiteral("<>\\/|:?\"* ");
    // From the last to the first, so that dropping an entry leaves the ones still to check
    // where they are.
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        QString entry = entries.at(i).trimmed();
        bool drop = entry.isEmpty();
        if (!drop) {
            if (!entry.contains(u'.'))
                entry.prepend(u'.');
            drop = entry == QStringLiteral(".") || !entry.startsWith(u'.');
            for (qsizetype c = 1; !drop && c < entry.size(); ++c)
                drop = forbidden.contains(entry.at(c));
        }
        if (drop)
            entries.removeAt(i);
        else
            entries[i] = entry;
    }
    return entries;
}

QStringList normalized(const QStringList &extensions)
{
    QStringList out;
    for (const QString &extension : extensions) {
        QString e = extension.mid(extension.startsWith(u'.') ? 1 : 0).toLower();
        bool usable = !e.isEmpty() && !e.startsWith(u'.') && QStringView(e).isValidUtf16();
        for (const QChar c : e)
            if (c == u';' || c == u'[' || c == u']' || c.unicode() < 0x20 || c.unicode() == 0x7f)
                usable = false;
        if (usable && !out.contains(e))
            out.append(e);
    }
    return out;
}

} // namespace ChosenTypes
