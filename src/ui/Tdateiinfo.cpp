#include "ui/Tdateiinfo.h"

#include "core/FileSystem.h"
#include "ui/LanguageTexts.h"
#include "ui/WindowTexts.h"
#include "session/SelectionOperations.h"
#include "ui/WindowPlacement.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

Tdateiinfo::Tdateiinfo(LanguageCode &lang, SelectionOperations &operations, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_lang(lang), m_operations(operations)
{
    setObjectName(QStringLiteral("Tdateiinfo"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);

    auto *layout = new QVBoxLayout(this);
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *fields = new QVBoxLayout(GroupBox1);
    auto field = [&](QLabel *&label, const char *labelName, QLineEdit *&edit, const char *editName) {
        label = new QLabel(GroupBox1);
        label->setObjectName(QLatin1String(labelName));
        edit = new QLineEdit(GroupBox1);
        edit->setObjectName(QLatin1String(editName));
        label->setBuddy(edit);
        fields->addWidget(label);
        fields->addWidget(edit);
    };
    field(Label1, "Label1", ed_datei, "ed_datei");
    field(Label2, "Label2", ed_ordner, "ed_ordner");
    field(Label3, "Label3", ed_dateiname, "ed_dateiname");
    layout->addWidget(GroupBox1);

    auto *buttons = new QHBoxLayout;
    auto button = [&](const char *name) {
        auto *b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        buttons->addWidget(b);
        return b;
    };
    Button1 = button("Button1");
    clipbrd = button("clipbrd");
    Auslesenbt = button("Auslesenbt");
    buttons->addStretch(1);
    Schliessen = button("Schliessen");
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, &Tdateiinfo::Button1Click);
    connect(clipbrd, &QPushButton::clicked, this, &Tdateiinfo::clipbrdClick);
    connect(Auslesenbt, &QPushButton::clicked, this, &Tdateiinfo::Auslesen);
    connect(Schliessen, &QPushButton::clicked, this, &Tdateiinfo::SchliessenClick);

    LocalSpr();
    resize(460, 230);
}

void Tdateiinfo::LocalSpr()
{
    LanguageTexts::applyWindowTexts(*this, "Tdateiinfo", LanguageTexts::fileInfoWindow(), m_lang);
}

void Tdateiinfo::DateiAuslesen(const QString &path)
{
    ed_dateiname->setText(path);
    ed_datei->setText(FileSystem::fileNameOf(path));
    ed_ordner->setText(FileSystem::folderOf(path));
    // Long paths show their beginning, not wherever the cursor ended.
    for (QLineEdit *e : {ed_datei, ed_ordner, ed_dateiname})
        e->setCursorPosition(0);
}

void Tdateiinfo::Auslesen()
{
    const QString path = m_operations.playingSongPath();
    if (!path.isEmpty())
        DateiAuslesen(path);
}

void Tdateiinfo::Button1Click()
{
    m_operations.openFolder(ed_ordner->text());
}

void Tdateiinfo::clipbrdClick()
{
    m_operations.copyFileToClipboard(ed_dateiname->text());
}

void Tdateiinfo::SchliessenClick()
{
    close();
}

void Tdateiinfo::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    centreOnScreenOnce(*this, m_placed);
}
