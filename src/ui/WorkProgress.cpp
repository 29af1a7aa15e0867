#include "ui/WorkProgress.h"

#include "core/LanguageCode.h"
#include "session/SaveTexts.h"
#include "session/WindowKeepAlive.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>

#include <memory>

namespace {

// A step shorter than this shows nothing but the paint going on.
constexpr qint64 kShowAfterMs = 250;

class ProgressShown
{
public:
    ProgressShown(QWidget *owner, const LanguageCode &lang, const QString &what)
        : m_owner(owner), m_lang(lang), m_what(what)
    {
        m_clock.start();
    }
    ~ProgressShown() { delete m_dialog.data(); }
    ProgressShown(const ProgressShown &) = delete;
    ProgressShown &operator=(const ProgressShown &) = delete;

    bool tick(double done)
    {
        if (!m_dialog && m_clock.elapsed() >= kShowAfterMs)
            open();
        if (!m_dialog) {
            keepWindowAlive();
            return true;
        }
        if (done < 0) {
            m_dialog->setRange(0, 0);
        } else {
            m_dialog->setRange(0, 1000);
            m_dialog->setValue(int(done * 1000));
        }
        // Modal: of the user's input only the progress window's Cancel gets through.
        QCoreApplication::processEvents();
        return !m_dialog->wasCanceled();
    }

private:
    void open()
    {
        auto *dialog = new QProgressDialog(m_what, SaveTexts::cancel(m_lang), 0, 0, m_owner);
        dialog->setObjectName(QStringLiteral("workProgress"));
        dialog->setWindowTitle(SaveTexts::progressTitle(m_lang));
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->setMinimumDuration(0);
        dialog->setMinimumWidth(360);
        dialog->show();
        m_dialog = dialog;
    }

    QPointer<QWidget> m_owner;
    const LanguageCode &m_lang;
    QString m_what;
    QElapsedTimer m_clock;
    QPointer<QProgressDialog> m_dialog;
};

} // namespace

WorkWatchMaker progressWatches(QWidget *owner, const LanguageCode &lang)
{
    return [owner = QPointer<QWidget>(owner), &lang](const QString &what) -> WorkWatch {
        auto shown = std::make_shared<ProgressShown>(owner.data(), lang, what);
        return [shown](double done) { return shown->tick(done); };
    };
}
