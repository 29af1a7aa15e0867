#pragma once

#include "core/LanguageCode.h"
#include "core/OutputSettings.h"
#include "core/SongLists.h"
#include "export/ListWriter.h"
#include "session/BackgroundWrite.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;
class UserDialogs;

// The export window's state and commands without the window: the template and its history,
// the boxes, and the output box's lines. Every write reads AllSongs, the whole playlist, also
// while the table shows a search result. The window shows the state and forwards its controls'
// changes here; after a change the list is written again when auto update is on.
class TxtExportController : public QObject
{
    Q_OBJECT
public:
    // The panels that a check box opens, and their heights in pixels.
    enum class Panel { Einghilfe, Filter, Suchen, Html, Einst };
    static constexpr int kCollapsedHeight = 18;
    static int expandedHeight(Panel panel);

    TxtExportController(const SongLists &lists, const OutputSettings &output, const LanguageCode &lang,
                        UserDialogs &dialogs, QObject *parent = nullptr);

    // What writing the list and saving it run while their worker works: the window's progress
    // with Cancel. Empty: both run on the calling thread.
    void setWorkWatches(WorkWatchMaker watches) { m_watches = std::move(watches); }

    // What the boxes say; setters of the boxes below keep it.
    const ExportOptions &options() const { return m_options; }
    const QString &templateText() const { return m_options.templateText; }
    const QStringList &templateHistory() const { return m_history; }
    const QString &edtxt() const { return m_edtxt; }
    bool replaceOld() const { return m_replaceOld; }
    bool autoUpdate() const { return m_autoUpdate; }
    bool panelOpen(Panel panel) const;
    int panelHeight(Panel panel) const;
    // The output box, one entry per line.
    const QStringList &outputLines() const { return m_output; }

    // The language routine's part: the language's default template, and a history of the one
    // tab-separated template of that language.
    void LocalSpr();

    // Typing in the template, the filter and the find-and-replace fields.
    void setTemplateText(const QString &text);
    void setFilterText(const QString &text);
    void setFindText(const QString &text);
    void setReplaceText(const QString &text);
    void setEdtxt(const QString &text) { m_edtxt = text; }
    // Column box 0..7 of the filter (Artist .. Path).
    void setFilterColumn(int column, bool on);
    // The boxes of the settings panel.
    void setSort(bool on);
    void setUnique(bool on);
    void setReplaceOld(bool on) { m_replaceOld = on; }
    void setRemoveEmpty(bool on);
    void setAutoUpdate(bool on) { m_autoUpdate = on; }
    void setLeadingZeros(bool on);
    // The panel boxes: filter, find and replace and HTML write again; the other two only open.
    void setPanel(Panel panel, bool on);
    // Hand edits in the output box.
    void setOutputText(const QString &boxText);

    void formstrKeyPress();               // Enter in the template box: write
    void CaptionAdden(const QString &placeholder); // a placeholder button
    void Button9Click();                  // append edtxt
    void Button12Click();                 // clear the template (and the output with auto update)
    void rb_alleClick(bool on);           // all or none of the filter columns
    void AutoUpdate();
    void SchreibenClick();
    void DelOutputClick();
    void Button14Click();                 // the output to the clipboard
    // The save dialog, then the output box as it stands (hand edits included) through the text
    // writer in the output encoding. parent: the window the dialogs belong to. A picture over
    // the bounds is refused with a message before it is drawn; a Cancel says that nothing was
    // saved. Either way the file on disk stays as it was.
    void SpeichernClick(QWidget *parent = nullptr);

    // The dialog's preset name for the current language and HTML box.
    QString presetFileName() const;
    static QString saveFilter();

Q_SIGNALS:
    // The boxes or the template changed from here (language switch, "select all", a button).
    void stateChanged();
    // The output box's lines changed from here.
    void outputChanged();

private:
    const SongLists &m_lists;
    const OutputSettings &m_outputSettings;
    const LanguageCode &m_lang;
    UserDialogs &m_dialogs;
    ExportOptions m_options;
    QStringList m_history;
    QString m_edtxt = QStringLiteral(" - ");
    bool m_replaceOld = true;
    bool m_autoUpdate = true;
    bool m_einghilfe = false;
    bool m_einst = false;
    QStringList m_output;
    WorkWatchMaker m_watches;
    WorkWatch watchFor(const QString &what) const { return m_watches ? m_watches(what) : WorkWatch(); }
};
