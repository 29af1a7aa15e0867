#include "session/SearchOptionsModel.h"

#include <algorithm>

SearchOptionsModel::ColumnShortcut SearchOptionsModel::columnShortcut() const
{
    const auto &c = m_options.columns;
    if (m_options == SearchOptions{})
        return ColumnShortcut::Standard;
    if (std::all_of(c.begin(), c.end(), [](bool on) { return on; }))
        return ColumnShortcut::All;
    if (std::none_of(c.begin(), c.end(), [](bool on) { return on; }))
        return ColumnShortcut::NoColumn;
    return ColumnShortcut::Unmarked;
}

void SearchOptionsModel::setOptions(const SearchOptions &options)
{
    if (options == m_options)
        return;
    m_options = options;
    Q_EMIT optionsChanged();
}

void SearchOptionsModel::setColumn(int field, bool on)
{
    if (field < 0 || field >= TSongRecord::kFieldCount)
        return;
    SearchOptions o = m_options;
    o.columns[size_t(field)] = on;
    setOptions(o);
}

void SearchOptionsModel::setAllColumns(bool on)
{
    SearchOptions o = m_options;
    o.columns.fill(on);
    setOptions(o);
}

void SearchOptionsModel::setCaseSensitive(bool on)
{
    SearchOptions o = m_options;
    o.caseSensitive = on;
    setOptions(o);
}

void SearchOptionsModel::setExact(bool on)
{
    SearchOptions o = m_options;
    o.exact = on;
    setOptions(o);
}

void SearchOptionsModel::setInverse(bool on)
{
    SearchOptions o = m_options;
    o.inverse = on;
    setOptions(o);
}

void SearchOptionsModel::setMode(SearchMode mode)
{
    SearchOptions o = m_options;
    o.mode = mode;
    setOptions(o);
}

void SearchOptionsModel::setRegex(bool on)
{
    if (on == m_regex)
        return;
    m_regex = on;
    Q_EMIT regexChanged(on);
}
