#pragma once

#include "core/SongSearch.h"

#include <QObject>

// The one set of search settings of the main window, shown by the options panel and by the
// options window at once: both observe this object, so a change made in either shows in both.
// The regular-expression switch sits beside the set: the check box of the search bar and its
// menu item follow it, and "Standard" leaves it alone.
class SearchOptionsModel : public QObject
{
    Q_OBJECT
public:
    explicit SearchOptionsModel(QObject *parent = nullptr) : QObject(parent) {}

    const SearchOptions &options() const { return m_options; }
    bool regex() const { return m_regex; }

    // Which of the three column shortcuts ("Alle Spalten", "Keine Spalte", "Standard") the set
    // is now: the mark both views show and the settings file stores.
    enum class ColumnShortcut { Unmarked, All, NoColumn, Standard };
    ColumnShortcut columnShortcut() const;

    void setOptions(const SearchOptions &options);
    // field: 0 Artist ... 7 Path.
    void setColumn(int field, bool on);
    void setAllColumns(bool on);
    void setCaseSensitive(bool on);
    void setExact(bool on);
    void setInverse(bool on);
    void setMode(SearchMode mode);
    // Every setting of the set to its start value, criteria included.
    void resetToStart() { setOptions(SearchOptions{}); }
    void setRegex(bool on);

Q_SIGNALS:
    void optionsChanged();
    void regexChanged(bool on);

private:
    SearchOptions m_options;
    bool m_regex = false;
};
