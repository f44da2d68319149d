#pragma once

#include "biezacyfolder.h"
#include "frmmenu.h"

#include <QObject>

class Dialogs;

// The running program: the current folder all windows share, the main menu that owns the other
// windows, and the end, which saves nothing and asks no window but a class test still being written.
class Program : public QObject
{
    Q_OBJECT
public:
    Program(Dialogs& dialogs, const QString& folder);

    FrmMenu& menu() { return menu_; }
    bool konczy() const { return konczy_; }

    // Ends the program at once; an open editor does not save its question. Only a class test
    // with pupils still writing asks, and a "Nie" keeps the program running.
    void zakoncz();

private:
    BiezacyFolder folder_;
    FrmMenu menu_;
    bool konczy_ = false;
};
