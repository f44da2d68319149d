#include "program.h"

#include "frmwyb.h"
#ifndef TESTOWNIK_BEZ_KLASY
#include "oknoklasy.h"
#endif

#include <QApplication>

Program::Program(Dialogs& dialogs, const QString& folder) : folder_(folder), menu_(dialogs, folder_)
{
    connect(&menu_, &FrmMenu::koniec, this, &Program::zakoncz);
}

void Program::zakoncz()
{
#ifndef TESTOWNIK_BEZ_KLASY
    // A class test still being written asks first; the teacher's "Nie" keeps the program running.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* klasa = qobject_cast<OknoKlasy*>(w); klasa && klasa->isVisible() && !klasa->close())
            return;
#endif
    konczy_ = true;
    if (FrmWyb* editor = menu_.editor())
        editor->porzuc();
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}
