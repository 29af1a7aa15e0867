#include "core/SongSearch.h"

#include "core/KeepAlive.h"
#include "core/TextFold.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <memory>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

void buildHaystack(QString &hay, const TSongRecord &song, const SearchOptions &o, bool upper)
{
    hay.resize(0);
    hay += kCrLf;
    for (int f = 0; f < TSongRecord::kFieldCount; ++f) {
        if (!o.columns[size_t(f)])
            continue;
        if (upper)
            appendSimpleUpper(hay, song.field(f));
        else
            hay += song.field(f);
        hay += kCrLf;
    }
}

struct Pcre2Deleter
{
    void operator()(pcre2_code_16 *p) const { pcre2_code_free_16(p); }
    void operator()(pcre2_match_data_16 *p) const { pcre2_match_data_free_16(p); }
    void operator()(pcre2_match_context_16 *p) const { pcre2_match_context_free_16(p); }
    void operator()(pcre2_compile_context_16 *p) const { pcre2_compile_context_free_16(p); }
    void operator()(pcre2_jit_stack_16 *p) const { pcre2_jit_stack_free_16(p); }
};
template <typename T>
using Pcre2Ptr = std::unique_ptr<T, Pcre2Deleter>;

// Bounds for typed patterns, so that catastrophic backtracking ends in an error, not a hang.
constexpr uint32_t kMatchLimit = 5'000'000;
constexpr uint32_t kDepthLimit = 50'000;

SearchOutcome regexSearch(const SongList &songs, const QString &term, const SearchOptions &o, KeepAlive &alive)
{
    SearchOutcome out;
    QString pattern = o.exact ? QLatin1Char('^') + term + QLatin1Char('$') : term;
    if (o.caseSensitive)
        pattern.prepend(QStringLiteral("(?-i)"));

    Pcre2Ptr<pcre2_compile_context_16> cctx(pcre2_compile_context_create_16(nullptr));
    pcre2_set_newline_16(cctx.get(), PCRE2_NEWLINE_ANYCRLF);
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    Pcre2Ptr<pcre2_code_16> code(pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(pattern.utf16()), PCRE2_SIZE(pattern.size()),
                                                  PCRE2_CASELESS | PCRE2_MULTILINE | PCRE2_DOTALL | PCRE2_UTF
                                                      | PCRE2_MATCH_INVALID_UTF,
                                                  &error, &errorOffset, cctx.get()));
    if (!code) {
        out.ok = false;
        out.errorCode = regexErrorCodeFromPcre2(error);
        return out;
    }
    const bool jit = pcre2_jit_compile_16(code.get(), PCRE2_JIT_COMPLETE) == 0;
    Pcre2Ptr<pcre2_match_data_16> data(pcre2_match_data_create_from_pattern_16(code.get(), nullptr));
    Pcre2Ptr<pcre2_match_context_16> mctx(pcre2_match_context_create_16(nullptr));
    pcre2_set_match_limit_16(mctx.get(), kMatchLimit);
    pcre2_set_depth_limit_16(mctx.get(), kDepthLimit);
    Pcre2Ptr<pcre2_jit_stack_16> stack;
    if (jit) {
        stack.reset(pcre2_jit_stack_create_16(32 * 1024, 1024 * 1024, nullptr));
        pcre2_jit_stack_assign_16(mctx.get(), nullptr, stack.get());
    }

    QString hay;
    for (qsizetype i = 0; i < songs.size(); ++i) {
        alive.tick();
        buildHaystack(hay, songs[i], o, false);
        const int rc = pcre2_match_16(code.get(), reinterpret_cast<PCRE2_SPTR16>(hay.utf16()), PCRE2_SIZE(hay.size()), 0, 0,
                                      data.get(), mctx.get());
        if (rc < 0 && rc != PCRE2_ERROR_NOMATCH) {
            // Match or depth limit: report it rather than silently call it "no match".
            out.ok = false;
            out.errorCode = regexErrorCodeFromPcre2(rc);
            out.matches.clear();
            return out;
        }
        if ((rc >= 0) != o.inverse)
            out.matches.append(i);
    }
    return out;
}

SearchOutcome plainSearch(const SongList &songs, const QString &term, const SearchOptions &o, KeepAlive &alive)
{
    SearchOutcome out;
    const bool upper = !o.caseSensitive;
    auto prepare = [&](const QString &word) {
        QString needle = o.exact ? kCrLf + word + kCrLf : word;
        return upper ? simpleUpper(needle) : needle;
    };
    QStringList needles;
    if (o.mode == SearchMode::WholeTerm) {
        needles << prepare(term);
    } else {
        for (const QString &word : term.split(QLatin1Char(' ')))
            needles << (word.isEmpty() ? QString() : prepare(word)); // an empty word is never found
    }
    QString hay;
    for (qsizetype i = 0; i < songs.size(); ++i) {
        alive.tick();
        buildHaystack(hay, songs[i], o, upper);
        auto found = [&](const QString &needle) { return !needle.isEmpty() && QStringView(hay).contains(needle); };
        bool match = false;
        switch (o.mode) {
        case SearchMode::WholeTerm:
            match = QStringView(hay).contains(needles.front());
            break;
        case SearchMode::And:
            match = std::all_of(needles.cbegin(), needles.cend(), found);
            break;
        case SearchMode::Or:
            match = std::any_of(needles.cbegin(), needles.cend(), found);
            break;
        }
        if (match != o.inverse)
            out.matches.append(i);
    }
    return out;
}

} // namespace


