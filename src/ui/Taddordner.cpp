#include "ui/Taddordner.h"

#include "ui/LanguageTexts.h"
#include "ui/WindowTexts.h"
#include "session/ListDisplay.h"
#include "session/PlaylistController.h"
#include "session/UserDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

Taddordner::Taddordner(LanguageCode &lang, PlaylistController &playlist, ListDisplay &list, UserDialogs &dialogs,
                       QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      m_lang(lang),
      m_prog(playlist),
      m_list(list),
      m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Taddordner"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);

    auto named = [](QWidget *w, const char *name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    auto *layout = new QVBoxLayout(this);

    auto *folderRow = new QHBoxLayout;
    ed_ort = static_cast<QLineEdit *>(named(new QLineEdit(this), "ed_ort"));
    Button3 = static_cast<QPushButton *>(named(new QPushButton(this), "Button3"));
    Button3->setFixedWidth(28);
    folderRow->addWidget(ed_ort, 1);
    folderRow->addWidget(Button3);
    layout->addLayout(folderRow);

    auto box = [&](const char *name, bool ticked) {
        auto *b = static_cast<QCheckBox *>(named(new QCheckBox(this), name));
        b->setChecked(ticked);
        return b;
    };
    uv = box("uv", true);
    relativ = box("relativ", false);
    nurneu = box("nurneu", true);
    layout->addWidget(uv);
    layout->addWidget(relativ);
    layout->addWidget(nurneu);

    auto *types = new QHBoxLayout;
    Label7 = static_cast<QLabel *>(named(new QLabel(this), "Label7"));
    types->addWidget(Label7);
    cbMP3 = box("cbMP3", true);
    cbWAV = box("cbWAV", true);
    cbOGG = box("cbOGG", true);
    cbWMA = box("cbWMA", true);
    cbFLAC = box("cbFLAC", true);
    cbOpus = box("cbOpus", true);
    cbM4A = box("cbM4A", true);
    for (QCheckBox *b : {cbMP3, cbWAV, cbOGG, cbWMA, cbFLAC, cbOpus, cbM4A})
        types->addWidget(b);
    types->addStretch(1);
    layout->addLayout(types);

    auto *counters = new QGridLayout;
    auto label = [&](const char *name, const QString &caption = QString()) {
        return static_cast<QLabel *>(named(new QLabel(caption, this), name));
    };
    Label4 = label("Label4");
    Label5 = label("Label5");
    Label6 = label("Label6");
    Label1 = label("Label1", QStringLiteral("0"));
    Label2 = label("Label2", QStringLiteral("0"));
    Label3 = label("Label3", QStringLiteral("0"));
    const QLabel *captions[] = {Label4, Label5, Label6};
    QLabel *values[] = {Label1, Label2, Label3};
    for (int row = 0; row < 3; ++row) {
        counters->addWidget(const_cast<QLabel *>(captions[row]), row, 0);
        values[row]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        values[row]->setMinimumWidth(60);
        counters->addWidget(values[row], row, 1);
    }
    counters->setColumnStretch(2, 1);
    layout->addLayout(counters);

    fs = static_cast<QProgressBar *>(named(new QProgressBar(this), "fs"));
    fs->setRange(0, 1);
    fs->setValue(0);
    fs->setTextVisible(false);
    layout->addWidget(fs);

    auto *buttons = new QHBoxLayout;
    hinzufuegen = static_cast<QPushButton *>(named(new QPushButton(this), "hinzufuegen"));
    Button1 = static_cast<QPushButton *>(named(new QPushButton(this), "Button1"));
    buttons->addWidget(hinzufuegen, 1);
    buttons->addWidget(Button1);
    layout->addLayout(buttons);

    connect(hinzufuegen, &QPushButton::clicked, this, &Taddordner::hinzufuegenClick);
    connect(Button1, &QPushButton::clicked, this, &Taddordner::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &Taddordner::Button3Click);
    connect(relativ, &QCheckBox::toggled, this, &Taddordner::relativClick);
    ed_ort->installEventFilter(this);

    // FormCreate
    LocalSpr();
    m_prog.scanState().ScanCancelled = false;
    resize(440, 300);
}

QString Taddordner::text(const char *component) const
{
    const UiText *t = LanguageTexts::find(LanguageTexts::addFolderDialog(), component);
    return t ? m_lang.text(t->de, t->en) : QString();
}

void Taddordner::LocalSpr()
{
    LanguageTexts::applyWindowTexts(*this, "Taddordner", LanguageTexts::addFolderDialog(), m_lang);
    // A switch during a run keeps Button1 a Cancel button.
    if (m_running && (m_lang.isDe() || m_lang.isEn()))
        Button1->setText(text("Button1.running"));
}

FolderScanSettings Taddordner::settings() const
{
    FolderScanSettings s;
    s.folderText = ed_ort->text();
    s.includeSubfolders = uv->isChecked();
    s.relative = relativ->isChecked();
    s.onlyNew = nurneu->isChecked();
    s.mp3 = cbMP3->isChecked();
    s.wav = cbWAV->isChecked();
    s.ogg = cbOGG->isChecked();
    s.wma = cbWMA->isChecked();
    s.flac = cbFLAC->isChecked();
    s.opus = cbOpus->isChecked();
    s.m4a = cbM4A->isChecked();
    return s;
}

void Taddordner::keepAlive(bool force)
{
    // Counters are repainted and pending events run at most every 15 ms: often enough for a
    // live display and a prompt Cancel, rarely enough not to slow a large scan down.
    if (!force && m_sincePaint.isValid() && m_sincePaint.elapsed() < 15)
        return;
    repaint();
    QCoreApplication::processEvents();
    m_sincePaint.restart();
}

void Taddordner::hinzufuegenClick()
{
    // Enter in ed_ort during a run, or a click while the main window adds dropped files (its
    // loops let this dialog's events run), must not start a second adding inside the first.
    if (m_running || m_prog.isAdding())
        return;
    m_running = true;
    ScanState &state = m_prog.scanState();
    hinzufuegen->setEnabled(false);
    Button1->setText(text("Button1.running"));
    for (QLabel *l : {Label1, Label2, Label3})
        l->setText(QStringLiteral("0"));
    fs->setRange(0, 1);
    fs->setValue(0);
    m_sincePaint.invalidate();

    FolderScanView view;
    view.foundChanged = [this](int n) { Label1->setText(QString::number(n)); };
    view.handledChanged = [this](int n) {
        Label2->setText(QString::number(n));
        fs->setValue(n);
    };
    view.maximumChanged = [this](int n) {
        // A bar whose maximum is 0 shows "busy"; an empty run shows an empty bar.
        fs->setRange(0, qMax(n, 1));
        keepAlive(true);
    };
    view.processEvents = [this] { keepAlive(false); };

    bool noFileTypes = false;
    m_last = FolderScanResult();
    m_prog.addSongs([&] {
        m_last = runFolderScan(m_prog.lists(), settings(), state, view, m_prog.songAdder());
        // Label3 shows the songs really added: with "only new" ticked, skipped duplicates are
        // read but not added.
        Label3->setText(QString::number(m_last.added));
        // A cancelled run leaves the bar where it stopped.
        if (m_last.found > 0 && !m_last.cancelled)
            fs->setValue(fs->maximum());
        noFileTypes = m_last.noFileTypes;
    });

    m_list.ShowListStatus();
    Button1->setText(text("Button1"));
    hinzufuegen->setEnabled(true);
    state.ScanCancelled = false;
    m_running = false;
    if (noFileTypes)
        m_dialogs.showMessage(this, text("noFileTypes"));
}

void Taddordner::Button1Click()
{
    // Button1 is Cancel while a run goes on, Close otherwise.
    if (m_running)
        m_prog.scanState().ScanCancelled = true;
    else
        close();
}

void Taddordner::Button3Click()
{
    QWidget *owner = QApplication::activeWindow() ? QApplication::activeWindow() : this;
    const QString folder = m_dialogs.existingDirectory(owner, text("browserTitle"));
    if (!folder.isEmpty())
        ed_ort->setText(folder);
}

void Taddordner::relativClick(bool ticked)
{
    // Folders dropped on the table or named on the command line are added the same way.
    m_prog.setFolderRelative(ticked);
    if (ticked)
        ed_ort->setText(m_prog.lists().programFolder());
}

bool Taddordner::eventFilter(QObject *watched, QEvent *event)
{
    // ed_ortKeyPress: Enter starts the run and goes no further.
    if (watched == ed_ort && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            hinzufuegenClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Taddordner::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
}

void Taddordner::closeEvent(QCloseEvent *event)
{
    // Closing during a run cancels it; the window only hides, it lives until the program ends.
    if (m_running)
        m_prog.scanState().ScanCancelled = true;
    event->accept();
}
