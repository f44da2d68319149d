#include "program.h"

#include "frmwyb.h"

#include <QApplication>

Program::Program(Dialogs& dialogs, const QString& folder) : folder_(folder), menu_(dialogs, folder_)
{
    connect(&menu_, &FrmMenu::koniec, this, &Program::zakoncz);
}

void Program::zakoncz()
{
    konczy_ = true;
    if (FrmWyb* editor = menu_.editor())
        editor->porzuc();
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}
