#include "program.h"
#include "qtdialogs.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("testownik"));
    QtDialogs dialogs;
    // Bare names start in the folder the program was started in.
    Program program(dialogs, QDir::currentPath());
    program.menu().show();
    return QApplication::exec();
}
