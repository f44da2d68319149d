#include "qtdialogs.h"

#include "helpwindow.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

Dialogs::Answer QtDialogs::message(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                                   const QString& title)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Stop:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    if (buttons == Buttons::YesNo) {
        QPushButton* yes = box.addButton(QStringLiteral("&Tak"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&Nie"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

QString QtDialogs::input(QWidget* parent, const QString& prompt, const QString& title)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? text : QString();
}

QString QtDialogs::chooseFile(QWidget* parent, const OpenFileDialog& dialog)
{
    QFileDialog fd(parent, dialog.title, dialog.initialDir);
    // One existing or typed file name: a typed name that does not exist yet is accepted.
    fd.setFileMode(QFileDialog::AnyFile);
    fd.setAcceptMode(QFileDialog::AcceptOpen);
    fd.setOption(QFileDialog::DontConfirmOverwrite);
    if (!dialog.fileName.isEmpty())
        fd.selectFile(dialog.fileName);
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return QString();
    return fd.selectedFiles().constFirst();
}

void QtDialogs::chooseSaveFile(QWidget* parent, SaveFileDialog& dialog)
{
    QFileDialog fd(parent, dialog.title, dialog.initialDir, dialog.filters.join(QStringLiteral(";;")));
    fd.setAcceptMode(QFileDialog::AcceptSave);
    dialog.fileName.clear();
    if (fd.exec() == QDialog::Accepted && !fd.selectedFiles().isEmpty()) {
        dialog.fileName = fd.selectedFiles().constFirst();
        dialog.filter = fd.selectedNameFilter();
    }
}

void QtDialogs::help(QWidget* parent, const QString& file, int command, int context)
{
    Q_UNUSED(command);
    Q_UNUSED(context);
    HelpWindow::showHelp(parent, file);
}
