#pragma once

#include "core/OutputSettings.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>

class QWidget;
class UserDialogs;

// The output settings without their window: the encoding every text file is written in, and
// the font and background of pictures written instead of text. Nothing is stored: each start
// begins with UTF-8, the application font and white.
class OutputSettingsController : public QObject
{
    Q_OBJECT
public:
    OutputSettingsController(OutputSettings &output, UserDialogs &dialogs, QObject *parent = nullptr);

    // The radio buttons; "adopt the coding" has no encoding of its own and selects UTF-8.
    void setEncoding(TTextEncoding encoding);
    void rb_beibehaltenClick() { setEncoding(TTextEncoding::teUtf8); }
    TTextEncoding encoding() const { return m_output.OutputEncoding; }

    // The picture font, as the sample label shows it.
    QFont pictureFont() const;
    // The background field: its text, its colour, and the text colour readable on it.
    const QString &colourFieldText() const { return m_fieldText; }
    QColor background() const { return QColor::fromRgba(m_output.picture.background); }
    QColor fieldTextColour() const;

    void BitBtn6Click(QWidget *parent = nullptr); // the font dialog
    void BitBtn1Click(QWidget *parent = nullptr); // the colour dialog
    // Typing in the background field: a colour when it names one, else nothing changes.
    void Edit1Change(const QString &text);

    static PictureFont pictureFontOf(const QFont &font);

Q_SIGNALS:
    void changed();

private:
    void setBackground(quint32 rgb);

    OutputSettings &m_output;
    UserDialogs &m_dialogs;
    QString m_fieldText;
};
