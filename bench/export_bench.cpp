// Exporting 100,000 songs with the default template and sorting, beside the baseline of
// concatenating the same fields into the same number of lines; and one rebuild of the export
// window's output box as typing a template with auto update causes it.
// Run: build-bench/bench/export_bench  (uses the offscreen platform unless told otherwise)
#include "core/LanguageCode.h"
#include "core/OutputSettings.h"
#include "core/SongLists.h"
#include "export/ListWriter.h"
#include "ui/Ttxtexport.h"
#include "session/TxtExportController.h"
#include "session/UserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

namespace {

constexpr int kSongs = 100000;

SongLists &lists()
{
    static SongLists l;
    static const bool filled = [] {
        static const char *const kWords[] = {"Love", "Night", "Äpfel", "river", "Blue", "Song", "ärger", "Road",
                                             "Stone", "light", "Über", "Dream", "Fire", "ocean", "Rain", "Heart"};
        SongList s;
        s.reserve(kSongs);
        quint32 seed = 12345;
        auto word = [&] {
            seed = seed * 1103515245u + 12345u;
            return QString::fromUtf8(kWords[(seed >> 16) % 16]);
        };
        for (int i = 0; i < kSongs; ++i) {
            TSongRecord r;
            r.Artist = word() + QStringLiteral(" Band %1").arg(i % 997);
            r.Title = word() + QLatin1Char(' ') + word() + QLatin1Char(' ') + word();
            r.Length = QStringLiteral("3:%1").arg(i % 60, 2, 10, QLatin1Char('0'));
            r.Album = word() + QStringLiteral(" %1").arg(i % 331);
            r.Path = QStringLiteral("/home/user/Music/%1.mp3").arg(i);
            s.append(r);
        }
        l.replaceAll(std::move(s));
        return true;
    }();
    (void)filled;
    return l;
}

void BM_Baseline_ConcatenateFields(benchmark::State &state)
{
    const QString dash = QStringLiteral(" - ");
    for (auto _ : state) {
        QStringList lines;
        lines.reserve(kSongs);
        for (const TSongRecord &r : std::as_const(lists().AllSongs()))
            lines.append(r.Artist + dash + r.Title);
        benchmark::DoNotOptimize(lines);
    }
}

// The default template, sorted, and the text a save writes.
void BM_ExportDefaultTemplateSorted(benchmark::State &state)
{
    ExportOptions o;
    o.templateText = QStringLiteral("%artist% - %title%");
    for (auto _ : state) {
        const QString text = exportFileText(exportOutput({}, buildExportLines(lists().AllSongs(), o), false, true));
        benchmark::DoNotOptimize(text);
    }
}

// The same without sorting: what the lines cost on their own.
void BM_ExportDefaultTemplateUnsorted(benchmark::State &state)
{
    ExportOptions o;
    o.templateText = QStringLiteral("%artist% - %title%");
    o.sort = false;
    for (auto _ : state) {
        const QString text = exportFileText(exportOutput({}, buildExportLines(lists().AllSongs(), o), false, true));
        benchmark::DoNotOptimize(text);
    }
}

class NoDialogs : public UserDialogs
{
public:
    QString openFileName(QWidget *, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &) override { return {}; }
    QStringList openFileNames(QWidget *, const QString &) override { return {}; }
    QString existingDirectory(QWidget *, const QString &) override { return {}; }
    void showError(QWidget *, const QString &) override {}
    void showMessage(QWidget *, const QString &) override {}
    void showFailure(const QString &) override {}
    bool ask(QWidget *, const QString &) override { return false; }
    QString saveFileNameAs(QWidget *, const QString &, const QString &) override { return {}; }
    std::optional<QFont> chooseFont(QWidget *, const QFont &) override { return std::nullopt; }
    std::optional<QColor> chooseColor(QWidget *, const QColor &) override { return std::nullopt; }
};

// One keystroke in the template box with auto update: the list written and shown in the output
// box, and the window painted.
void BM_WindowRebuildOnKeystroke(benchmark::State &state)
{
    LanguageCode lang;
    OutputSettings output;
    NoDialogs dialogs;
    TxtExportController controller(lists(), output, lang, dialogs);
    Ttxtexport window(lang, controller);
    window.show();
    QApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        // Alternating between two templates keeps the history from growing.
        window.formstr->setEditText((++i % 2) ? QStringLiteral("%artist% - %title%!") : QStringLiteral("%artist% - %title%"));
        window.repaint();
        benchmark::DoNotOptimize(window.output->blockCount());
    }
}

} // namespace

BENCHMARK(BM_Baseline_ConcatenateFields)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportDefaultTemplateSorted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportDefaultTemplateUnsorted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowRebuildOnKeystroke)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    lists(); // built once, outside every measurement
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
