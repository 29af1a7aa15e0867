#include "ui/Teinstshortcuts.h"

#include "desktop/AdminRestart.h"
#include "desktop/ChosenTypes.h"
#include "desktop/ShellIntegration.h"
#include "ui/LanguageTexts.h"
#include "session/UserDialogs.h"
#include "ui/WindowPlacement.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLabel *wrappedLabel(const char *name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    return l;
}

QPushButton *button(const char *name, QWidget *parent)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

Teinstshortcuts::Teinstshortcuts(LanguageCode &lang, ShellIntegration &shell, AdminRestart &admin,
                                 UserDialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_lang(lang), m_shell(shell), m_admin(admin), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Teinstshortcuts"));

    Label6 = wrappedLabel("Label6", this);
    Label9 = wrappedLabel("Label9", this);
    AlsAdminStarten = button("AlsAdminStarten", this);
    connect(AlsAdminStarten, &QPushButton::clicked, this, &Teinstshortcuts::AlsAdminStartenClick);
    connect(&m_admin, &AdminRestart::finished, this, [this] {
        // The elevated copy may have changed the system-wide files.
        CheckShortCuts();
        AlsAdminStarten->setEnabled(m_admin.canRestart());
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(6);
    layout->addWidget(Label6);
    auto *adminRow = new QHBoxLayout;
    adminRow->addWidget(Label9, 1);
    adminRow->addWidget(AlsAdminStarten);
    layout->addLayout(adminRow);
    // Per-user registrations need no rights: the administrator texts, their state and the restart
    // would only tell an ordinary user something false, so they belong to the system-wide scope.
    if (!m_shell.options().scope.systemWide)
        for (QWidget *w : std::initializer_list<QWidget *>{Label6, Label9, AlsAdminStarten})
            w->hide();

    // One group per integration: its text, the two buttons, then "Status:" and the state.
    auto group = [&](const char *name, QLabel *&text, const char *textName, QPushButton *&on, const char *onName,
                     QPushButton *&off, const char *offName, QLabel **state, const char *stateName,
                     void (Teinstshortcuts::*onClick)(), void (Teinstshortcuts::*offClick)()) {
        auto *gb = new QGroupBox(this);
        gb->setObjectName(QLatin1String(name));
        auto *grid = new QGridLayout(gb);
        grid->setContentsMargins(8, 4, 8, 6);
        grid->setVerticalSpacing(4);
        text = wrappedLabel(textName, gb);
        on = button(onName, gb);
        off = button(offName, gb);
        connect(on, &QPushButton::clicked, this, onClick);
        connect(off, &QPushButton::clicked, this, offClick);
        grid->addWidget(text, 0, 0, 1, 4);
        grid->addWidget(on, 1, 0);
        grid->addWidget(off, 1, 1);
        if (state) {
            auto *caption = new QLabel(gb);
            statusCaptions.append(caption);
            *state = new QLabel(gb);
            (*state)->setObjectName(QLatin1String(stateName));
            auto *row = new QHBoxLayout;
            row->setSpacing(6);
            row->addStretch(1);
            row->addWidget(caption);
            row->addWidget(*state);
            grid->addLayout(row, 1, 2, 1, 2);
        }
        grid->setColumnStretch(3, 1);
        layout->addWidget(gb);
        return gb;
    };
    gb1 = group("gb1", Label1, "Label1", KonfigAn, "KonfigAn", KonfigAus, "KonfigAus", &ver_konfig, "ver_konfig",
                &Teinstshortcuts::KonfigAnClick, &Teinstshortcuts::KonfigAusClick);
    gb2 = group("gb2", Label7, "Label7", SendenAnAn, "SendenAnAn", SendenAnAus, "SendenAnAus", &ver_sendenan,
                "ver_sendenan", &Teinstshortcuts::SendenAnAnClick, &Teinstshortcuts::SendenAnAusClick);
    gb3 = group("gb3", Label4, "Label4", OrdnerAn, "OrdnerAn", OrdnerAus, "OrdnerAus", &ver_ordner, "ver_ordner",
                &Teinstshortcuts::OrdnerAnClick, &Teinstshortcuts::OrdnerAusClick);
    gb4 = group("gb4", Label10, "Label10", AlleDateienAn, "AlleDateienAn", AlleDateienAus, "AlleDateienAus",
                &ver_alledateien, "ver_alledateien", &Teinstshortcuts::AlleDateienAnClick,
                &Teinstshortcuts::AlleDateienAusClick);
    // The chosen types share the files group; they have no status label.
    auto *grid = static_cast<QGridLayout *>(gb4->layout());
    Label3 = wrappedLabel("Label3", gb4);
    beldateien = new QLineEdit(QStringLiteral("mp3,wav,ogg,wma"), gb4);
    beldateien->setObjectName(QStringLiteral("beldateien"));
    BeliebigeDateienAn = button("BeliebigeDateienAn", gb4);
    BeliebigeDateienAus = button("BeliebigeDateienAus", gb4);
    connect(BeliebigeDateienAn, &QPushButton::clicked, this, &Teinstshortcuts::BeliebigeDateienAnClick);
    connect(BeliebigeDateienAus, &QPushButton::clicked, this, &Teinstshortcuts::BeliebigeDateienAusClick);
    grid->addWidget(Label3, 2, 0, 1, 4);
    grid->addWidget(beldateien, 3, 0, 1, 4);
    grid->addWidget(BeliebigeDateienAn, 4, 0);
    grid->addWidget(BeliebigeDateienAus, 4, 1);

    Label12 = wrappedLabel("Label12", this);
    Label70 = new QLabel(this);
    Label70->setObjectName(QStringLiteral("Label70"));
    Label70->setTextFormat(Qt::RichText);
    Label70->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(Label70, &QLabel::linkActivated, this, [this] { Label70Click(); });
    layout->addWidget(Label12);
    layout->addWidget(Label70);
    OK = button("OK", this);
    OK->setText(QStringLiteral("OK"));
    connect(OK, &QPushButton::clicked, this, &QWidget::close); // hides it
    auto *okRow = new QHBoxLayout;
    okRow->addStretch(1);
    okRow->addWidget(OK);
    layout->addLayout(okRow);

    Sprache();
}

void Teinstshortcuts::fitSize()
{
    // Fixed for the user; the height follows the captions of the current language.
    constexpr int kWidth = 540;
    QLayout *l = layout();
    const int height = l->hasHeightForWidth() ? l->totalHeightForWidth(kWidth) : l->totalSizeHint().height();
    setFixedSize(kWidth, std::max(height, l->totalMinimumSize().height()));
}

void Teinstshortcuts::Sprache()
{
    if (!m_lang.isDe() && !m_lang.isEn())
        return;
    const bool de = m_lang.isDe();
    auto t = [de](const char16_t *german, const char16_t *english) {
        return QString::fromUtf16(de ? german : english);
    };
    if (const UiText *title = LanguageTexts::find(LanguageTexts::windowTitles(), "Teinstshortcuts"))
        setWindowTitle((de ? title->de : title->en).toString());
    Label6->setText(t(u"Das Programm muss für diese Änderungen als Administrator ausgeführt werden.",
                      u"The Program must be executed as an Administrator to apply this functions."));
    AlsAdminStarten->setText(t(u"Programm als Admin neu starten", u"Restart Program as Admin"));
    gb1->setTitle(t(u"Verknüpfung mit Playlisten (*.slp)", u"Shortcut to Playlists (*.slp)"));
    Label1->setText(t(u"Verknüpfung dieses Programms mit Playlist-Dateien (Dateiendung: .slp)",
                      u"Shortcut of this Application with Playlist Files (File Extension: .slp)"));
    gb2->setTitle(t(u"Senden an", u"Send to"));
    Label7->setText(t(u"Anzeige dieses Programms im \"Senden an\" - Explorer Kontextmenü",
                      u"Show this Application in the Explorer Context Menu \"Send to\""));
    gb3->setTitle(t(u"Verknüpfung mit Ordnern", u"Shortcut with Folders"));
    Label4->setText(t(u"Anzeige dieses Programms im Explorer Kontextmenü von Ordnern",
                      u"Show this Application in the Explorer Context Menu of Folders"));
    gb4->setTitle(t(u"Verknüpfung mit Dateien", u"Shortcut with Files"));
    Label10->setText(t(u"Anzeige dieses Programms im Explorer Kontextmenü aller Dateien",
                       u"Show this Application in the Explorer Context Menu of all Files"));
    Label3->setText(t(u"Anzeige dieses Programms im Explorer Kontextmenü dieser Dateien:",
                      u"Show this Application in the Explorer Context Menu of these Files:"));
    for (QPushButton *b : {KonfigAn, SendenAnAn, OrdnerAn, AlleDateienAn, BeliebigeDateienAn})
        b->setText(t(u"Verknüpfen", u"Register"));
    for (QPushButton *b : {KonfigAus, SendenAnAus, OrdnerAus, AlleDateienAus, BeliebigeDateienAus})
        b->setText(t(u"Entfernen", u"Remove"));
    for (QLabel *caption : statusCaptions)
        caption->setText(QStringLiteral("Status:"));
    Label12->setText(t(u"Hilfe und weitere Informationen zu Verknüpfungen und Administratorrechten auf:",
                       u"Help and more Information regarding Shortcuts and Administrator Rights on:"));
    const QUrl help = helpUrl();
    Label70->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                         .arg(help.toString(QUrl::FullyEncoded).toHtmlEscaped(),
                              help.toDisplayString(QUrl::PreferLocalFile).toHtmlEscaped()));

    // The administrator state.
    const bool admin = m_admin.isAdmin();
    Label9->setText(admin ? t(u"Das Programm wird gerade als Administrator ausgeführt.",
                              u"The Program is running as an Administrator.")
                          : t(u"Das Programm wird gerade nicht als Administrator ausgeführt.",
                              u"The Program is not running as an Administrator."));
    Label9->setStyleSheet(admin ? QStringLiteral("color: green") : QStringLiteral("color: red"));
    AlsAdminStarten->setEnabled(m_admin.canRestart());
    if (admin)
        AlsAdminStarten->setToolTip(QString());
    else if (m_admin.pkexecMissing())
        AlsAdminStarten->setToolTip(t(u"Nicht verfügbar: pkexec (Paket „pkexec“) ist nicht installiert.",
                                      u"Not available: pkexec (package \"pkexec\") is not installed."));
    else if (!m_admin.canRestart())
        AlsAdminStarten->setToolTip(t(u"Nicht verfügbar: keine grafische Sitzung (DISPLAY oder WAYLAND_DISPLAY) bekannt.",
                                      u"Not available: no graphical session (DISPLAY or WAYLAND_DISPLAY) is known."));
    else
        AlsAdminStarten->setToolTip(t(u"Öffnet dieses Fenster mit Administratorrechten (pkexec), um die "
                                      u"Verknüpfungen für alle Benutzer einzurichten.",
                                      u"Opens this window with administrator rights (pkexec) to set up the "
                                      u"shortcuts for all users."));
    CheckShortCuts();
    fitSize();
}

void Teinstshortcuts::CheckShortCuts()
{
    ShowLinkState(m_shell.playlistTypeActive(), ver_konfig);
    ShowLinkState(m_shell.sendToActive(), ver_sendenan);
    ShowLinkState(m_shell.foldersActive(), ver_ordner);
    ShowLinkState(m_shell.allFilesActive(), ver_alledateien);
}

void Teinstshortcuts::ShowLinkState(bool active, QLabel *label)
{
    const bool de = m_lang.isDe();
    if (active) {
        label->setText(de ? QStringLiteral("Aktiv") : QStringLiteral("Activated"));
        label->setStyleSheet(QStringLiteral("color: green"));
    } else {
        label->setText(de ? QStringLiteral("Nicht aktiv") : QStringLiteral("Not activated"));
        label->setStyleSheet(QStringLiteral("color: red"));
    }
}

void Teinstshortcuts::report(int outcome)
{
    if (ShellIntegration::Outcome(outcome) != ShellIntegration::Outcome::ProgramPathRefused)
        return;
    const QString program = m_shell.options().programPath;
    m_dialogs.showError(this, m_lang.text(u"Der Programmpfad \"%1\" kann nicht in Desktop-Einträge geschrieben werden: "
                                          u"er enthält %, =, ein Steuerzeichen oder ist nicht absolut. Bitte das "
                                          u"Programm in einen Ordner ohne diese Zeichen verschieben; es wurde nichts "
                                          u"eingetragen.",
                                          u"The program path \"%1\" cannot be written into desktop entries: it holds "
                                          u"%, =, a control character or is not absolute. Please move the program to "
                                          u"a folder without these characters; nothing was registered.")
                                  .arg(program));
}

void Teinstshortcuts::KonfigAnClick()
{
    report(int(m_shell.registerPlaylistType(m_lang)));
    CheckShortCuts();
}

void Teinstshortcuts::KonfigAusClick()
{
    m_shell.removePlaylistType();
    CheckShortCuts();
}

void Teinstshortcuts::SendenAnAnClick()
{
    report(int(m_shell.registerSendTo()));
    CheckShortCuts();
}

void Teinstshortcuts::SendenAnAusClick()
{
    m_shell.removeSendTo();
    CheckShortCuts();
}

void Teinstshortcuts::OrdnerAnClick()
{
    report(int(m_shell.registerFolders(m_lang)));
    CheckShortCuts();
}

void Teinstshortcuts::OrdnerAusClick()
{
    m_shell.removeFolders();
    CheckShortCuts();
}

void Teinstshortcuts::AlleDateienAnClick()
{
    report(int(m_shell.registerAllFiles(m_lang)));
    CheckShortCuts();
}

void Teinstshortcuts::AlleDateienAusClick()
{
    m_shell.removeAllFiles();
    CheckShortCuts();
}

void Teinstshortcuts::BeliebigeDateienAnClick()
{
    report(int(m_shell.registerChosenTypes(ChosenTypes::ChosenExtensions(beldateien->text()), m_lang)));
}

void Teinstshortcuts::BeliebigeDateienAusClick()
{
    report(int(m_shell.removeChosenTypes(ChosenTypes::ChosenExtensions(beldateien->text()), m_lang)));
}

void Teinstshortcuts::AlsAdminStartenClick()
{
    if (m_admin.RestartAsAdmin(m_lang.code()))
        AlsAdminStarten->setEnabled(false); // until the elevated copy ends
}

void Teinstshortcuts::Label70Click()
{
    QDesktopServices::openUrl(helpUrl());
}

QUrl Teinstshortcuts::helpUrl()
{
    // The installed copy (share/doc/sonalo beside bin/) or one shipped beside the program; else the
    // copy built into the program, written out to the user's cache folder. A path of the machine
    // the program was built on would lead nowhere anywhere else.
    const QString program = QCoreApplication::applicationDirPath();
    QString readme;
    for (const QString &candidate : {program + QStringLiteral("/../share/doc/sonalo/README.md"),
                                     program + QStringLiteral("/README.md")}) {
        if (QFileInfo::exists(candidate)) {
            readme = QDir::cleanPath(candidate);
            break;
        }
    }
    if (readme.isEmpty())
        readme = builtInHelp();
    QUrl url = QUrl::fromLocalFile(readme);
    url.setFragment(QStringLiteral("desktop-integration"));
    return url;
}

QString Teinstshortcuts::builtInHelp()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/sonalo");
    const QString path = folder + QStringLiteral("/README.md");
    QFile resource(QStringLiteral(":/help/README.md"));
    if (!resource.open(QIODevice::ReadOnly))
        return path;
    const QByteArray help = resource.readAll();
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == help)
        return path;
    // Rewritten whole when another version of the program left an older text there.
    QSaveFile out(path);
    if (QDir().mkpath(folder) && out.open(QIODevice::WriteOnly) && out.write(help) == help.size())
        out.commit();
    return path;
}

void Teinstshortcuts::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    centreOnScreenOnce(*this, m_placed);
    CheckShortCuts();
}
