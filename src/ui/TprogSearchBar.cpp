// The main window's search bar and search options panel, shown from the search controller.
#include "ui/Tprog.h"
#include "ui/SongTableView.h"

#include "ui/SearchOptionsBinding.h"
#include "session/Session.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

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

namespace {

// The options panel's frame: as wide as the options' texts need in the current language, and
// scrolling when the window is too low for all of them, so that a small screen keeps the play
// controls in sight.
class OptionsScrollArea : public QScrollArea
{
public:
    explicit OptionsScrollArea(QWidget *parent) : QScrollArea(parent)
    {
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setWidgetResizable(true);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    }
    void setPanel(QWidget *panel)
    {
        setWidget(panel);
        panel->installEventFilter(this);
    }
    QSize sizeHint() const override
    {
        const int content = widget() ? widget()->sizeHint().width() : 0;
        // Room for the scroll bar, so that it never covers a text.
        return {std::max(kMinimumWidth, content + verticalScrollBar()->sizeHint().width()), 0};
    }
    QSize minimumSizeHint() const override { return {sizeHint().width(), 0}; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // New texts (a language switch) change the width the panel needs.
        if (watched == widget() && event->type() == QEvent::LayoutRequest)
            updateGeometry();
        return QScrollArea::eventFilter(watched, event);
    }

private:
    static constexpr int kMinimumWidth = 127;
};

} // namespace

QWidget *Tprog::createSearchOptions(QWidget *parent)
{
    auto *area = new OptionsScrollArea(parent);
    area->setObjectName(QStringLiteral("pa_suchopt"));
    auto *panel = new QWidget(area);
    panel->setObjectName(QStringLiteral("pa_suchopt_inhalt"));
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 3, 0, 0);
    SearchOptionsBinding::addOptionGroups(panel, layout, "s_strexakt", true);
    layout->addStretch(1);
    new SearchOptionsBinding(panel, m_session.searchOptions, "s_strexakt");
    area->setPanel(panel);
    return area;
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

    connect(regexsuche, &QAbstractButton::toggled, &options, &SearchOptionsModel::setRegex);
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
    // The first hits, not the old result's scroll position.
    connect(&search, &SearchController::newResultShown, lv, &QAbstractItemView::scrollToTop);
}
