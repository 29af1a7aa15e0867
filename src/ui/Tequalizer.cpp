#include "ui/Tequalizer.h"

#include "playback/EqualizerModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The window's texts, German and English; the presets in the model's order.
struct EqText
{
    const char16_t *de, *en;
};
constexpr EqText kTitle{u"Equalizer", u"Equalizer"};
constexpr EqText kOn{u"Ein", u"On"};
constexpr EqText kOwn{u"Eigene Einstellung", u"Custom"};
constexpr EqText kPresets[EqualizerModel::kPresetCount] = {
    {u"Flat", u"Flat"},       {u"Rock", u"Rock"},  {u"Pop", u"Pop"},     {u"Jazz", u"Jazz"},
    {u"Klassik", u"Classical"}, {u"Bass", u"Bass"}, {u"Höhen", u"Treble"}, {u"Stimme", u"Vocal"},
};

QString bandCaption(int hz)
{
    return hz >= 1000 ? QStringLiteral("%1k").arg(hz >= 10000 ? hz / 1000 : std::round(hz / 100.0) / 10.0) : QString::number(hz);
}

} // namespace

Tequalizer::Tequalizer(LanguageCode &lang, EqualizerModel &model, QWidget *parent)
    : QWidget(parent, Qt::Window), m_lang(lang), m_model(model)
{
    setObjectName(QStringLiteral("Tequalizer"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    eq_an = new QCheckBox(this);
    eq_an->setObjectName(QStringLiteral("eq_an"));
    eq_vorlage = new QComboBox(this);
    eq_vorlage->setObjectName(QStringLiteral("eq_vorlage"));
    top->addWidget(eq_an);
    top->addStretch(1);
    top->addWidget(eq_vorlage);
    layout->addLayout(top);
    auto *bands = new QGridLayout;
    for (int b = 0; b < EqualizerModel::kBands; ++b) {
        QSlider *s = eq_band[std::size_t(b)] = new QSlider(Qt::Vertical, this);
        s->setObjectName(QStringLiteral("eq_band%1").arg(b));
        s->setRange(int(EqualizerModel::kMinGain), int(EqualizerModel::kMaxGain));
        s->setTickPosition(QSlider::TicksBothSides);
        s->setTickInterval(6);
        s->setMinimumHeight(140);
        s->setAccessibleName(bandCaption(EqualizerModel::centreFrequencies()[std::size_t(b)]) + QStringLiteral(" Hz"));
        connect(s, &QSlider::valueChanged, this, [this, b](int dB) {
            if (!m_showing)
                m_model.setGain(b, dB);
        });
        bands->addWidget(s, 0, b, Qt::AlignHCenter);
        auto *caption = new QLabel(bandCaption(EqualizerModel::centreFrequencies()[std::size_t(b)]), this);
        bands->addWidget(caption, 1, b, Qt::AlignHCenter);
    }
    layout->addLayout(bands);
    connect(eq_an, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_showing)
            m_model.setEnabled(on);
    });
    connect(eq_vorlage, &QComboBox::activated, this, [this](int index) {
        if (index < EqualizerModel::kPresetCount)
            m_model.applyPreset(index);
    });
    connect(&m_model, &EqualizerModel::changed, this, &Tequalizer::showModel);
    LocalSpr();
}

void Tequalizer::LocalSpr()
{
    setWindowTitle(m_lang.text(kTitle.de, kTitle.en));
    eq_an->setText(m_lang.text(kOn.de, kOn.en));
    const QSignalBlocker quiet(eq_vorlage);
    eq_vorlage->clear();
    for (const EqText &t : kPresets)
        eq_vorlage->addItem(m_lang.text(t.de, t.en));
    eq_vorlage->addItem(m_lang.text(kOwn.de, kOwn.en)); // shown while the bands are set by hand
    showModel();
}

void Tequalizer::showModel()
{
    m_showing = true;
    eq_an->setChecked(m_model.enabled());
    for (int b = 0; b < EqualizerModel::kBands; ++b)
        eq_band[std::size_t(b)]->setValue(int(std::lround(m_model.gains()[std::size_t(b)])));
    const QSignalBlocker quiet(eq_vorlage);
    eq_vorlage->setCurrentIndex(m_model.preset() >= 0 ? m_model.preset() : EqualizerModel::kPresetCount);
    m_showing = false;
}
