#pragma once

#include "core/LanguageCode.h"

#include <QWidget>

#include <array>

class EqualizerModel;
class QCheckBox;
class QComboBox;
class QSlider;

// The equalizer window: on or off, a preset, and one slider per band (-24 to +12 dB). Every
// change is heard at once; the model keeps the state, the window only shows it.
class Tequalizer : public QWidget
{
    Q_OBJECT
public:
    Tequalizer(LanguageCode &lang, EqualizerModel &model, QWidget *parent = nullptr);

    // Language routine.
    void LocalSpr();

    QCheckBox *eq_an;
    QComboBox *eq_vorlage;
    std::array<QSlider *, 10> eq_band{};

private:
    void showModel();

    LanguageCode &m_lang;
    EqualizerModel &m_model;
    bool m_showing = false;
};
