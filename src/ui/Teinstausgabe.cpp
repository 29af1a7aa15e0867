#include "ui/Teinstausgabe.h"

#include "ui/ExportWindowTexts.h"
#include "session/OutputSettingsController.h"
#include "ui/WindowTexts.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// A page that explains the encodings, for the link under the radio buttons.
const char kEncodingsPage[] = "https://www.unicode.org/faq/utf_bom.html";

} // namespace

Teinstausgabe::Teinstausgabe(LanguageCode &lang, OutputSettingsController &controller, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_lang(lang), m_controller(controller)
{
    setObjectName(QStringLiteral("Teinstausgabe"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);
    auto named = [](auto *w, const char *name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };

    auto *layout = new QVBoxLayout(this);
    GroupBox1 = named(new QGroupBox(this), "GroupBox1");
    auto *picture = new QVBoxLayout(GroupBox1);
    Label6 = named(new QLabel(GroupBox1), "Label6");
    picture->addWidget(Label6);
    auto *row = new QHBoxLayout;
    Label3 = named(new QLabel(GroupBox1), "Label3");
    BitBtn6 = named(new QPushButton(GroupBox1), "BitBtn6");
    BitBtn1 = named(new QPushButton(GroupBox1), "BitBtn1");
    Edit1 = named(new QLineEdit(GroupBox1), "Edit1");
    Edit1->setAutoFillBackground(true);
    Edit1->setMaximumWidth(80);
    row->addWidget(Label3, 1);
    row->addWidget(BitBtn6);
    row->addWidget(BitBtn1);
    row->addWidget(Edit1);
    picture->addLayout(row);
    layout->addWidget(GroupBox1);

    GroupBox2 = named(new QGroupBox(this), "GroupBox2");
    auto *coding = new QVBoxLayout(GroupBox2);
    Label5 = named(new QLabel(GroupBox2), "Label5");
    coding->addWidget(Label5);
    const std::pair<const char *, TTextEncoding> radios[] = {
        {"rb_ansi", TTextEncoding::teAnsi},       {"rb_utf7", TTextEncoding::teUtf7},
        {"rb_utf7ansi", TTextEncoding::teUtf7AsAnsi}, {"rb_utf8", TTextEncoding::teUtf8},
        {"rb_beibehalten", TTextEncoding::teUtf8}, {"rb_utf16le", TTextEncoding::teUtf16LE},
        {"rb_utf_be", TTextEncoding::teUtf16BE},  {"rb_utf32le", TTextEncoding::teUtf32LE},
        {"rb_utf32be", TTextEncoding::teUtf32BE},
    };
    for (const auto &[name, encoding] : radios) {
        auto *b = named(new QRadioButton(GroupBox2), name);
        coding->addWidget(b);
        encodingButtons.emplace_back(b, encoding);
        const TTextEncoding e = encoding;
        // However the button becomes checked: a click, the keyboard or an assistive tool.
        connect(b, &QRadioButton::toggled, this, [this, e](bool on) {
            if (on)
                m_controller.setEncoding(e);
        });
    }
    rb_beibehalten = encodingButtons[4].first;
    rb_beibehalten->setEnabled(false);
    layout->addWidget(GroupBox2);

    Label4 = named(new QLabel(this), "Label4");
    Label7 = named(new QLabel(this), "Label7");
    Label7->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(QLatin1String(kEncodingsPage)));
    Label7->setOpenExternalLinks(true);
    layout->addWidget(Label4);
    layout->addWidget(Label7);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Button1 = named(new QPushButton(this), "Button1");
    buttons->addWidget(Button1);
    layout->addLayout(buttons);

    connect(BitBtn6, &QPushButton::clicked, this, [this] { m_controller.BitBtn6Click(this); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { m_controller.BitBtn1Click(this); });
    connect(Edit1, &QLineEdit::textEdited, this, [this](const QString &t) { m_controller.Edit1Change(t); });
    connect(Button1, &QPushButton::clicked, this, &QWidget::close);
    connect(&m_controller, &OutputSettingsController::changed, this, &Teinstausgabe::showState);

    Sprache();
    showState();
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Teinstausgabe::Sprache()
{
    const bool de = m_lang.isDe();
    if (const UiText *title = LanguageTexts::find(LanguageTexts::windowTitles(), "Teinstausgabe"))
        setWindowTitle((de ? title->de : title->en).toString());
    for (const UiText &t : LanguageTexts::outputSettingsWindow())
        LanguageTexts::applyControlText(*this, t.component, (de ? t.de : t.en).toString());
}

void Teinstausgabe::showState()
{
    for (const auto &[button, encoding] : encodingButtons)
        if (encoding == m_controller.encoding() && button->isEnabled())
            button->setChecked(true);
    Label3->setFont(m_controller.pictureFont());
    if (Edit1->text() != m_controller.colourFieldText())
        Edit1->setText(m_controller.colourFieldText());
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Base, m_controller.background());
    palette.setColor(QPalette::Text, m_controller.fieldTextColour());
    Edit1->setPalette(palette);
}

void Teinstausgabe::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    const QRect over = m_centreOver && m_centreOver->isVisible()
                           ? m_centreOver->frameGeometry()
                           : (screen() ? screen() : QGuiApplication::primaryScreen())->availableGeometry();
    move(over.center() - rect().center());
}
