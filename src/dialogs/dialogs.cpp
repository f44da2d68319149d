#include "dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

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
