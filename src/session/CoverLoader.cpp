#include "session/CoverLoader.h"

#include "core/picture/PictureDecode.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

CoverLoader::CoverLoader(QObject *parent) : QObject(parent), m_cache(kCacheKiB)
{
    // One job at a time: covers are asked for one song after another, and a burst of them must
    // not take every core from the playback.
    m_pool.setMaxThreadCount(1);
}

CoverLoader::~CoverLoader()
{
    m_pool.clear();
    m_pool.waitForDone();
}

QString CoverLoader::cacheKey(const Request &r)
{
    return QStringLiteral("%1|%2|%3|%4").arg(r.songPath).arg(r.maxSide).arg(int(r.folderFirst)).arg(r.artFolder);
}

void CoverLoader::request(const Request &r)
{
    const QString key = cacheKey(r);
    if (const CoverResult *cached = m_cache.object(key)) {
        // A written picture file may have been cleaned away since.
        if (cached->artFile.isEmpty() || QFileInfo::exists(cached->artFile)) {
            Q_EMIT loaded(*cached);
            return;
        }
        m_cache.remove(key);
    }
    m_pool.start([this, r, key] {
        const CoverResult result = load(r);
        QMetaObject::invokeMethod(this, [this, key, result] { deliver(key, result); }, Qt::QueuedConnection);
    });
}

void CoverLoader::deliver(const QString &key, const CoverResult &result)
{
    const qint64 kib = qint64(result.image.sizeInBytes()) / 1024 + 1;
    if (kib <= kCacheKiB)
        m_cache.insert(key, new CoverResult(result), int(kib));
    Q_EMIT loaded(result);
}

void CoverLoader::waitForJobs()
{
    m_pool.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

CoverResult CoverLoader::load(const Request &r)
{
    CoverResult out;
    out.request = r;
    out.songPath = r.songPath;
    out.choice = CoverChoice::choose(r.songPath, SongDetails::readFile(r.songPath), r.folderFirst,
                                     PictureDecode::folderImageExtensions());
    if (out.choice.from == CoverChoice::From::None)
        return out;
    QImage whole = PictureDecode::decode(out.choice.load(PictureDecode::kMaxBytes), r.artFolder.isEmpty() ? r.maxSide : 0);
    if (whole.isNull())
        return out;
    if (!r.artFolder.isEmpty()) {
        if (out.choice.from == CoverChoice::From::Folder) {
            out.artFile = out.choice.folderImage;
        } else {
            // Named by the song, so that the same song playing again finds its file.
            const QByteArray hash = QCryptographicHash::hash(r.songPath.toUtf8(), QCryptographicHash::Sha1).toHex();
            const QString file = r.artFolder + QStringLiteral("/cover-%1.png").arg(QString::fromLatin1(hash));
            QSaveFile f(file);
            if (QDir().mkpath(r.artFolder) && f.open(QIODevice::WriteOnly) && whole.save(&f, "PNG") && f.commit())
                out.artFile = file;
        }
    }
    if (r.maxSide > 0 && (whole.width() > r.maxSide || whole.height() > r.maxSide))
        whole = whole.scaled(r.maxSide, r.maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    out.image = whole;
    return out;
}
