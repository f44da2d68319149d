#pragma once

#include "dialogs.h"

// The desktop's own dialogs.
class QtDialogs : public Dialogs
{
public:
    Answer message(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                   const QString& title) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title) override;
    QString inputCode(QWidget* parent, const QString& prompt, const QString& title,
                      const QString& initial) override;
    void help(QWidget* parent, const QString& file, int command, int context) override;

protected:
    QString chooseFile(QWidget* parent, const OpenFileDialog& dialog) override;
    void chooseSaveFile(QWidget* parent, SaveFileDialog& dialog) override;
};
