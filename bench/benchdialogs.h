#pragma once

#include "dialogs.h"

#include <cstdio>
#include <cstdlib>

// Answers the windows' dialogs in a benchmark: `set` for every open-file dialog, the time limit
// (45 minutes), 30 separate copies and a release code (the issued one where offered) for input
// boxes. Any message means the run went wrong.
class BenchDialogs : public Dialogs
{
public:
    QString set;
    Answer message(QWidget*, const QString& text, Buttons, Icon, const QString&) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        std::exit(1);
    }
    QString input(QWidget*, const QString& prompt, const QString&) override
    {
        return prompt.contains(QStringLiteral("czas"))    ? QStringLiteral("45")
               : prompt.contains(QStringLiteral("kopii")) ? QStringLiteral("30")
                                                          : QStringLiteral("kod");
    }
    QString inputCode(QWidget*, const QString&, const QString&, const QString& initial) override
    {
        return initial;
    }
    void help(QWidget*, const QString&, int, int) override {}

protected:
    QString chooseFile(QWidget*, const OpenFileDialog&) override { return set; }
    void chooseSaveFile(QWidget*, SaveFileDialog& dialog) override { dialog.fileName.clear(); }
};
