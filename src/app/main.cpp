#include "frmmenu.h"
#include "qtdialogs.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("testownik"));
    QtDialogs dialogs;
    FrmMenu menu(dialogs);
    menu.show();
    return QApplication::exec();
}
