#include "cli/EncodingNames.h"

namespace {

struct Named
{
    const char *name;
    TTextEncoding encoding;
};

constexpr Named kNames[] = {
    {"ansi", TTextEncoding::teAnsi},         {"utf7", TTextEncoding::teUtf7},
    {"utf7-ansi", TTextEncoding::teUtf7AsAnsi}, {"utf8", TTextEncoding::teUtf8},
    {"utf16le", TTextEncoding::teUtf16LE},   {"utf16be", TTextEncoding::teUtf16BE},
    {"utf32le", TTextEncoding::teUtf32LE},   {"utf32be", TTextEncoding::teUtf32BE},
};

} // namespace

std::optional<TTextEncoding> textEncodingFromName(const QString &name)
{
    for (const Named &n : kNames)
        if (name.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return n.encoding;
    return std::nullopt;
}

QStringList textEncodingNames()
{
    QStringList names;
    for (const Named &n : kNames)
        names << QLatin1String(n.name);
    return names;
}
