#include "core/InstanceMessage.h"

#include "core/AddingSongs.h"

#include <QtEndian>

namespace InstanceProtocol {

namespace {

constexpr char Magic[4] = {'S', 'N', 'L', '1'};

quint32 readU32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

void appendU32(QByteArray &out, quint32 value)
{
    char le[4];
    qToLittleEndian(value, le);
    out.append(le, 4);
}

} // namespace

std::optional<QByteArray> encodeRequest(const InstanceMessage &message)
{
    const qsizetype textBytes = message.commandLine.size() * 2;
    if (textBytes > MaxCommandLineBytes)
        return std::nullopt;
    QByteArray out;
    out.reserve(HeaderBytes + textBytes);
    out.append(Magic, 4);
    appendU32(out, message.processId);
    appendU32(out, quint32(textBytes));
    for (QChar c : message.commandLine) {
        char le[2];
        qToLittleEndian(c.unicode(), le);
        out.append(le, 2);
    }
    return out;
}

qsizetype requestSize(QByteArrayView bytes)
{
    if (bytes.size() < HeaderBytes || QByteArrayView(bytes.data(), 4) != QByteArrayView(Magic, 4))
        return 0;
    const quint32 textBytes = readU32(bytes, 8);
    if (textBytes % 2 != 0 || textBytes > quint32(MaxCommandLineBytes))
        return 0;
    return HeaderBytes + qsizetype(textBytes);
}

DecodeResult decodeRequest(QByteArrayView bytes)
{
    // A beginning that already differs from the magic is garbage; no need to wait for more.
    const qsizetype magicSeen = std::min<qsizetype>(bytes.size(), 4);
    if (QByteArrayView(bytes.data(), magicSeen) != QByteArrayView(Magic, magicSeen))
        return {DecodeStatus::Invalid, {}};
    if (bytes.size() < HeaderBytes)
        return {DecodeStatus::Incomplete, {}};
    const qsizetype total = requestSize(bytes);
    if (total == 0)
        return {DecodeStatus::Invalid, {}};
    if (bytes.size() < total)
        return {DecodeStatus::Incomplete, {}};
    if (bytes.size() > total)
        return {DecodeStatus::Invalid, {}};
    InstanceMessage message;
    message.processId = readU32(bytes, 4);
    const qsizetype units = (total - HeaderBytes) / 2;
    message.commandLine.resize(units);
    QChar *text = message.commandLine.data();
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t unit = qFromLittleEndian<quint16>(bytes.data() + HeaderBytes + 2 * i);
        // No name holds a zero; the file layer would cut the name there.
        if (unit == 0)
            return {DecodeStatus::Invalid, {}};
        text[i] = QChar(unit);
    }
    return {DecodeStatus::Complete, std::move(message)};
}

QByteArray encodeReply(quint32 reply)
{
    QByteArray out;
    appendU32(out, reply);
    return out;
}

std::optional<quint32> decodeReply(QByteArrayView bytes)
{
    if (bytes.size() != 4)
        return std::nullopt;
    return readU32(bytes, 0);
}

std::optional<QString> forwardedCommandLine(const QString &programPath, const QStringList &arguments,
                                            const QString &workingFolder)
{
    const QChar quote(QLatin1Char('"'));
    QString line;
    auto append = [&](const QString &name) {
        if (name.contains(quote))
            return false;
        if (!line.isEmpty())
            line += QLatin1Char(' ');
        line += quote + name + quote;
        return true;
    };
    if (!append(programPath))
        return std::nullopt;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const bool option = i == 0 && argument == EnqueueOption;
        if (!append(option ? argument : absoluteArgument(argument, workingFolder)))
            return std::nullopt;
    }
    return line;
}

} // namespace InstanceProtocol

QStringList ParseInstanceParams(const QString &commandLine)
{
    QStringList params;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < commandLine.size(); ++i) {
        if (commandLine[i] != QLatin1Char('"'))
            continue;
        if (quoted)
            params.append(commandLine.mid(start, i - start));
        else
            start = i + 1;
        quoted = !quoted;
    }
    return params;
}
