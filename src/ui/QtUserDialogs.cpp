#include "ui/QtUserDialogs.h"

#include "core/LanguageCode.h"
#include "session/AppTitle.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>

namespace {

// Controllers ask without a window of their own: the dialog then goes over the active window
// (the main window, or the dialog that issued the command).
QWidget *owner(QWidget *parent)
{
    return parent ? parent : QApplication::activeWindow();
}

} // namespace

void prepareFileDialog(QFileDialog &dialog, const QString &filter)
{
    // The program's filter names already hold their patterns ("Audio (*.mp3) (*.mp3)"): the
    // dialog shows the names only, else every pattern would stand there twice.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(filter);
}

namespace {

QStringList runFileDialog(QWidget *parent, const QString &filter, QFileDialog::FileMode mode,
                          QFileDialog::AcceptMode accept = QFileDialog::AcceptOpen)
{
    QFileDialog dialog(owner(parent));
    dialog.setFileMode(mode);
    dialog.setAcceptMode(accept);
    // The save commands ask before replacing the file they really write (the dialog does
    // not know the extension the writer adds).
    if (accept == QFileDialog::AcceptSave)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    prepareFileDialog(dialog, filter);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

} // namespace

QString QtUserDialogs::openFileName(QWidget *parent, const QString &filter)
{
    return runFileDialog(parent, filter, QFileDialog::ExistingFile).value(0);
}

QString QtUserDialogs::saveFileName(QWidget *parent, const QString &filter)
{
    return runFileDialog(parent, filter, QFileDialog::AnyFile, QFileDialog::AcceptSave).value(0);
}

QStringList QtUserDialogs::openFileNames(QWidget *parent, const QString &filter)
{
    return runFileDialog(parent, filter, QFileDialog::ExistingFiles);
}

QString QtUserDialogs::existingDirectory(QWidget *parent, const QString &title)
{
    // Only folders of the file system can be chosen.
    return QFileDialog::getExistingDirectory(owner(parent), title, QString(), QFileDialog::ShowDirsOnly);
}

void fitCaption(QMessageBox &box)
{
    // A box is as wide as its text; a short one ("Unmatched ()") would cut the caption. The
    // window manager draws the caption in a bolder, larger font beside its buttons.
    QFont font = box.font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() > 0 ? font.pointSizeF() * 1.2 : 12);
    const int width = QFontMetrics(font).horizontalAdvance(box.windowTitle()) + kCaptionExtras;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

namespace {

void showBox(QWidget *parent, QMessageBox::Icon icon, const QString &message)
{
    QMessageBox box(icon, kApplicationTitle(), message, QMessageBox::Ok, parent);
    fitCaption(box);
    box.exec();
}

} // namespace

void QtUserDialogs::showMessage(QWidget *parent, const QString &message)
{
    showBox(parent, QMessageBox::Information, message);
}

void QtUserDialogs::showError(QWidget *parent, const QString &message)
{
    showBox(parent, QMessageBox::Critical, message);
}

void QtUserDialogs::showFailure(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), message, QMessageBox::Ok);
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    box.exec();
}

bool QtUserDialogs::ask(QWidget *parent, const QString &question)
{
    QMessageBox box(QMessageBox::Question, kApplicationTitle(), question, QMessageBox::Yes | QMessageBox::No,
                    owner(parent));
    box.setDefaultButton(QMessageBox::No);
    fitCaption(box);
    return box.exec() == QMessageBox::Yes;
}

QString QtUserDialogs::saveFileNameAs(QWidget *parent, const QString &filter, const QString &presetName)
{
    // The export asks itself, about the name with the extension the writer adds.
    return QFileDialog::getSaveFileName(owner(parent), QString(), presetName, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

std::optional<QFont> QtUserDialogs::chooseFont(QWidget *parent, const QFont &current)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, owner(parent));
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

std::optional<QColor> QtUserDialogs::chooseColor(QWidget *parent, const QColor &current)
{
    const QColor colour = QColorDialog::getColor(current, owner(parent));
    return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
}
