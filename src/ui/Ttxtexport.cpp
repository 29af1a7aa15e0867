#include "ui/Ttxtexport.h"

#include "session/WindowKeepAlive.h"
#include "ui/ExportWindowTexts.h"
#include "ui/OutputBoxFill.h"
#include "ui/WindowPlacement.h"
#include "ui/WindowTexts.h"
#include "ui/WorkProgress.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

using Panel = TxtExportController::Panel;

namespace {

template <typename W>
W *named(QWidget *parent, const char *name)
{
    auto *w = new W(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

} // namespace

Ttxtexport::Ttxtexport(LanguageCode &lang, TxtExportController &controller, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_lang(lang), m_controller(controller)
{
    setObjectName(QStringLiteral("Ttxtexport"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    formstr = named<QComboBox>(this, "formstr");
    formstr->setEditable(true);
    // The history grows only by writing the list, not by Enter in the box.
    formstr->setInsertPolicy(QComboBox::NoInsert);
    layout->addWidget(formstr);

    // A panel: its check box on top, its controls below, shown only while it is open.
    auto panel = [&](QCheckBox *&box, const char *boxName, QWidget *&pa, const char *panelName) {
        pa = named<QWidget>(this, panelName);
        auto *v = new QVBoxLayout(pa);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(1);
        box = named<QCheckBox>(pa, boxName);
        box->setFixedHeight(TxtExportController::kCollapsedHeight);
        v->addWidget(box);
        auto *body = new QWidget(pa);
        body->setObjectName(QLatin1String(panelName) + QLatin1String("_body"));
        v->addWidget(body);
        v->addStretch(1);
        layout->addWidget(pa);
        auto *grid = new QGridLayout(body);
        grid->setContentsMargins(18, 0, 0, 0);
        grid->setVerticalSpacing(1);
        return grid;
    };
    auto button = [](QWidget *owner, const char *name) {
        auto *b = named<QPushButton>(owner, name);
        b->setFixedHeight(19);
        return b;
    };

    QGridLayout *g = panel(cb_einghilfe, "cb_einghilfe", pa_einghilfe, "pa_einghilfe");
    const char *const placeholders[] = {"Button1", "Button2", "Button3", "Button4",  "Button5", "Button6",
                                        "Button7", "Button8", "Button10", "Button11", "Button13"};
    int i = 0;
    for (const char *name : placeholders) {
        QPushButton *b = button(g->parentWidget(), name);
        g->addWidget(b, i / 6, i % 6);
        placeholderButtons.append(b);
        connect(b, &QPushButton::clicked, this, [this, b] { m_controller.CaptionAdden(b->text()); });
        ++i;
    }
    edtxt = named<QLineEdit>(g->parentWidget(), "edtxt");
    edtxt->setFixedHeight(19);
    Button9 = button(g->parentWidget(), "Button9");
    Button12 = button(g->parentWidget(), "Button12");
    g->addWidget(edtxt, 2, 0, 1, 2);
    g->addWidget(Button9, 2, 2, 1, 2);
    g->addWidget(Button12, 2, 4, 1, 2);

    g = panel(cb_filter, "cb_filter", pa_filter, "pa_filter");
    Label3 = named<QLabel>(g->parentWidget(), "Label3");
    sw = named<QLineEdit>(g->parentWidget(), "sw");
    sw->setFixedHeight(19);
    Label3->setBuddy(sw);
    g->addWidget(Label3, 0, 0);
    g->addWidget(sw, 0, 1, 1, 3);
    const char *const columns[] = {"s_interpret", "s_titel", "s_laenge", "s_album", "s_track", "s_jahr", "s_genre", "s_datei"};
    for (int c = 0; c < 8; ++c) {
        columnBoxes[size_t(c)] = named<QCheckBox>(g->parentWidget(), columns[c]);
        g->addWidget(columnBoxes[size_t(c)], 1 + c / 4, c % 4);
        connect(columnBoxes[size_t(c)], &QCheckBox::toggled, this, [this, c](bool on) {
            if (!m_showing)
                m_controller.setFilterColumn(c, on);
        });
    }
    rb_alle = named<QCheckBox>(g->parentWidget(), "rb_alle");
    g->addWidget(rb_alle, 3, 0, 1, 2);

    g = panel(cb_suchen, "cb_suchen", pa_suchen, "pa_suchen");
    Label1 = named<QLabel>(g->parentWidget(), "Label1");
    Label2 = named<QLabel>(g->parentWidget(), "Label2");
    s_nach = named<QLineEdit>(g->parentWidget(), "s_nach");
    s_ers = named<QLineEdit>(g->parentWidget(), "s_ers");
    for (QLineEdit *e : {s_nach, s_ers})
        e->setFixedHeight(17);
    Label1->setBuddy(s_nach);
    Label2->setBuddy(s_ers);
    g->addWidget(Label1, 0, 0);
    g->addWidget(s_nach, 0, 1);
    g->addWidget(Label2, 1, 0);
    g->addWidget(s_ers, 1, 1);

    panel(cb_html, "cb_html", pa_html, "pa_html");

    g = panel(cb_einst, "cb_einst", pa_einst, "pa_einst");
    cb_sort = named<QCheckBox>(g->parentWidget(), "cb_sort");
    cb_doppeltweg = named<QCheckBox>(g->parentWidget(), "cb_doppeltweg");
    cb_autodel = named<QCheckBox>(g->parentWidget(), "cb_autodel");
    cb_leereweg = named<QCheckBox>(g->parentWidget(), "cb_leereweg");
    cb_autoupdate = named<QCheckBox>(g->parentWidget(), "cb_autoupdate");
    cb_nullen = named<QCheckBox>(g->parentWidget(), "cb_nullen");
    int k = 0;
    for (QCheckBox *b : {cb_sort, cb_doppeltweg, cb_autodel, cb_leereweg, cb_autoupdate, cb_nullen}) {
        b->setFixedHeight(20);
        g->addWidget(b, k / 3, k % 3);
        ++k;
    }

    output = named<QPlainTextEdit>(this, "output");
    output->setLineWrapMode(QPlainTextEdit::NoWrap);
    output->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    output->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(output, 1);

    auto *buttons = new QHBoxLayout;
    Schreiben = named<QPushButton>(this, "Schreiben");
    Speichern = named<QPushButton>(this, "Speichern");
    DelOutput = named<QPushButton>(this, "DelOutput");
    Button14 = named<QPushButton>(this, "Button14");
    for (QPushButton *b : {Schreiben, Speichern, DelOutput, Button14})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    // Controls to the controller; changes made by the controller itself are not sent back.
    auto forward = [this](auto *sender, auto signal, auto call) {
        connect(sender, signal, this, [this, call](auto value) {
            if (!m_showing)
                call(value);
        });
    };
    TxtExportController &c = m_controller;
    forward(formstr, &QComboBox::editTextChanged, [&c](const QString &t) { c.setTemplateText(t); });
    connect(formstr->lineEdit(), &QLineEdit::returnPressed, this, [&c] { c.formstrKeyPress(); });
    forward(edtxt, &QLineEdit::textEdited, [&c](const QString &t) { c.setEdtxt(t); });
    forward(sw, &QLineEdit::textChanged, [&c](const QString &t) { c.setFilterText(t); });
    forward(s_nach, &QLineEdit::textChanged, [&c](const QString &t) { c.setFindText(t); });
    forward(s_ers, &QLineEdit::textChanged, [&c](const QString &t) { c.setReplaceText(t); });
    forward(cb_einghilfe, &QCheckBox::toggled, [&c](bool on) { c.setPanel(Panel::Einghilfe, on); });
    forward(cb_filter, &QCheckBox::toggled, [&c](bool on) { c.setPanel(Panel::Filter, on); });
    forward(cb_suchen, &QCheckBox::toggled, [&c](bool on) { c.setPanel(Panel::Suchen, on); });
    forward(cb_html, &QCheckBox::toggled, [&c](bool on) { c.setPanel(Panel::Html, on); });
    forward(cb_einst, &QCheckBox::toggled, [&c](bool on) { c.setPanel(Panel::Einst, on); });
    forward(rb_alle, &QCheckBox::toggled, [&c](bool on) { c.rb_alleClick(on); });
    forward(cb_sort, &QCheckBox::toggled, [&c](bool on) { c.setSort(on); });
    forward(cb_doppeltweg, &QCheckBox::toggled, [&c](bool on) { c.setUnique(on); });
    forward(cb_autodel, &QCheckBox::toggled, [&c](bool on) { c.setReplaceOld(on); });
    forward(cb_leereweg, &QCheckBox::toggled, [&c](bool on) { c.setRemoveEmpty(on); });
    forward(cb_autoupdate, &QCheckBox::toggled, [&c](bool on) { c.setAutoUpdate(on); });
    forward(cb_nullen, &QCheckBox::toggled, [&c](bool on) { c.setLeadingZeros(on); });
    connect(Button9, &QPushButton::clicked, this, [&c] { c.Button9Click(); });
    connect(Button12, &QPushButton::clicked, this, [&c] { c.Button12Click(); });
    connect(Schreiben, &QPushButton::clicked, this, [&c] { c.SchreibenClick(); });
    connect(Speichern, &QPushButton::clicked, this, [this] { m_controller.SpeichernClick(this); });
    connect(DelOutput, &QPushButton::clicked, this, [&c] { c.DelOutputClick(); });
    connect(Button14, &QPushButton::clicked, this, [&c] { c.Button14Click(); });
    connect(output, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            m_controller.setOutputText(output->toPlainText());
    });
    c.setWorkWatches(progressWatches(this, m_lang));
    connect(&c, &TxtExportController::stateChanged, this, &Ttxtexport::showState);
    connect(&c, &TxtExportController::outputChanged, this, &Ttxtexport::showOutput);

    LocalSpr();
    showState();
    resize(640, 520);
}

void Ttxtexport::LocalSpr()
{
    LanguageTexts::applyWindowTexts(*this, "Ttxtexport", LanguageTexts::txtExportWindow(), m_lang);
    m_controller.LocalSpr();
}

void Ttxtexport::mtxtexportClick()
{
    if (m_controller.autoUpdate())
        m_controller.SchreibenClick();
    show();
    raise();
    activateWindow();
}

void Ttxtexport::showState()
{
    m_showing = true;
    const TxtExportController &c = m_controller;
    const ExportOptions &o = c.options();
    // The history only grows while the user types; adding the new items keeps the cursor.
    const QString typed = formstr->currentText();
    const int cursor = formstr->lineEdit()->cursorPosition();
    const QStringList &history = c.templateHistory();
    bool prefix = formstr->count() <= history.size();
    for (int i = 0; prefix && i < formstr->count(); ++i)
        prefix = formstr->itemText(i) == history[i];
    if (!prefix)
        formstr->clear();
    for (qsizetype i = formstr->count(); i < history.size(); ++i)
        formstr->addItem(history[i]);
    if (formstr->currentText() != c.templateText())
        formstr->setEditText(c.templateText());
    if (typed == c.templateText())
        formstr->lineEdit()->setCursorPosition(cursor);
    if (edtxt->text() != c.edtxt())
        edtxt->setText(c.edtxt());
    cb_einghilfe->setChecked(c.panelOpen(Panel::Einghilfe));
    cb_filter->setChecked(o.useFilter);
    cb_suchen->setChecked(o.findReplace);
    cb_html->setChecked(o.html);
    cb_einst->setChecked(c.panelOpen(Panel::Einst));
    for (int i = 0; i < 8; ++i)
        columnBoxes[size_t(i)]->setChecked(o.filterColumns[size_t(i)]);
    cb_sort->setChecked(o.sort);
    cb_doppeltweg->setChecked(o.unique);
    cb_autodel->setChecked(c.replaceOld());
    cb_leereweg->setChecked(o.removeEmpty);
    cb_autoupdate->setChecked(c.autoUpdate());
    cb_nullen->setChecked(o.leadingZeros);
    const std::pair<QWidget *, Panel> panels[] = {{pa_einghilfe, Panel::Einghilfe}, {pa_filter, Panel::Filter},
                                                  {pa_suchen, Panel::Suchen},       {pa_html, Panel::Html},
                                                  {pa_einst, Panel::Einst}};
    for (const auto &[pa, p] : panels) {
        pa->setFixedHeight(c.panelHeight(p));
        pa->findChild<QWidget *>(pa->objectName() + QLatin1String("_body"))->setVisible(c.panelOpen(p));
    }
    m_showing = false;
}

void Ttxtexport::showOutput()
{
    m_showing = true;
    // A long list goes in pieces while the windows paint; they take no input meanwhile.
    fillOutputBox(*output, m_controller.outputLines(), keepWindowAlive);
    m_showing = false;
}

void Ttxtexport::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    centreOnScreenOnce(*this, m_placed);
}
