#include "qtdialogs.h"

#include "helpwindow.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

Dialogs::Answer QtDialogs::message(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                                   const QString& title)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    // Plain text always: a message may quote a name a pupil typed, such as "<b>Ala</b>".
    box.setTextFormat(Qt::PlainText);
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

QString QtDialogs::inputCode(QWidget* parent, const QString& prompt, const QString& title,
                             const QString& initial)
{
    QDialog box(parent);
    box.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&box);
    auto* label = new QLabel(prompt, &box);
    auto* field = new QLineEdit(initial, &box);
    field->setObjectName(QStringLiteral("txtkod"));
    field->setEchoMode(QLineEdit::Password);
    field->setAccessibleName(prompt);
    label->setBuddy(field);
    auto* show = new QCheckBox(QStringLiteral("Pokaż"), &box);
    show->setObjectName(QStringLiteral("chkpokaz"));
    show->setAccessibleName(QStringLiteral("Pokaż kod"));
    QObject::connect(show, &QCheckBox::toggled, field,
                     [field](bool on) { field->setEchoMode(on ? QLineEdit::Normal : QLineEdit::Password); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    for (QWidget* w : std::initializer_list<QWidget*>{label, field, show, buttons})
        layout->addWidget(w);
    field->selectAll();
    field->setFocus();
    return box.exec() == QDialog::Accepted ? field->text() : QString();
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
