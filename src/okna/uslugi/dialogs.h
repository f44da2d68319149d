#pragma once

#include "biezacyfolder.h"

#include <QPixmap>
#include <QString>
#include <QStringList>

class QWidget;

// The open-file dialog object a window owns: it keeps its settings and its last result
// between uses.
struct OpenFileDialog
{
    QString title;      // empty: the platform's default title
    QString initialDir; // starting folder; empty: the current folder
    QString fileName;   // full path of the chosen file; empty after a cancel
    QString fileTitle;  // the chosen file's name without folder

    void clear() { fileName.clear(), fileTitle.clear(); }
};

// The save-file dialog a window owns, for files the program writes for other tools and printers.
struct SaveFileDialog
{
    QString title;
    QString initialDir;  // starting folder, set from the current folder when shown
    QStringList filters; // "Moodle XML (*.xml)", ...; the first is chosen at the start
    QString fileName;    // full path of the chosen file; empty after a cancel
    QString filter;      // the filter chosen with it
};

// Every modal service the windows use: message box, input box, open-file dialog, picture
// loader and help viewer. Tests replace it with a scripted one.
class Dialogs
{
public:
    enum class Icon { None, Stop, Exclamation, Information };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Dialogs() = default;

    // A carriage return inside the text starts a new line. Yes is the default of a Yes/No box.
    virtual Answer message(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                           const QString& title) = 0;

    // Returns the typed text, or the empty text when cancelled; the field starts empty.
    virtual QString input(QWidget* parent, const QString& prompt, const QString& title) = 0;
    // The same for a secret code: the field starts with `initial` and hides what it holds until
    // "Pokaż" is ticked, as the screen may be projected.
    virtual QString inputCode(QWidget* parent, const QString& prompt, const QString& title,
                              const QString& initial) = 0;

    // Shows the dialog for one existing or typed file name, no filter, starting in the current
    // folder unless initialDir says otherwise. On a choice it fills fileName and fileTitle and
    // the chosen file's folder becomes the current one; a cancel leaves both empty and is no
    // failure.
    void openFile(QWidget* parent, OpenFileDialog& dialog, BiezacyFolder& folder);

    // Asks for a file to write, starting in the current folder. A name typed without an extension
    // gets the chosen filter's first one. A cancel leaves fileName empty.
    void saveFile(QWidget* parent, SaveFileDialog& dialog, const BiezacyFolder& folder);

    // Loads a picture from its path. The empty path gives the empty picture. False for a
    // missing file or one that is no picture.
    virtual bool loadPicture(const QString& path, QPixmap& picture);

    // Opens the help file with a help command and a context number.
    virtual void help(QWidget* parent, const QString& file, int command, int context) = 0;

protected:
    // Returns the chosen path, or the empty text on a cancel.
    virtual QString chooseFile(QWidget* parent, const OpenFileDialog& dialog) = 0;
    // Fills fileName (empty after a cancel) and filter.
    virtual void chooseSaveFile(QWidget* parent, SaveFileDialog& dialog) = 0;
};
