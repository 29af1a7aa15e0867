#include "core/ResumePoint.h"

#include "core/FileSystem.h"

#include <QFile>
#include <QSaveFile>
#include <QUrl>

#include <limits>

namespace {

QByteArray text(const QString &value)
{
    return QUrl::toPercentEncoding(value);
}

// A decimal number in [low, high]; nothing else.
template <typename T> bool number(QByteArrayView value, T low, T high, T &out)
{
    bool ok = false;
    const qlonglong n = value.toLongLong(&ok);
    if (!ok || n < qlonglong(low) || n > qlonglong(high))
        return false;
    out = T(n);
    return true;
}

} // namespace

QByteArray ResumePoint::encode() const
{
    QByteArray out;
    out += "song=" + text(songPath) + '\n';
    out += "position=" + QByteArray::number(position) + '\n';
    out += "sortcolumn=" + QByteArray::number(sortColumn) + '\n';
    out += "sortdescending=" + QByteArray(sortDescending ? "1" : "0") + '\n';
    out += "search=" + text(searchTerm) + '\n';
    out += "toprow=" + QByteArray::number(topRow) + '\n';
    return out;
}

ResumePoint ResumePoint::decode(QByteArrayView bytes)
{
    ResumePoint p;
    bytes = bytes.first(std::min(bytes.size(), kMaxBytes));
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView line = bytes.sliced(start, end - start);
        start = end + 1;
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArrayView key = line.first(eq);
        const QByteArrayView value = line.sliced(eq + 1);
        if (key == "song")
            p.songPath = QUrl::fromPercentEncoding(value.toByteArray());
        else if (key == "search")
            p.searchTerm = QUrl::fromPercentEncoding(value.toByteArray());
        else if (key == "position")
            number<qint64>(value, 0, std::numeric_limits<qint64>::max(), p.position);
        else if (key == "sortcolumn") {
            int column = -1;
            if (number(value, 1, kMaxColumn, column))
                p.sortColumn = column;
        } else if (key == "sortdescending")
            p.sortDescending = value == "1";
        else if (key == "toprow")
            number(value, 0, std::numeric_limits<int>::max(), p.topRow);
    }
    return p;
}

bool ResumePoint::write(const QString &file) const
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(encode());
    return out.commit();
}

ResumePoint ResumePoint::read(const QString &file)
{
    // A pipe or a device there would block or never end.
    QFile in(file);
    if (!FileSystem::isRegularFile(file) || !in.open(QIODevice::ReadOnly))
        return {};
    return decode(in.read(kMaxBytes));
}
