#pragma once

#include "tags/CoverChoice.h"

#include <QCache>
#include <QImage>
#include <QObject>
#include <QString>
#include <QThreadPool>

// What a cover is asked for.
struct CoverRequest
{
    QString songPath;
    int maxSide = 0;         // the image fits this square (0: as it is)
    bool folderFirst = false;
    QString artFolder;       // when given: an embedded picture is written here as PNG
};

// A song's cover as it is shown: where it came from, the picture scaled to fit, and for the
// desktop's media controls a file holding the picture whole (the folder image itself, or the
// embedded one written out as PNG).
struct CoverResult
{
    // What was asked: several views share one loader and take only the answers to their own.
    CoverRequest request;
    QString songPath;
    CoverChoice choice;
    QImage image;    // null: nothing to show (no picture, or a broken, huge or lying one)
    QString artFile; // empty unless asked for and there is a picture
};

// Reads and decodes covers off the window thread, one at a time, within the byte and pixel
// limits of PictureDecode, and keeps the last ones in a cache bounded by their pixels.
class CoverLoader : public QObject
{
    Q_OBJECT
public:
    using Request = CoverRequest;

    explicit CoverLoader(QObject *parent = nullptr);
    ~CoverLoader() override;

    // The answer comes as loaded(): at once from the cache, else once the job has run.
    void request(const Request &r);
    // What a job does, on the calling thread.
    static CoverResult load(const Request &r);
    // Waits until every job asked for so far has delivered its answer (tests, shutdown).
    void waitForJobs();

    // The cache's bound, in KiB of decoded pixels.
    static constexpr int kCacheKiB = 48 * 1024;

Q_SIGNALS:
    void loaded(const CoverResult &result);

private:
    static QString cacheKey(const Request &r);
    void deliver(const QString &key, const CoverResult &result);

    QThreadPool m_pool;
    QCache<QString, CoverResult> m_cache;
};
