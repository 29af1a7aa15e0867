#include "ui/SearchOptionsBinding.h"

#include "session/SearchOptionsModel.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalBlocker>

#include <vector>

namespace {

template <typename T>
T *control(QWidget *container, const char *name)
{
    return container->findChild<T *>(QLatin1String(name));
}

// Checks one radio button of an auto-exclusive set, or none (checked == nullptr).
void checkOnly(std::initializer_list<QRadioButton *> buttons, QRadioButton *checked)
{
    for (QRadioButton *b : buttons) {
        if (!b)
            continue;
        // An auto-exclusive button cannot be unchecked directly.
        b->setAutoExclusive(false);
        b->setChecked(b == checked);
        b->setAutoExclusive(true);
    }
}

} // namespace

const std::array<const char *, 8> &SearchOptionsBinding::columnNames()
{
    static const std::array<const char *, 8> names = {"s_interpret", "s_titel", "s_laenge", "s_album",
                                                      "s_track",     "s_jahr",  "s_genre",  "s_datei"};
    return names;
}

// Every control answers toggled, not clicked: a box or radio button ticked by the keyboard or
// by an assistive tool (through the accessibility bus) must change the options as a click does.
// show() sets them with their signals blocked, so the model's own state never echoes back.
SearchOptionsBinding::SearchOptionsBinding(QWidget *container, SearchOptionsModel &model, const char *exactName)
    : QObject(container), m_model(model)
{
    for (size_t f = 0; f < m_columns.size(); ++f) {
        m_columns[f] = control<QCheckBox>(container, columnNames()[f]);
        if (m_columns[f])
            connect(m_columns[f], &QAbstractButton::toggled, this,
                    [this, f](bool on) { m_model.setColumn(int(f), on); });
    }
    m_case = control<QCheckBox>(container, "s_grkl");
    m_exact = control<QCheckBox>(container, exactName);
    m_inverse = control<QCheckBox>(container, "s_invers");
    if (m_case)
        connect(m_case, &QAbstractButton::toggled, &m_model, &SearchOptionsModel::setCaseSensitive);
    if (m_exact)
        connect(m_exact, &QAbstractButton::toggled, &m_model, &SearchOptionsModel::setExact);
    if (m_inverse)
        connect(m_inverse, &QAbstractButton::toggled, &m_model, &SearchOptionsModel::setInverse);

    const char *modeNames[] = {"s_ganz", "s_und", "s_oder"};
    const SearchMode modes[] = {SearchMode::WholeTerm, SearchMode::And, SearchMode::Or};
    for (size_t i = 0; i < m_modes.size(); ++i) {
        m_modes[i] = control<QRadioButton>(container, modeNames[i]);
        if (m_modes[i])
            connect(m_modes[i], &QAbstractButton::toggled, this, [this, mode = modes[i]](bool on) {
                if (on)
                    m_model.setMode(mode);
            });
    }

    m_all = control<QRadioButton>(container, "sp_rballes");
    m_none = control<QRadioButton>(container, "sp_rbnix");
    m_standard = control<QRadioButton>(container, "sp_rbstandard");
    auto onChecked = [this](QRadioButton *b, auto command) {
        if (b)
            connect(b, &QAbstractButton::toggled, this, [command](bool on) {
                if (on)
                    command();
            });
    };
    onChecked(m_all, [this] { m_model.setAllColumns(true); });
    onChecked(m_none, [this] { m_model.setAllColumns(false); });
    onChecked(m_standard, [this] { m_model.resetToStart(); });

    connect(&m_model, &SearchOptionsModel::optionsChanged, this, &SearchOptionsBinding::show);
    show();
}

void SearchOptionsBinding::show()
{
    std::vector<QSignalBlocker> quiet;
    for (QAbstractButton *b : std::initializer_list<QAbstractButton *>{m_case, m_exact, m_inverse, m_all, m_none, m_standard})
        if (b)
            quiet.emplace_back(b);
    for (QAbstractButton *b : m_columns)
        if (b)
            quiet.emplace_back(b);
    for (QAbstractButton *b : m_modes)
        if (b)
            quiet.emplace_back(b);
    const SearchOptions &o = m_model.options();
    for (size_t f = 0; f < m_columns.size(); ++f)
        if (m_columns[f])
            m_columns[f]->setChecked(o.columns[f]);
    if (m_case)
        m_case->setChecked(o.caseSensitive);
    if (m_exact)
        m_exact->setChecked(o.exact);
    if (m_inverse)
        m_inverse->setChecked(o.inverse);
    checkOnly({m_modes[0], m_modes[1], m_modes[2]}, m_modes[size_t(o.mode)]);

    // The column shortcuts show which of them describes the set now, so that the two views
    // agree and a stale mark never claims "all" after a box was cleared.
    QRadioButton *mark = nullptr;
    switch (m_model.columnShortcut()) {
    case SearchOptionsModel::ColumnShortcut::Standard: mark = m_standard; break;
    case SearchOptionsModel::ColumnShortcut::All: mark = m_all; break;
    case SearchOptionsModel::ColumnShortcut::NoColumn: mark = m_none; break;
    case SearchOptionsModel::ColumnShortcut::Unmarked: break;
    }
    checkOnly({m_all, m_none, m_standard}, mark);
}

void SearchOptionsBinding::addOptionGroups(QWidget *parent, QBoxLayout *layout, const char *exactName, bool columnRadios)
{
    auto add = [](QBoxLayout *into, QWidget *control, const char *name) {
        control->setObjectName(QLatin1String(name));
        into->addWidget(control);
    };
    auto *columns = new QGroupBox(parent);
    columns->setObjectName(QStringLiteral("sp_gb1"));
    auto *cl = new QVBoxLayout(columns);
    for (const char *name : columnNames())
        add(cl, new QCheckBox(columns), name);
    if (columnRadios)
        for (const char *name : {"sp_rballes", "sp_rbnix", "sp_rbstandard"})
            add(cl, new QRadioButton(columns), name);
    layout->addWidget(columns);

    auto *criteria = new QGroupBox(parent);
    criteria->setObjectName(QStringLiteral("sp_gb2"));
    auto *kl = new QVBoxLayout(criteria);
    for (const char *name : {"s_grkl", exactName})
        add(kl, new QCheckBox(criteria), name);
    for (const char *name : {"s_ganz", "s_und", "s_oder"})
        add(kl, new QRadioButton(criteria), name);
    add(kl, new QCheckBox(criteria), "s_invers");
    layout->addWidget(criteria);
}
