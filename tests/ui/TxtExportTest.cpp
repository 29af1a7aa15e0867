// The export window and the output settings: their controllers driven as the windows drive
// them, the windows' controls, and sonalo-cli writing the same bytes as the window.
#include "session/SessionFixture.h"
#include "QtTestApp.h"
#include "TempDir.h"
#include "TestApp.h"

#include "app/SonaloApp.h"
#include "cli/CliRunner.h"
#include "core/Playlist.h"
#include "ui/Teinstausgabe.h"
#include "ui/Tprog.h"
#include "ui/OutputBoxFill.h"
#include "ui/Ttxtexport.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QPushButton>
#include <QRadioButton>
#include <QKeyEvent>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

using Panel = TxtExportController::Panel;

// Keys as the user types them, so that the edits report them as typed.
void typeKeys(QWidget *w, const QString &text, int key = 0)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
    if (key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    }
}

class TxtExportTest : public SessionFixture
{
protected:
    TxtExportController &exporter() { return session->txtExport; }
    const SongList &songs() { return session->lists.AllSongs(); }
    void fill()
    {
        SongList list{song("Zed", "last"), song("abba", "Waterloo"), song("ABBA", "waterloo"), song("Tom & Jerry", "<b>")};
        list[1].Genre = u8("Pop");
        list[3].Genre = u8("Hard Rock");
        session->lists.replaceAll(list);
    }
    QString outputText() const { return session->txtExport.outputLines().join(QLatin1Char('\n')); }
};

TEST_F(TxtExportTest, StartsWithTheLanguagesTemplateAndResetsItOnASwitch)
{
    EXPECT_EQ(exporter().templateText(), u8("%artist% - %title%"));
    EXPECT_EQ(exporter().templateHistory(),
              QStringList{u8("%artist%%tab%%title%%tab%%length%%tab%%album%%tab%%track%%tab%%year%%tab%%genre%")});
    const ExportOptions &o = exporter().options();
    EXPECT_TRUE(o.sort && o.removeEmpty && o.leadingZeros && exporter().replaceOld() && exporter().autoUpdate());
    EXPECT_FALSE(o.unique || o.html || o.useFilter || o.findReplace);
    EXPECT_EQ(exporter().edtxt(), u8(" - "));
    for (Panel p : {Panel::Einghilfe, Panel::Filter, Panel::Suchen, Panel::Html, Panel::Einst})
        EXPECT_EQ(exporter().panelHeight(p), 18);

    exporter().setTemplateText(u8("%album%"));
    session->lang.setCode(u8("de"));
    exporter().LocalSpr();
    EXPECT_EQ(exporter().templateText(), u8("%interpret% - %titel%"));
    EXPECT_EQ(exporter().templateHistory(),
              QStringList{u8("%interpret%%tab%%titel%%tab%%länge%%tab%%album%%tab%%track%%tab%%jahr%%tab%%genre%")});
    session->lang.setCode(u8("fr")); // other codes leave the texts alone
    exporter().LocalSpr();
    EXPECT_EQ(exporter().templateText(), u8("%interpret% - %titel%"));
}

TEST_F(TxtExportTest, ChangesWriteAgainOnlyWithAutoUpdate)
{
    fill();
    exporter().setTemplateText(u8("%artist%"));
    EXPECT_EQ(outputText(), u8("abba\nABBA\nTom & Jerry\nZed"));
    EXPECT_TRUE(exporter().templateHistory().contains(u8("%artist%")));
    exporter().setUnique(true);
    EXPECT_EQ(outputText(), u8("abba\nTom & Jerry\nZed"));
    exporter().rb_alleClick(false); // no column: with a filter text nothing passes
    exporter().setPanel(Panel::Filter, true);
    EXPECT_EQ(exporter().panelHeight(Panel::Filter), 107);
    exporter().setFilterText(u8("ROCK"));
    EXPECT_EQ(outputText(), QString());
    exporter().setFilterColumn(6, true);
    EXPECT_EQ(outputText(), u8("Tom & Jerry"));

    exporter().setAutoUpdate(false);
    exporter().setPanel(Panel::Filter, false);
    exporter().CaptionAdden(u8("%123%"));
    EXPECT_EQ(exporter().templateText(), u8("%artist%%123%"));
    EXPECT_EQ(outputText(), u8("Tom & Jerry")) << "written without auto update";
    exporter().formstrKeyPress();
    EXPECT_EQ(outputText(), u8("abba1\nTom & Jerry2\nZed3"));
    exporter().Button12Click();
    EXPECT_EQ(exporter().templateText(), QString());
    EXPECT_EQ(outputText(), u8("abba1\nTom & Jerry2\nZed3")) << "kept without auto update";
    exporter().setAutoUpdate(true);
    exporter().Button9Click();
    EXPECT_EQ(exporter().templateText(), u8(" - "));
    exporter().Button12Click();
    EXPECT_TRUE(exporter().outputLines().isEmpty());
}

