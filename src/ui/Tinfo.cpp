#include "ui/Tinfo.h"

#include "ui/Artwork.h"
#include "ui/LanguageTexts.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QWidget *makePanel(const char *name, const QString &text, const QString &closeCaption, QWidget *window)
{
    auto *panel = new QWidget;
    panel->setObjectName(QLatin1String(name));
    auto *layout = new QHBoxLayout(panel);
    auto *picture = new QLabel(panel);
    picture->setPixmap(Artwork::iconPicture(64));
    picture->setAlignment(Qt::AlignTop);
    layout->addWidget(picture);
    auto *column = new QVBoxLayout;
    auto *label = new QLabel(text, panel);
    label->setObjectName(QLatin1String(name) + QLatin1String("_text"));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    column->addWidget(label, 1);
    auto *close = new QPushButton(closeCaption, panel);
    QObject::connect(close, &QPushButton::clicked, window, &QWidget::close);
    column->addWidget(close, 0, Qt::AlignRight);
    layout->addLayout(column, 1);
    return panel;
}

} // namespace

Tinfo::Tinfo(LanguageCode &lang, QWidget *parent)
    : QWidget(parent, Qt::Window), m_lang(lang)
{
    setObjectName(QStringLiteral("Tinfo"));
    resize(420, 200);
    const QString version = QCoreApplication::applicationVersion();
    panel_de = makePanel("panel_de",
                         QStringLiteral("ORV Media Sonalo %1\n\nDer Audio-Player für deine Playlists: MP3, WMA, "
                                        "Ogg Vorbis und WAV, sortierbar, durchsuchbar, auf Deutsch und Englisch.\n\n"
                                        "Orvel Media").arg(version),
                         QStringLiteral("Schließen"), this);
    panel_en = makePanel("panel_en",
                         QStringLiteral("ORV Media Sonalo %1\n\nThe audio player for your playlists: MP3, WMA, "
                                        "Ogg Vorbis and WAV, sortable, searchable, in German and English.\n\n"
                                        "Orvel Media").arg(version),
                         QStringLiteral("Close"), this);
    m_panels = new QStackedWidget(this);
    m_panels->addWidget(panel_de);
    m_panels->addWidget(panel_en);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_panels);
    switchPanel();
}

void Tinfo::switchPanel()
{
    setWindowTitle(m_lang.text(u"Über Sonalo", u"About Sonalo"));
    m_panels->setCurrentWidget(m_lang.isDe() ? panel_de : panel_en);
}

QWidget *Tinfo::currentPanel() const
{
    return m_panels->currentWidget();
}
