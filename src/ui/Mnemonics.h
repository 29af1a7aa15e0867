#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QAction;

// Access keys for menus: Alt and the underlined letter open a menu of the bar, the letter alone
// picks an item of an open menu. The shown text stays the caption; only the underline is new.
namespace Mnemonics {

// One menu level's texts (as actions hold them: "&&" shows "&") with an access key each, in
// order: the first free letter that starts a word, else any free letter or digit (free: not
// taken on this level, whatever its case); a caption with none free stays without. Texts that
// already hold a marker are marked afresh.
QStringList assign(const QStringList &captions);

// The text a menu shows for a marked caption: the markers removed, "&&" read as "&".
QString visibleText(const QString &text);

// Marks the actions of one menu level (separators skipped) and, below them, their submenus.
void applyTo(const QList<QAction *> &level);

} // namespace Mnemonics
