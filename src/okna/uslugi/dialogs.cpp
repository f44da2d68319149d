#include "dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>

void Dialogs::openFile(QWidget* parent, OpenFileDialog& dialog)
{
    const QString chosen = chooseFile(parent, dialog);
    if (chosen.isEmpty()) {
        dialog.clear();
        return;
    }
    const QFileInfo info(chosen);
    dialog.fileName = info.absoluteFilePath();
    dialog.fileTitle = info.fileName();
    QDir::setCurrent(info.absolutePath());
}

bool Dialogs::loadPicture(const QString& name, QPixmap& picture)
{
    picture = QPixmap();
    if (name.isEmpty())
        return true;
    QImageReader reader(name);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    picture = QPixmap::fromImage(image);
    return true;
}

void Dialogs::saveFile(QWidget* parent, SaveFileDialog& dialog)
{
    chooseSaveFile(parent, dialog);
    if (dialog.fileName.isEmpty() || !QFileInfo(dialog.fileName).suffix().isEmpty())
        return;
    const QRegularExpressionMatch ext =
        QRegularExpression(QStringLiteral("\\*(\\.\\w+)")).match(dialog.filter);
    if (ext.hasMatch())
        dialog.fileName += ext.captured(1);
}
