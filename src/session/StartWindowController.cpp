#include "session/StartWindowController.h"
#include "session/UserDialogs.h"

#include "core/Errors.h"
#include "session/PlaylistController.h"

#include <QCollator>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

StartWindowController::StartWindowController(PlaylistController &playlist, UserDialogs &dialogs, QObject *parent)
    : QObject(parent), m_playlist(playlist), m_dialogs(dialogs)
{
    m_locale.setNumberOptions(QLocale::OmitGroupSeparator);
}

QString StartWindowController::sizeText(qint64 bytes, QLocale locale)
{
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const double kilobytes = double(bytes) / 1024.0;
    const double magnitude = std::fabs(kilobytes);
    // Eight significant digits: above 99999 KB the last decimals are given up, above eight
    // digits before the point the number is written with an exponent.
    int integerDigits = 1;
    for (double limit = 10.0; magnitude >= limit && integerDigits <= 8; limit *= 10.0)
        ++integerDigits;
    QString number;
    if (integerDigits > 8) {
        number = locale.toString(kilobytes, 'E', 7);
    } else {
        const double scale = std::pow(10.0, std::min(3, 8 - integerDigits));
        number = locale.toString(std::round(kilobytes * scale) / scale, 'f', 3);
    }
    return number + QStringLiteral(" KB");
}

qint64 StartWindowController::fileSize(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.size() : -1;
}

void StartWindowController::FormShow()
{
    m_rows.clear();
    for (const QString &path : m_playlist.PlaylistFolderList())
        m_rows.append(Row{QFileInfo(path).fileName(), path, sizeText(fileSize(path), m_locale)});
    Q_EMIT rowsChanged();
}

void StartWindowController::FormClose()
{
    m_playlist.clearPlaylistFolderList();
}

bool StartWindowController::isOpen() const
{
    return !m_playlist.PlaylistFolderList().isEmpty();
}

void StartWindowController::stammordnerColumnClick(int column)
{
    if (column < 0 || column > 2)
        return;
    StartSortColumn = column;
    StartSortDescending = column == m_lastSortColumn ? !StartSortDescending : false;
    m_lastSortColumn = column;

    QCollator collator(m_locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // The size column compares what it shows, read back as a number.
    const QString unit = QStringLiteral(" KB");
    auto kilobytes = [&](const Row &r) {
        QString text = r.size;
        if (text.endsWith(unit))
            text.chop(unit.size());
        return m_locale.toDouble(text);
    };
    auto compare = [&](const Row &a, const Row &b) -> int {
        switch (StartSortColumn) {
        case 0:
            return collator.compare(a.name, b.name);
        case 1:
            return collator.compare(a.path, b.path);
        default: {
            const double x = kilobytes(a);
            const double y = kilobytes(b);
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        }
    };
    // Descending reverses the comparison, not the list: rows that compare equal keep their order.
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Row &a, const Row &b) {
        const int c = compare(a, b);
        return StartSortDescending ? c > 0 : c < 0;
    });
    Q_EMIT rowsChanged();
}

void StartWindowController::load(QList<int> rows)
{
    // The list's current order, whatever order the selection was made in.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QStringList files;
    for (int row : rows)
        if (row >= 0 && row < m_rows.size())
            files.append(m_rows[row].path);
    try {
        m_playlist.loadPlaylists(files);
    } catch (const SonaloError &e) {
        // What was loaded before stays; the window stays open for another choice.
        m_dialogs.showError(nullptr, e.message());
        return;
    }
    close();
}

void StartWindowController::close()
{
    FormClose();
    Q_EMIT closeRequested();
}

void StartWindowController::Button5Click()
{
    QList<int> all;
    for (int i = 0; i < m_rows.size(); ++i)
        all.append(i);
    load(all);
}

void StartWindowController::Button1Click(const QList<int> &selectedRows)
{
    if (canLoadSelected(selectedRows))
        load(selectedRows);
}

void StartWindowController::stammordnerDblClick(const QList<int> &selectedRows)
{
    if (!canLoadSelected(selectedRows))
        return;
    load({*std::min_element(selectedRows.begin(), selectedRows.end())});
}

void StartWindowController::Button4Click()
{
    close();
    m_playlist.mp1Click();
}

void StartWindowController::Button3Click()
{
    close();
    m_playlist.mp4Click();
}

void StartWindowController::Button2Click()
{
    close();
}