SearchOutcome searchSongs(const SongList &songs, const QString &term, const SearchOptions &options, bool regex,
                          const std::function<void()> &keepAlive)
{
    KeepAlive alive(keepAlive);
    return regex ? regexSearch(songs, term, options, alive) : plainSearch(songs, term, options, alive);
}

int regexErrorCodeFromPcre2(int e)
{
    switch (e) {
    case 0:
        return 0;
    case PCRE2_ERROR_NULL_PATTERN:
        return 100;
    case PCRE2_ERROR_PATTERN_TOO_LARGE:
    case PCRE2_ERROR_PATTERN_STRING_TOO_LONG:
    case PCRE2_ERROR_PATTERN_TOO_COMPLICATED:
    case PCRE2_ERROR_HEAP_FAILED:
    case PCRE2_ERROR_MATCHLIMIT:
    case PCRE2_ERROR_DEPTHLIMIT:
    case PCRE2_ERROR_HEAPLIMIT:
    case PCRE2_ERROR_JIT_STACKLIMIT:
    case PCRE2_ERROR_NOMEMORY:
        return 101; // "RegExp Too Big"
    case PCRE2_ERROR_TOO_MANY_CAPTURES:
    case PCRE2_ERROR_PARENTHESES_NEST_TOO_DEEP:
    case PCRE2_ERROR_PARENTHESES_STACK_CHECK:
        return 102; // "Too Many ()"
    case PCRE2_ERROR_MISSING_CLOSING_PARENTHESIS:
        return 103; // "Unmatched ()"
    case PCRE2_ERROR_UNMATCHED_CLOSING_PARENTHESIS:
        return 104; // "Unmatched ()"
    case PCRE2_ERROR_INVALID_HEXADECIMAL:
        return 108; // "Bad Hex Digit"
    case PCRE2_ERROR_CLASS_RANGE_ORDER:
    case PCRE2_ERROR_CLASS_INVALID_RANGE:
        return 109; // "Invalid [] Range"
    case PCRE2_ERROR_END_BACKSLASH:
    case PCRE2_ERROR_END_BACKSLASH_C:
        return 110; // "Trailing \"
    case PCRE2_ERROR_MISSING_OCTAL_OR_HEX_DIGITS:
        return 111; // "No Hex Code After \x"
    case PCRE2_ERROR_CODE_POINT_TOO_BIG:
    case PCRE2_ERROR_BACKSLASH_U_CODE_POINT_TOO_BIG:
        return 112; // "Hex Code After \x Too Big"
    case PCRE2_ERROR_MISSING_SQUARE_BRACKET:
        return 113; // "Unmatched []"
    case PCRE2_ERROR_QUANTIFIER_INVALID:
        return 115; // "?+*{ Follows Nothing"
    case PCRE2_ERROR_QUANTIFIER_TOO_BIG:
        return 122; // "Braces Argument Too Big"
    case PCRE2_ERROR_QUANTIFIER_OUT_OF_ORDER:
        return 124; // "Brace Min Param Greater then Max"
    case PCRE2_ERROR_MISSING_COMMENT_CLOSING:
        return 125; // "Unclosed (?#Comment)"
    case PCRE2_ERROR_INVALID_AFTER_PARENS_QUERY:
    case PCRE2_ERROR_BAD_LITERAL_OPTIONS:
    case PCRE2_ERROR_INVALID_HYPHEN_IN_OPTIONS:
        return 127; // "Urecognized Modifier"
    default:
        return -1;  // "Unknown Error"
    }
}

QString RegexErrorText(int code, const LanguageCode &lang)
{
    struct Text { int code; const char *de; const char *en; };
    static const Text kTexts[] = {
        {0, "Keine Fehler", "No Errors"},
        {100, "Null Argument", "Null Argument"},
        {101, "RegExp zu lang", "RegExp Too Big"},
        {102, "Zu viele ()", "Too Many ()"},
        {103, "Fehlende Klammer ()", "Unmatched ()"},
        {104, "Fehlende Klammer ()", "Unmatched ()"},
        {105, "Fehlerhaftes Ende", "Junk On End"},
        {106, "*+ Operant kann leer sein", "*+ Operand Could Be Empty"},
        {107, "Verschachteltes *?+", "Nested *?+"},
        {108, "Falsche HEX Zahl", "Bad Hex Digit"},
        {109, "Invalide Menge []", "Invalid [] Range"},
        {110, "Abschließendes \\", "Trailing \\"},
        {116, "Abschließendes \\", "Trailing \\"},
        {111, "Kein HEX Code nach \\x", "No Hex Code After \\x"},
        {112, "HEX Code nach \\x zu groß", "Hex Code After \\x Too Big"},
        {113, "Fehlende Klammer []", "Unmatched []"},
        {114, "Internal Urp", "Internal Urp"},
        {115, "?+*{ folgt nichts", "?+*{ Follows Nothing"},
        {119, "RarseAtom Internal Disaster", "RarseAtom Internal Disaster"},
        {122, "Quantor {} zu groß", "Braces Argument Too Big"},
        {124, "Min-Quantor größer als Max-Quantor", "Brace Min Param Greater then Max"},
        {125, "Ungeschlossener (?#Kommentar)", "Unclosed (?#Comment)"},
        {127, "Unbekannter Modifikator", "Urecognized Modifier"},
        {128, "LinePairedSeparator muss zwei verschiedene oder kein Char enthalten",
         "LinePairedSeparator must countain two different chars or no chars at all"},
    };
    const bool english = lang.isEn();
    for (const Text &t : kTexts)
        if (t.code == code)
            return QString::fromUtf8(english ? t.en : t.de);
    return english ? QStringLiteral("Unknown Error") : QStringLiteral("Unbekannter Fehler");
}