TEST_F(TxtExportTest, WritesTheWholePlaylistWhileASearchResultIsShown)
{
    fill();
    session->lists.showFound({songs()[0]});
    exporter().setTemplateText(u8("%titel%"));
    EXPECT_EQ(exporter().outputLines().size(), 4);
}

TEST_F(TxtExportTest, HtmlAppendsTablesUnlessTheOldListIsReplaced)
{
    fill();
    exporter().setTemplateText(u8("%artist%%tab%%title%"));
    exporter().setReplaceOld(false);
    exporter().setPanel(Panel::Html, true);
    EXPECT_EQ(exporter().panelHeight(Panel::Html), 18);
    exporter().SchreibenClick();
    EXPECT_EQ(exporter().outputLines().size(), 4 + 6 + 6) << "the plain list, then a table from each write";
    EXPECT_EQ(exporter().outputLines().count(u8("<table>")), 2);
    EXPECT_TRUE(exporter().outputLines().contains(u8("<tr><td>Tom &amp; Jerry</td><td>&lt;b&gt;</td></tr>")));
    exporter().setPanel(Panel::Html, false); // plain text always replaces
    EXPECT_EQ(outputText(), u8("abba\tWaterloo\nABBA\twaterloo\nTom & Jerry\t<b>\nZed\tlast"));
    exporter().DelOutputClick();
    EXPECT_TRUE(exporter().outputLines().isEmpty());
}

TEST_F(TxtExportTest, SavesTheOutputBoxUnderTheSuffixRulesInTheOutputEncoding)
{
    fill();
    TempDir tmp;
    exporter().setTemplateText(u8("%artist%"));
    exporter().setOutputText(u8("hand\nedited\n"));
    session->outputSettings.setEncoding(TTextEncoding::teUtf16LE);
    dialogs.answers = {tmp.path(u8("liste")), QString()};
    exporter().SpeichernClick();
    EXPECT_EQ(TempDir::read(tmp.path(u8("liste.txt"))), QByteArray("\xFF\xFEh\0a\0n\0d\0\r\0\n\0e\0d\0i\0t\0e\0d\0\r\0\n\0", 30));
    exporter().SpeichernClick(); // cancelled: nothing written, nothing asked
    session->lang.setCode(u8("de"));
    exporter().setPanel(Panel::Html, true);
    dialogs.answers = {tmp.path(u8("liste.html"))};
    exporter().SpeichernClick();
    EXPECT_TRUE(QFileInfo::exists(tmp.path(u8("liste.html"))));
    EXPECT_FALSE(QFileInfo::exists(tmp.path(u8("liste.html.htm"))));
    EXPECT_EQ(dialogs.presetNames, (QStringList{u8("Music List.txt"), u8("Music List.txt"), u8("Musikliste.htm")}));
    EXPECT_EQ(dialogs.filters.last(), u8("Text, HTML (*.txt *.htm *.html)"));

    dialogs.answers = {tmp.path(u8("no-such-folder/liste"))};
    exporter().SpeichernClick();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith(u8("Cannot create file"))) << dialogs.errors[0].toStdString();
}

