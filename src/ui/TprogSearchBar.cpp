// The main window's search bar and search options panel, shown from the search controller.
#include "ui/Tprog.h"

#include "ui/SearchOptionsBinding.h"
#include "ui/Session.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kBarInset = 8;

} // namespace

QWidget *Tprog::createSearchBar(QWidget *parent)
{
    auto *bar = new QWidget(parent);
    bar->setObjectName(QStringLiteral("pa_suche"));
    bar->setFixedHeight(33);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(kBarInset, 6, kBarInset, 6);
    suchwort = new QLineEdit(bar);
    suchwort->setObjectName(QStringLiteral("suchwort"));
    layout->addWidget(suchwort, 1);
    regexsuche = new QCheckBox(QStringLiteral("RegEx"), bar);
    regexsuche->setObjectName(QStringLiteral("regexsuche"));
    layout->addWidget(regexsuche);
    for (const char *name : {"Suchen", "Opt", "Alle"}) {
        auto *b = new QPushButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setFixedSize(63, 21);
        layout->addWidget(b);
    }
    return bar;
}

QWidget *Tprog::createSearchOptions(QWidget *parent)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("pa_suchopt"));
    panel->setFixedWidth(127);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 3, 0, 0);
    SearchOptionsBinding::addOptionGroups(panel, layout, "s_strexakt", true);
    layout->addStretch(1);
    new SearchOptionsBinding(panel, m_session.searchOptions, "s_strexakt");
    return panel;
}

void Tprog::bindSearch()
{
    SearchController &search = m_session.search;
    SearchOptionsModel &options = m_session.searchOptions;

    connect(suchwort, &QLineEdit::textChanged, &search, &SearchController::setSearchTerm);
    // Enter searches and goes no further (returnPressed is not passed on to the window).
    connect(suchwort, &QLineEdit::returnPressed, &search, [&search] { search.SuchenClick(); });
    connect(&search, &SearchController::searchTermChanged, suchwort, &QLineEdit::setText);
    connect(&search, &SearchController::focusSearchTermRequested, suchwort, [this] { suchwort->setFocus(); });

    connect(regexsuche, &QAbstractButton::clicked, &options, &SearchOptionsModel::setRegex);
    connect(&options, &SearchOptionsModel::regexChanged, regexsuche, &QAbstractButton::setChecked);

    connect(findChild<QPushButton *>(QStringLiteral("Suchen")), &QPushButton::clicked, &search,
            [&search] { search.SuchenClick(); });
    connect(findChild<QPushButton *>(QStringLiteral("Opt")), &QPushButton::clicked, &search,
            &SearchController::suchoptpanelClick);
    connect(findChild<QPushButton *>(QStringLiteral("Alle")), &QPushButton::clicked, &search,
            &SearchController::AlleClick);

    connect(&search, &SearchController::searchBarShownChanged, this, [this](bool shown) {
        action("msuche")->setChecked(shown);
        pa_suche->setVisible(shown);
    });
    connect(&search, &SearchController::optionsPanelShownChanged, this, [this](bool shown) {
        action("suchoptpanel")->setChecked(shown);
        pa_suchopt->setVisible(shown);
    });
    connect(&search, &SearchController::errorRaised, this, &Tprog::showError);
}
