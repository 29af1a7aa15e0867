#include "session/TxtExportController.h"

#include "core/Errors.h"
#include "core/TextEncoding.h"
#include "session/SaveTexts.h"
#include "session/UserDialogs.h"

#include <QClipboard>
#include <QGuiApplication>

int TxtExportController::expandedHeight(Panel panel)
{
    switch (panel) {
    case Panel::Einghilfe: return 78;
    case Panel::Filter: return 107;
    case Panel::Suchen: return 56;
    case Panel::Einst: return 65;
    case Panel::Html: break;
    }
    return kCollapsedHeight; // the HTML box has nothing to show
}

TxtExportController::TxtExportController(const SongLists &lists, const OutputSettings &output,
                                         const LanguageCode &lang, UserDialogs &dialogs, QObject *parent)
    : QObject(parent), m_lists(lists), m_outputSettings(output), m_lang(lang), m_dialogs(dialogs)
{
    LocalSpr();
}

bool TxtExportController::panelOpen(Panel panel) const
{
    switch (panel) {
    case Panel::Einghilfe: return m_einghilfe;
    case Panel::Filter: return m_options.useFilter;
    case Panel::Suchen: return m_options.findReplace;
    case Panel::Html: return m_options.html;
    case Panel::Einst: return m_einst;
    }
    return false;
}

int TxtExportController::panelHeight(Panel panel) const
{
    return panelOpen(panel) ? expandedHeight(panel) : kCollapsedHeight;
}

void TxtExportController::LocalSpr()
{
    // The routine leaves other codes than "de" and "en" alone.
    if (!m_lang.isDe() && !m_lang.isEn())
        return;
    m_options.templateText = m_lang.isDe() ? QStringLiteral("%interpret% - %titel%") : QStringLiteral("%artist% - %title%");
    m_history = {m_lang.isDe()
                     ? QString::fromUtf16(u"%interpret%%tab%%titel%%tab%%länge%%tab%%album%%tab%%track%%tab%%jahr%%tab%%genre%")
                     : QStringLiteral("%artist%%tab%%title%%tab%%length%%tab%%album%%tab%%track%%tab%%year%%tab%%genre%")};
    Q_EMIT stateChanged();
}

void TxtExportController::setTemplateText(const QString &text)
{
    if (text == m_options.templateText)
        return;
    m_options.templateText = text;
    AutoUpdate();
}

void TxtExportController::setFilterText(const QString &text)
{
    m_options.filterText = text;
    AutoUpdate();
}

void TxtExportController::setFindText(const QString &text)
{
    m_options.findText = text;
    AutoUpdate();
}

void TxtExportController::setReplaceText(const QString &text)
{
    m_options.replaceText = text;
    AutoUpdate();
}

void TxtExportController::setFilterColumn(int column, bool on)
{
    if (column < 0 || column >= TSongRecord::kFieldCount)
        return;
    m_options.filterColumns[size_t(column)] = on;
    AutoUpdate();
}

void TxtExportController::setSort(bool on)
{
    m_options.sort = on;
    AutoUpdate();
}

void TxtExportController::setUnique(bool on)
{
    m_options.unique = on;
    AutoUpdate();
}

void TxtExportController::setRemoveEmpty(bool on)
{
    m_options.removeEmpty = on;
    AutoUpdate();
}

void TxtExportController::setLeadingZeros(bool on)
{
    m_options.leadingZeros = on;
    AutoUpdate();
}

void TxtExportController::setPanel(Panel panel, bool on)
{
    switch (panel) {
    case Panel::Einghilfe: m_einghilfe = on; break;
    case Panel::Einst: m_einst = on; break;
    case Panel::Filter: m_options.useFilter = on; break;
    case Panel::Suchen: m_options.findReplace = on; break;
    case Panel::Html: m_options.html = on; break;
    }
    Q_EMIT stateChanged();
    if (panel != Panel::Einghilfe && panel != Panel::Einst)
        AutoUpdate();
}

void TxtExportController::setOutputText(const QString &boxText)
{
    m_output = outputLinesOf(boxText);
}

void TxtExportController::formstrKeyPress()
{
    SchreibenClick();
}

void TxtExportController::CaptionAdden(const QString &placeholder)
{
    m_options.templateText += placeholder;
    Q_EMIT stateChanged();
    AutoUpdate();
}

void TxtExportController::Button9Click()
{
    m_options.templateText += m_edtxt;
    Q_EMIT stateChanged();
    AutoUpdate();
}

void TxtExportController::Button12Click()
{
    m_options.templateText.clear();
    Q_EMIT stateChanged();
    if (m_autoUpdate) {
        m_output.clear();
        Q_EMIT outputChanged();
    }
}

void TxtExportController::rb_alleClick(bool on)
{
    m_options.filterColumns.fill(on);
    Q_EMIT stateChanged();
    AutoUpdate();
}

void TxtExportController::AutoUpdate()
{
    if (m_autoUpdate)
        SchreibenClick();
}

void TxtExportController::SchreibenClick()
{
    if (!m_history.contains(m_options.templateText)) {
        m_history.append(m_options.templateText);
        Q_EMIT stateChanged();
    }
    // A million songs take seconds: the lines are made from copies on a worker. A Cancel keeps
    // the output box as it was.
    const std::function<QStringList()> make = [songs = m_lists.AllSongs(), options = m_options, current = m_output,
                                               replaceOld = m_replaceOld] {
        return exportOutput(current, buildExportLines(songs, options), options.html, replaceOld);
    };
    std::optional<QStringList> lines = runInBackground(make, watchFor(SaveTexts::writingList(m_lang)));
    if (!lines)
        return;
    m_output = std::move(*lines);
    Q_EMIT outputChanged();
}

void TxtExportController::DelOutputClick()
{
    m_output.clear();
    Q_EMIT outputChanged();
}

void TxtExportController::Button14Click()
{
    // One Unicode form serves every program that pastes text here.
    QGuiApplication::clipboard()->setText(m_output.join(QLatin1Char('\n')));
}

QString TxtExportController::presetFileName() const
{
    const QString base = m_lang.text(u"Musikliste", u"Music List");
    return base + (m_options.html ? QLatin1String(".htm") : QLatin1String(".txt"));
}

QString TxtExportController::saveFilter()
{
    return QStringLiteral("Text, HTML (*.txt *.htm *.html)");
}

void TxtExportController::SpeichernClick(QWidget *parent)
{
    const QString chosen = m_dialogs.saveFileNameAs(parent, saveFilter(), presetFileName());
    if (chosen.isEmpty())
        return;
    const QString target = exportFileName(chosen, m_options.html);
    if (!confirmOverwrite(m_dialogs, parent, m_lang, target))
        return;
    const std::function<QByteArray()> make = [lines = m_output, target, encoding = m_outputSettings.OutputEncoding,
                                              style = m_outputSettings.picture] {
        return checkedTextFileBytes(exportFileText(lines), target, encoding, style);
    };
    try {
        if (writeInBackground(target, make, watchFor(SaveTexts::saving(m_lang, target))) == WriteOutcome::Cancelled)
            m_dialogs.showMessage(parent, SaveTexts::notSaved(m_lang, target));
    } catch (const PictureRefused &refused) {
        m_dialogs.showError(parent, SaveTexts::pictureTooLarge(m_lang, refused.size));
    } catch (const SonaloError &e) {
        m_dialogs.showError(parent, e.message());
    }
}
