#include "session/OutputSettingsController.h"

#include "core/picture/PictureWriter.h"
#include "export/OutputColour.h"
#include "session/UserDialogs.h"

OutputSettingsController::OutputSettingsController(OutputSettings &output, UserDialogs &dialogs, QObject *parent)
    : QObject(parent), m_output(output), m_dialogs(dialogs)
{
    m_output.OutputEncoding = TTextEncoding::teUtf8;
    setBackground(m_output.picture.background);
}

void OutputSettingsController::setEncoding(TTextEncoding encoding)
{
    m_output.OutputEncoding = encoding;
    Q_EMIT changed();
}

PictureFont OutputSettingsController::pictureFontOf(const QFont &font)
{
    PictureFont f;
    f.family = font.family();
    if (font.pixelSize() > 0)
        f.pixelSize = font.pixelSize();
    else
        f.pointSize = font.pointSizeF();
    f.weight = font.weight();
    f.italic = font.italic();
    f.underline = font.underline();
    f.strikeOut = font.strikeOut();
    return f;
}

QFont OutputSettingsController::pictureFont() const
{
    return pictureQFont(m_output.picture.font);
}

QColor OutputSettingsController::fieldTextColour() const
{
    return QColor::fromRgba(readableTextColour(m_output.picture.background));
}

void OutputSettingsController::BitBtn6Click(QWidget *parent)
{
    if (const std::optional<QFont> font = m_dialogs.chooseFont(parent, pictureFont())) {
        m_output.picture.font = pictureFontOf(*font);
        Q_EMIT changed();
    }
}

void OutputSettingsController::BitBtn1Click(QWidget *parent)
{
    if (const std::optional<QColor> colour = m_dialogs.chooseColor(parent, background())) {
        setBackground(colour->rgb());
        Q_EMIT changed();
    }
}

void OutputSettingsController::Edit1Change(const QString &text)
{
    m_fieldText = text;
    if (const std::optional<quint32> rgb = parseColourField(text)) {
        m_output.picture.background = *rgb;
        // The font dialog here has no colour: the picture's text takes the readable colour.
        m_output.picture.textColor = readableTextColour(*rgb);
    }
    Q_EMIT changed();
}

void OutputSettingsController::setBackground(quint32 rgb)
{
    m_output.picture.background = 0xFF000000u | rgb;
    m_output.picture.textColor = readableTextColour(rgb);
    m_fieldText = ::colourFieldText(rgb);
}
