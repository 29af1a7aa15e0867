#include "session/SelectedRows.h"

#include <QItemSelectionModel>
#include <QStandardItemModel>

#include <gtest/gtest.h>

namespace {

struct Pick
{
    int top, left, bottom, right;
    QItemSelectionModel::SelectionFlags how;
};

struct SelectionCase
{
    const char *name;
    std::vector<Pick> picks;
    QList<int> rows;
};

class SelectedRowsTest : public ::testing::TestWithParam<SelectionCase>
{};

// Whatever ranges the clicks leave behind, the rows are Qt's own answer, ascending and once each.
TEST_P(SelectedRowsTest, AgreesWithQtsOwnAnswer)
{
    QStandardItemModel model(10, 3);
    QItemSelectionModel selection(&model);
    for (const Pick &p : GetParam().picks)
        selection.select(QItemSelection(model.index(p.top, p.left), model.index(p.bottom, p.right)), p.how);
    QList<int> qts;
    for (const QModelIndex &index : selection.selectedRows())
        qts.append(index.row());
    std::sort(qts.begin(), qts.end());
    // Compared as vectors: this Qt compares an empty list with a null one through memcmp(nullptr).
    const QList<int> ours = selectedRowNumbers(selection);
    const std::vector<int> rows(ours.begin(), ours.end());
    EXPECT_EQ(rows, std::vector<int>(GetParam().rows.begin(), GetParam().rows.end()));
    EXPECT_EQ(rows, std::vector<int>(qts.begin(), qts.end()));
}

constexpr auto Select = QItemSelectionModel::Select;
constexpr auto Deselect = QItemSelectionModel::Deselect;
constexpr auto Toggle = QItemSelectionModel::Toggle;

INSTANTIATE_TEST_SUITE_P(
    Ranges, SelectedRowsTest,
    ::testing::Values(SelectionCase{"nothing", {}, {}},
                      SelectionCase{"everything", {{0, 0, 9, 2, Select}}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
                      SelectionCase{"a hole clicked out", {{0, 0, 9, 2, Select}, {4, 0, 5, 2, Deselect}},
                                    {0, 1, 2, 3, 6, 7, 8, 9}},
                      SelectionCase{"overlapping, picked last first",
                                    {{6, 0, 8, 2, Select}, {1, 0, 2, 2, Select}, {2, 0, 7, 2, Select}},
                                    {1, 2, 3, 4, 5, 6, 7, 8}},
                      SelectionCase{"a row toggled twice", {{3, 0, 3, 2, Toggle}, {3, 0, 3, 2, Toggle}}, {}},
                      SelectionCase{"single cells are no row", {{2, 1, 2, 1, Select}}, {}},
                      SelectionCase{"a row made whole by its cells",
                                    {{2, 0, 2, 0, Select}, {2, 1, 4, 2, Select}, {4, 0, 4, 0, Select}},
                                    {2, 4}}),
    [](const auto &param) {
        std::string name = param.param.name;
        std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });

} // namespace
