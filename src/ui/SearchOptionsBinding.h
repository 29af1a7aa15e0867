#pragma once

#include <QObject>

class QBoxLayout;
class QWidget;

#include <array>

class QAbstractButton;
class QCheckBox;
class QRadioButton;
class QWidget;
class SearchOptionsModel;

// Connects the option controls of one view (the panel of the main window or the options
// window) to the shared options: a click changes the model, and every change of the model is
// shown by the controls. The controls are found by their names inside the container; the
// exact-term box is named differently in the two views. The column shortcuts sp_rballes,
// sp_rbnix and sp_rbstandard are optional.
class SearchOptionsBinding : public QObject
{
    Q_OBJECT
public:
    SearchOptionsBinding(QWidget *container, SearchOptionsModel &model, const char *exactName);

    // Names of the column check boxes in field order (Artist ... Path).
    static const std::array<const char *, 8> &columnNames();
    // Builds the two option groups ("sp_gb1" columns, "sp_gb2" criteria) into layout, with the
    // controls named as the binding expects; exactName differs between panel and window, and
    // only the panel has the three column radio buttons.
    static void addOptionGroups(QWidget *parent, QBoxLayout *layout, const char *exactName, bool columnRadios);

private:
    void show();

    SearchOptionsModel &m_model;
    std::array<QCheckBox *, 8> m_columns{};
    QCheckBox *m_case = nullptr;
    QCheckBox *m_exact = nullptr;
    QCheckBox *m_inverse = nullptr;
    std::array<QRadioButton *, 3> m_modes{}; // whole term, AND, OR
    QRadioButton *m_all = nullptr;
    QRadioButton *m_none = nullptr;
    QRadioButton *m_standard = nullptr;
};
