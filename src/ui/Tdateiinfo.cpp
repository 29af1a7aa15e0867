#include "ui/Tdateiinfo.h"

#include "core/FileSystem.h"
#include "ui/LanguageTexts.h"
#include "ui/WindowTexts.h"
#include "session/CoverController.h"
#include "session/SelectionOperations.h"
#include "ui/WindowPlacement.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QTableWidget>
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

    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto *contents = new QHBoxLayout(GroupBox2);
    coverBild = new QLabel(GroupBox2);
    coverBild->setObjectName(QStringLiteral("coverBild"));
    coverBild->setFixedSize(kCoverSide, kCoverSide);
    coverBild->setAlignment(Qt::AlignCenter);
    coverBild->setFrameShape(QFrame::StyledPanel);
    contents->addWidget(coverBild, 0, Qt::AlignTop);
    details = new QTableWidget(0, 2, GroupBox2);
    details->setObjectName(QStringLiteral("details"));
    details->setEditTriggers(QAbstractItemView::NoEditTriggers);
    details->setSelectionBehavior(QAbstractItemView::SelectRows);
    details->verticalHeader()->hide();
    details->horizontalHeader()->setStretchLastSection(true);
    details->setWordWrap(false);
    details->verticalHeader()->setDefaultSectionSize(details->fontMetrics().height() + 4);
    contents->addWidget(details, 1);
    layout->addWidget(GroupBox2, 1);

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
    // Fits a screen of 800 x 600 with room to spare.
    resize(640, 520);
}

void Tdateiinfo::LocalSpr()
{
    LanguageTexts::applyWindowTexts(*this, "Tdateiinfo", LanguageTexts::fileInfoWindow(), m_lang);
    // The caption for no picture replaces a picture shown; it comes back.
    if (!m_coverPixmap.isNull())
        coverBild->setPixmap(m_coverPixmap);
    fillDetails();
}

void Tdateiinfo::setCovers(CoverController *covers)
{
    if (m_covers)
        disconnect(&m_covers->loader(), nullptr, this, nullptr);
    m_covers = covers;
    if (m_covers)
        connect(&m_covers->loader(), &CoverLoader::loaded, this, &Tdateiinfo::coverLoaded);
}

void Tdateiinfo::fillDetails()
{
    const QList<SongInfo::Row> rows = m_path.isEmpty() ? QList<SongInfo::Row>() : m_info.rows();
    const auto table = LanguageTexts::fileInfoWindow();
    auto text = [&](const QByteArray &component) {
        QString caption;
        const UiText *t = LanguageTexts::find(table, component.constData());
        return t && LanguageTexts::routineText(*t, m_lang, caption) ? caption : QString::fromLatin1(component);
    };
    details->setHorizontalHeaderLabels({text("details.0"), text("details.1")});
    details->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const SongInfo::Row &r = rows[i];
        const QString name = r.key.isEmpty() ? r.name : text("details." + r.key.toLatin1());
        details->setItem(i, 0, new QTableWidgetItem(name));
        auto *value = new QTableWidgetItem(r.value);
        value->setToolTip(r.value);
        details->setItem(i, 1, value);
    }
    details->resizeColumnToContents(0);
}

void Tdateiinfo::coverLoaded(const CoverResult &result)
{
    if (result.songPath != m_path)
        return;
    if (result.image.isNull()) {
        m_coverPixmap = QPixmap();
        LocalSpr();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    m_coverPixmap = QPixmap::fromImage(result.image.scaled(QSize(kCoverSide, kCoverSide) * ratio, Qt::KeepAspectRatio,
                                                           Qt::SmoothTransformation));
    m_coverPixmap.setDevicePixelRatio(ratio);
    coverBild->setPixmap(m_coverPixmap);
}

void Tdateiinfo::DateiAuslesen(const QString &path)
{
    ed_dateiname->setText(path);
    ed_datei->setText(FileSystem::fileNameOf(path));
    ed_ordner->setText(FileSystem::folderOf(path));
    // Long paths show their beginning, not wherever the cursor ended.
    for (QLineEdit *e : {ed_datei, ed_ordner, ed_dateiname})
        e->setCursorPosition(0);
    m_path = path;
    m_info = SongInfo::read(path);
    m_coverPixmap = QPixmap();
    LocalSpr();
    if (m_covers)
        m_covers->loader().request({path, 2 * kCoverSide, m_covers->folderFirst(), QString()});
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
