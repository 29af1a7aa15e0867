#pragma once

#include "core/LanguageCode.h"

#include "core/SongRecord.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <functional>

enum class SearchMode { WholeTerm, And, Or };

// The one set of search settings that the options panel and the options window both show.
// The regular-expression switch is not part of it (it is neither stored nor reset).
struct SearchOptions
{
    // Artist, Title, Length, Album, Track, Year, Genre, Path.
    std::array<bool, TSongRecord::kFieldCount> columns{true, true, false, true, false, false, false, false};
    bool caseSensitive = false;
    bool exact = false;
    bool inverse = false;
    SearchMode mode = SearchMode::WholeTerm;

    bool operator==(const SearchOptions &) const = default;
};

struct SearchOutcome
{
    bool ok = true;
    int errorCode = 0;            // the regular-expression error code of the error texts
    QList<qsizetype> matches;     // indices into the searched list, in list order
};

// Searches every song of the list for the term under the options; regex selects the
// regular-expression rule. Never throws; a rejected pattern gives ok = false and its code.
// keepAlive, when given, runs while a long list is searched (see KeepAlive); what it throws
// ends the search and passes out (the list is only read).
SearchOutcome searchSongs(const SongList &songs, const QString &term, const SearchOptions &options, bool regex,
                          const std::function<void()> &keepAlive = {});


// The error code of the texts for a PCRE2 error code.
int regexErrorCodeFromPcre2(int pcre2Error);
// The message for an error code: English for "en", German for every other code.
QString RegexErrorText(int code, const LanguageCode &lang);
