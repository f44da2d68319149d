#include "dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>

void Dialogs::openFile(QWidget* parent, OpenFileDialog& dialog, BiezacyFolder& folder)
{
    OpenFileDialog shown = dialog;
    if (shown.initialDir.isEmpty())
        shown.initialDir = folder.sciezka();
    const QString chosen = chooseFile(parent, shown);
    if (chosen.isEmpty()) {
        dialog.clear();
        return;
    }
    const QFileInfo info(QDir(folder.sciezka()), chosen);
    dialog.fileName = info.absoluteFilePath();
    dialog.fileTitle = info.fileName();
    folder.wybrano(dialog.fileName);
}

bool Dialogs::loadPicture(const QString& path, QPixmap& picture)
{
    picture = QPixmap();
    if (path.isEmpty())
        return true;
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    picture = QPixmap::fromImage(image);
    return true;
}

void Dialogs::saveFile(QWidget* parent, SaveFileDialog& dialog, const BiezacyFolder& folder)
{
    dialog.initialDir = folder.sciezka();
    chooseSaveFile(parent, dialog);
    if (dialog.fileName.isEmpty() || !QFileInfo(dialog.fileName).suffix().isEmpty())
        return;
    const QRegularExpressionMatch ext =
        QRegularExpression(QStringLiteral("\\*(\\.\\w+)")).match(dialog.filter);
    if (ext.hasMatch())
        dialog.fileName += ext.captured(1);
}
