#include "program.h"
#include "qtdialogs.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("testownik"));
    QtDialogs dialogs;
    // Bare names start in the folder the program was started in. Started from the Start menu on
    // Windows, that is the program's own folder, which a teacher cannot write: the documents then.
    QString folder = QDir::currentPath();
#ifdef Q_OS_WIN
    if (QDir(folder) == QDir(QCoreApplication::applicationDirPath()))
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#endif
    Program program(dialogs, folder);
    program.menu().show();
    return QApplication::exec();
}