TEST_F(TxtExportTest, SavingOverAnExportAsksAndNoKeepsTheFile)
{
    fill();
    TempDir tmp;
    QFile old(tmp.path(u8("liste.txt")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    dialogs.answers = {tmp.path(u8("liste")), tmp.path(u8("liste"))};
    dialogs.askAnswers = {false, true};
    exporter().SpeichernClick();
    ASSERT_EQ(dialogs.questions, QStringList{u8("liste.txt already exists.\nDo you want to replace it?")});
    EXPECT_EQ(TempDir::read(tmp.path(u8("liste.txt"))), QByteArray("old"));
    exporter().SpeichernClick();
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_NE(TempDir::read(tmp.path(u8("liste.txt"))), QByteArray("old"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(TxtExportTest, ClipboardGetsTheWholeOutput)
{
    fill();
    exporter().setTemplateText(u8("%titel%"));
    exporter().Button14Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u8("<b>\nlast\nWaterloo\nwaterloo"));
}

TEST_F(TxtExportTest, CliWritesTheSameBytesAsTheWindow)
{
    fill();
    TempDir tmp;
    const QString slp = SavePlaylist(songs(), tmp.path(u8("list.slp")), TTextEncoding::teUtf8, PictureStyle{});
    const struct
    {
        const char *name;
        TTextEncoding encoding;
        const char *encodingName;
        std::function<void(TxtExportController &)> window;
        QStringList cli;
    } cases[] = {
        {"plain", TTextEncoding::teUtf8, "utf8", [](TxtExportController &c) { c.setTemplateText(u8("%123%%tab%%interpret%")); },
         {u8("--template"), u8("%123%%tab%%interpret%")}},
        {"html", TTextEncoding::teUtf16BE, "utf16be",
         [](TxtExportController &c) {
             c.setPanel(Panel::Html, true);
             c.setUnique(true);
             c.setPanel(Panel::Suchen, true);
             c.setFindText(u8("Zed"));
             c.setReplaceText(u8("abba"));
             c.setTemplateText(u8("%artist%%tab%%filename%"));
         },
         {u8("--html"), u8("--unique"), u8("--replace"), u8("Zed"), u8("abba"), u8("--template"), u8("%artist%%tab%%filename%")}},
        {"filtered", TTextEncoding::teUtf7, "utf7",
         [](TxtExportController &c) {
             c.setSort(false);
             c.setLeadingZeros(false);
             c.setPanel(Panel::Filter, true);
             c.setFilterText(u8("a"));
             c.setTemplateText(u8("%123% %title%"));
         },
         {u8("--no-sort"), u8("--no-zeros"), u8("--filter"), u8("a"), u8("--template"), u8("%123% %title%")}},
    };
    for (const auto &c : cases) {
        session = std::make_unique<Session>(options());
        LoadPlaylist(session->lists, slp);
        session->outputSettings.setEncoding(c.encoding);
        c.window(exporter());
        dialogs.answers = {tmp.path(u8("window-") + QLatin1String(c.name))};
        exporter().SpeichernClick();
        const CliResult r = runCli(QStringList{u8("export"), slp, u8("-o"), tmp.path(u8("cli-") + QLatin1String(c.name)),
                                               u8("--encoding"), QLatin1String(c.encodingName)} + c.cli);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QString suffix = exportFileName(QString(), exporter().options().html);
        const QByteArray window = TempDir::read(tmp.path(u8("window-") + QLatin1String(c.name) + suffix));
        EXPECT_FALSE(window.isEmpty()) << c.name;
        EXPECT_EQ(TempDir::read(tmp.path(u8("cli-") + QLatin1String(c.name) + suffix)), window) << c.name;
    }
}

// The windows on the whole program: captions in both languages, and their controls forwarding.
class ExportWindowsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qtTestApp();
        app = std::make_unique<SonaloApp>(testAppOptions(folder.path(), dialogs, players.factory()));
    }
    Session &s() { return app->session(); }
    template <typename T>
    T *child(QWidget *w, const char *name)
    {
        T *c = w->findChild<T *>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    void switchLanguage(const char *action)
    {
        app->prog()->findChild<QAction *>(QLatin1String(action))->trigger();
    }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    FakeAudioScript players;
    std::unique_ptr<SonaloApp> app;
};

TEST_F(ExportWindowsTest, ExportWindowCaptionsPanelsAndControls)
{
    Ttxtexport *w = app->txtexport();
    s().lists.replaceAll({TSongRecord{u"B"_s, u"b"_s, {}, {}, {}, {}, {}, u"b.mp3"_s},
                          TSongRecord{u"A"_s, u"a"_s, {}, {}, {}, {}, {}, u"a.mp3"_s}});
    switchLanguage("Deutsch1");
    EXPECT_EQ(w->windowTitle(), u"Export als Text/HTML Tabelle"_s);
    EXPECT_EQ(child<QCheckBox>(w, "cb_nullen")->text(), u"Führende Nullen bei %123%"_s);
    EXPECT_EQ(child<QPushButton>(w, "Button1")->text(), u"%interpret%"_s);
    EXPECT_EQ(w->formstr->currentText(), u"%interpret% - %titel%"_s);
    switchLanguage("English1");
    EXPECT_EQ(w->windowTitle(), u"Export as Text/HTML Table"_s);
    EXPECT_EQ(child<QPushButton>(w, "Button14")->text(), u"Copy to Clipboard"_s);
    EXPECT_EQ(child<QPushButton>(w, "Button9")->text(), u"Text Hinzufügen"_s);
    EXPECT_EQ(w->formstr->count(), 1);

    // The menu writes before the window shows.
    app->prog()->findChild<QAction *>(u"mtxtexport"_s)->trigger();
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w->output->toPlainText(), u"A - a\nB - b"_s);

    child<QPushButton>(w, "Button12")->click();
    child<QPushButton>(w, "Button2")->click(); // %title%
    EXPECT_EQ(w->formstr->currentText(), u"%title%"_s);
    EXPECT_EQ(w->output->toPlainText(), u"a\nb"_s);
    w->cb_autoupdate->setChecked(false);
    w->formstr->lineEdit()->setFocus();
    typeKeys(w->formstr->lineEdit(), u"!"_s);
    EXPECT_EQ(w->output->toPlainText(), u"a\nb"_s);
    typeKeys(w->formstr->lineEdit(), QString(), Qt::Key_Return);
    EXPECT_EQ(w->output->toPlainText(), u"a!\nb!"_s);
    EXPECT_EQ(w->formstr->count(), 4) << "the history grows by written templates only";

    const std::pair<QCheckBox *, int> panels[] = {{w->cb_einghilfe, 78}, {w->cb_filter, 107}, {w->cb_suchen, 56},
                                                  {w->cb_html, 18}, {w->cb_einst, 65}};
    for (const auto &[box, height] : panels) {
        QWidget *pa = box->parentWidget();
        EXPECT_EQ(pa->height(), 18) << box->objectName().toStdString();
        box->click();
        EXPECT_EQ(pa->maximumHeight(), height) << box->objectName().toStdString();
    }
    w->rb_alle->click();
    for (QCheckBox *c : w->columnBoxes)
        EXPECT_TRUE(c->isChecked());
    EXPECT_TRUE(s().txtExport.options().html);

    // Hand edits are what a save writes.
    w->output->setPlainText(u"typed\nlines"_s);
    EXPECT_EQ(s().txtExport.outputLines(), (QStringList{u"typed"_s, u"lines"_s}));
}

TEST_F(ExportWindowsTest, OutputSettingsWindowSetsEncodingFontAndColour)
{
    Teinstausgabe *w = app->einstausgabe();
    EXPECT_EQ(s().output.OutputEncoding, TTextEncoding::teUtf8);
    app->prog()->findChild<QAction *>(u"so"_s)->trigger();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), u"Output Settings"_s);
    s().lang.setCode(u"fr"_s); // this routine shows English for every code but "de"
    w->Sprache();
    EXPECT_EQ(child<QRadioButton>(w, "rb_utf7ansi")->text(), u"Unicode UTF-7 saved as ANSI"_s);
    switchLanguage("Deutsch1");
    EXPECT_EQ(child<QRadioButton>(w, "rb_beibehalten")->text(), u"Wenn möglich, Kodierung übernehmen"_s);
    EXPECT_FALSE(w->rb_beibehalten->isEnabled());
    EXPECT_TRUE(child<QRadioButton>(w, "rb_utf8")->isChecked());

    for (const auto &[button, encoding] : w->encodingButtons) {
        if (!button->isEnabled())
            continue;
        button->click();
        EXPECT_EQ(s().output.OutputEncoding, encoding) << button->objectName().toStdString();
    }

    typeKeys(w->Edit1, u"x"_s); // "#FFFFFFx": no colour, nothing changes
    EXPECT_EQ(s().output.picture.background, 0xFFFFFFFFu);
    w->Edit1->clear();
    typeKeys(w->Edit1, u"#00ff80"_s);
    EXPECT_EQ(s().output.picture.background, 0xFF00FF80u);
    EXPECT_EQ(w->Edit1->palette().color(QPalette::Base), QColor(0, 255, 128));
    EXPECT_EQ(w->Edit1->palette().color(QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(w->Edit1->text(), u"#00ff80"_s);

    dialogs.colorAnswer = QColor(255, 0, 0);
    w->BitBtn1->click();
    EXPECT_EQ(dialogs.colorsShown.value(0), QColor(0, 255, 128));
    EXPECT_EQ(w->Edit1->text(), u"#FF0000"_s);
    EXPECT_EQ(s().output.picture.textColor, 0xFFFFFFFFu);
    dialogs.colorAnswer.reset();
    w->BitBtn1->click(); // cancelled
    EXPECT_EQ(w->Edit1->text(), u"#FF0000"_s);

    QFont chosen(u"DejaVu Serif"_s);
    chosen.setPixelSize(23);
    chosen.setItalic(true);
    dialogs.fontAnswer = chosen;
    w->BitBtn6->click();
    ASSERT_TRUE(s().output.picture.font.has_value());
    EXPECT_EQ(s().output.picture.font->pixelSize, 23);
    EXPECT_TRUE(s().output.picture.font->italic);
    EXPECT_EQ(w->Label3->font().pixelSize(), 23);
    EXPECT_EQ(dialogs.fontsShown.size(), 1);
}

} // namespace

// Every radio button and check box acts however it becomes ticked: here through the
// accessibility interface, as a screen reader does, which never clicks.
TEST_F(ExportWindowsTest, ButtonsTickedThroughTheAccessibilityInterfaceAct)
{
    auto toggle = [](QWidget *parent, const char *name) {
        auto *b = parent->findChild<QAbstractButton *>(QLatin1String(name));
        ASSERT_TRUE(b) << name;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(b);
        ASSERT_TRUE(a && a->actionInterface()) << name;
        a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    };
    const std::pair<const char *, TTextEncoding> encodings[] = {
        {"rb_utf16le", TTextEncoding::teUtf16LE}, {"rb_ansi", TTextEncoding::teAnsi}, {"rb_utf8", TTextEncoding::teUtf8}};
    for (const auto &[name, encoding] : encodings) {
        toggle(app->einstausgabe(), name);
        EXPECT_EQ(s().output.OutputEncoding, encoding) << name;
    }

    // The search options of the main window's panel and its regex box.
    SearchOptionsModel &model = s().searchOptions;
    const struct { const char *name; std::function<bool(const SearchOptions &)> holds; } searches[] = {
        {"s_genre", [](const SearchOptions &o) { return o.columns[6]; }},
        {"s_grkl", [](const SearchOptions &o) { return o.caseSensitive; }},
        {"s_invers", [](const SearchOptions &o) { return o.inverse; }},
        {"s_oder", [](const SearchOptions &o) { return o.mode == SearchMode::Or; }},
        {"sp_rballes", [](const SearchOptions &o) { return std::ranges::all_of(o.columns, [](bool c) { return c; }); }},
        {"sp_rbnix", [](const SearchOptions &o) { return std::ranges::none_of(o.columns, [](bool c) { return c; }); }},
    };
    for (const auto &c : searches) {
        toggle(app->prog(), c.name);
        EXPECT_TRUE(c.holds(model.options())) << c.name;
    }
    toggle(app->prog(), "regexsuche");
    EXPECT_TRUE(model.regex());
}

// The output box takes a long list in pieces: the same text as setPlainText, a box that holds a
// whole prefix of it at every keep-alive, and no undo history of the pieces.
TEST(OutputBoxFill, PiecesMakeTheTextOfOneSetPlainText)
{
    testApp();
    for (const int count : {0, 3, 4096, 4097, 60000}) {
        SCOPED_TRACE(count);
        QStringList lines;
        for (int i = 0; i < count; ++i)
            lines.append(i % 7 == 0 ? QString() : QStringLiteral("Artist %1 - Title\t%1").arg(i));
        const QString whole = lines.join(QLatin1Char('\n'));
        QPlainTextEdit box;
        box.setPlainText(QStringLiteral("what was there before"));
        QElapsedTimer clock;
        clock.start();
        int ticks = 0;
        fillOutputBox(box, lines, [&] {
            ++ticks;
            const QString shown = box.toPlainText();
            EXPECT_TRUE(whole.startsWith(shown) && (shown.isEmpty() || whole.size() == shown.size() || whole[shown.size()] == QLatin1Char('\n')));
        });
        EXPECT_EQ(box.toPlainText(), whole);
        EXPECT_EQ(box.document()->blockCount(), std::max(1, count));
        EXPECT_FALSE(box.document()->isUndoAvailable());
        if (clock.elapsed() > 150) {
            EXPECT_GT(ticks, 0);
        }
    }
}
