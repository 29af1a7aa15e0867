#include "ui/ReplayGainMenu.h"

#include "playback/ReplayGainModel.h"
#include "ui/LanguageTexts.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include <span>

namespace {

using Mode = ReplayGainModel::Mode;

constexpr std::pair<const char *, Mode> kModes[] = {
    {"rg_aus", Mode::Off}, {"rg_titel", Mode::Track}, {"rg_album", Mode::Album}, {"rg_auto", Mode::Automatic}};
// The steps the menus offer, in decibels: the pre-amp either way, songs without values
// lowered as far as loud untagged songs need (each step keeps an access key of its own).
constexpr int kPreampSteps[] = {-6, -3, 0, 3, 6};
constexpr int kDefaultSteps[] = {-12, -9, -6, -3, 0};

QMenu *namedSubmenu(QMenu *parent, const char *component)
{
    QMenu *m = parent->addMenu(QString());
    m->setObjectName(QLatin1String(component) + QLatin1String("_menu"));
    m->menuAction()->setObjectName(QLatin1String(component));
    return m;
}

QAction *tickItem(QMenu *menu, QObject *owner, const QString &name, QActionGroup *group)
{
    auto *a = new QAction(owner);
    a->setObjectName(name);
    a->setCheckable(true);
    if (group)
        group->addAction(a);
    menu->addAction(a);
    return a;
}

// A menu of decibel steps; its items are named component_<step>, their texts the numbers.
void addStepMenu(QMenu *parent, QObject *owner, const char *component, std::span<const int> steps,
                 double (ReplayGainModel::*get)() const, void (ReplayGainModel::*set)(double), ReplayGainModel &model)
{
    QMenu *menu = namedSubmenu(parent, component);
    auto *group = new QActionGroup(menu);
    const UiText *unit = LanguageTexts::find(LanguageTexts::mainMenu(), "rg_db");
    QList<QAction *> items;
    for (int step : steps) {
        QAction *a = tickItem(menu, owner, QLatin1String(component) + QLatin1Char('_') + QString::number(step), group);
        // The same in both languages: a signed number and its unit.
        a->setText(unit->en.toString().arg(step > 0 ? QLatin1Char('+') + QString::number(step) : QString::number(step)));
        QObject::connect(a, &QAction::triggered, &model, [&model, set, step] { (model.*set)(step); });
        items << a;
    }
    auto tick = [&model, get, items, steps] {
        for (std::size_t i = 0; i < steps.size(); ++i)
            items[qsizetype(i)]->setChecked(steps[i] == (model.*get)());
    };
    QObject::connect(&model, &ReplayGainModel::changed, menu, tick);
    tick();
}

} // namespace

void addReplayGainMenu(QMenu *parent, QObject *owner, ReplayGainModel &model)
{
    QMenu *menu = namedSubmenu(parent, "mw_replaygain");
    auto *modes = new QActionGroup(menu);
    QList<QAction *> modeItems;
    for (const auto &[component, mode] : kModes) {
        QAction *a = tickItem(menu, owner, QLatin1String(component), modes);
        QObject::connect(a, &QAction::triggered, &model, [&model, m = mode] { model.setMode(m); });
        modeItems << a;
    }
    menu->addSeparator();
    addStepMenu(menu, owner, "rg_vorverstaerkung", kPreampSteps, &ReplayGainModel::preampDb,
                &ReplayGainModel::setPreampDb, model);
    addStepMenu(menu, owner, "rg_ohnewerte", kDefaultSteps, &ReplayGainModel::defaultDb, &ReplayGainModel::setDefaultDb,
                model);
    QAction *clip = tickItem(menu, owner, QStringLiteral("rg_clipschutz"), nullptr);
    QObject::connect(clip, &QAction::triggered, &model, [&model](bool on) { model.setPreventClipping(on); });
    auto tick = [&model, modeItems, clip] {
        for (std::size_t i = 0; i < std::size(kModes); ++i)
            modeItems[qsizetype(i)]->setChecked(kModes[i].second == model.mode());
        clip->setChecked(model.preventClipping());
    };
    QObject::connect(&model, &ReplayGainModel::changed, menu, tick);
    tick();
}
