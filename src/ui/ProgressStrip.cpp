#include "ui/ProgressStrip.h"

#include "core/LanguageCode.h"
#include "session/LongStepProgress.h"
#include "ui/LanguageTexts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>

#include <limits>

ProgressStrip::ProgressStrip(LongStepProgress &progress, const LanguageCode &lang, QWidget *parent)
    : QWidget(parent), m_progress(progress), m_lang(lang)
{
    setObjectName(QStringLiteral("progressStrip"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("step_text"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("step_bar"));
    m_bar->setTextVisible(false);
    m_bar->setMaximumWidth(200);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("step_cancel"));
    layout->addWidget(m_text, 1);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancel);
    connect(m_cancel, &QPushButton::clicked, &m_progress, &LongStepProgress::cancel);
    connect(&m_progress, &LongStepProgress::started, this, &ProgressStrip::started);
    connect(&m_progress, &LongStepProgress::progressed, this, &ProgressStrip::showStep);
    connect(&m_progress, &LongStepProgress::cancelRequestedChanged, this, &ProgressStrip::showStep);
    connect(&m_progress, &LongStepProgress::finished, this, &ProgressStrip::finished);
    // A step's pump: paints and takes the input this strip lets through (Cancel, Esc).
    m_progress.setPump([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
    sprache();
    hide();
}

QString ProgressStrip::text(const char *component) const
{
    QString out;
    if (const UiText *t = LanguageTexts::find(LanguageTexts::longSteps(), component))
        LanguageTexts::routineText(*t, m_lang, out);
    return out;
}

void ProgressStrip::sprache()
{
    m_cancel->setText(text("step_cancel"));
    if (m_progress.running())
        showStep();
}

void ProgressStrip::showStep()
{
    QString what;
    if (m_progress.cancelRequested())
        what = text("step_cancelling");
    else if (m_progress.step() == LongStepProgress::Step::Adding)
        what = text("step_adding").arg(QLocale(m_lang.isDe() ? QLocale::German : QLocale::English).toString(m_progress.done()));
    else
        what = text("step_searching");
    m_text->setText(what);
    const qint64 total = m_progress.total();
    if (total > 0 && total <= std::numeric_limits<int>::max()) {
        m_bar->setRange(0, int(total));
        m_bar->setValue(int(std::min(m_progress.done(), total)));
    } else {
        m_bar->setRange(0, 0); // moving: the length is not known
    }
    m_cancel->setVisible(m_progress.cancellable());
    m_cancel->setEnabled(!m_progress.cancelRequested());
}

void ProgressStrip::started()
{
    showStep();
    show();
    if (parentWidget())
        parentWidget()->show();
    qApp->installEventFilter(this);
    repaint();
}

void ProgressStrip::finished()
{
    qApp->removeEventFilter(this);
    hide();
    if (parentWidget())
        parentWidget()->hide();
}

bool ProgressStrip::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        break;
    default:
        return false;
    }
    // Every window of the program: the step reads the lists and the search options, which the
    // options window or the add-folder dialog would change under it. A message box the step
    // raises (a modal dialog) takes its input as ever.
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return false;
    if (QWidget *modal = QApplication::activeModalWidget();
        modal && modal != window() && (modal == widget || modal->isAncestorOf(widget)))
        return false;
    if (widget == m_cancel && event->type() != QEvent::ShortcutOverride)
        return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        m_progress.cancel();
    // Taken here: no key of the window's menus fires, nothing else is clicked or dropped on.
    const QEvent::Type type = event->type();
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)
        event->ignore(); // refused, not taken
    else
        event->accept();
    return true;
}
