#include "ui/Tsuchopt.h"

#include "ui/LanguageTexts.h"
#include "ui/SearchOptionsBinding.h"
#include "session/SearchOptionsModel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

Tsuchopt::Tsuchopt(LanguageCode &lang, SearchOptionsModel &options, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_lang(lang), m_options(options)
{
    setObjectName(QStringLiteral("Tsuchopt"));
    setMinimumSize(300, 470);
    auto *layout = new QVBoxLayout(this);

    SearchOptionsBinding::addOptionGroups(this, layout, "s_exakt", false);
    layout->addStretch(1);

    auto *buttons = new QHBoxLayout;
    auto *standard = new QPushButton(this);
    standard->setObjectName(QStringLiteral("Standard"));
    connect(standard, &QPushButton::clicked, this, &Tsuchopt::StandardClick);
    buttons->addWidget(standard);
    buttons->addStretch(1);
    auto *ok = new QPushButton(this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &Tsuchopt::OKClick);
    buttons->addWidget(ok);
    layout->addLayout(buttons);

    new SearchOptionsBinding(this, m_options, "s_exakt");
    resize(300, 470);
    LocalSpr();
}

void Tsuchopt::LocalSpr()
{
    if (!m_lang.isDe() && !m_lang.isEn())
        return;
    const bool de = m_lang.isDe();
    if (const UiText *t = LanguageTexts::find(LanguageTexts::windowTitles(), "Tsuchopt"))
        setWindowTitle((de ? t->de : t->en).toString());
    for (auto table : {LanguageTexts::searchControls(), LanguageTexts::searchWindowControls()}) {
        for (const UiHintText &t : table) {
            QWidget *w = findChild<QWidget *>(QLatin1String(t.component));
            if (!w)
                continue;
            const QString caption = (de ? t.de : t.en).toString();
            if (auto *box = qobject_cast<QGroupBox *>(w))
                box->setTitle(caption);
            else if (auto *button = qobject_cast<QAbstractButton *>(w))
                button->setText(caption);
            w->setToolTip((de ? t.deHint : t.enHint).toString());
        }
    }
}

void Tsuchopt::StandardClick()
{
    m_options.resetToStart();
}

void Tsuchopt::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}
