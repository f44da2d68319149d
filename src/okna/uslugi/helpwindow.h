#pragma once

#include <QDialog>

class QTextBrowser;

// The help viewer: shows the help file as rich text, or says that it is missing.
class HelpWindow : public QDialog
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // The help file is looked up in the current folder, then beside the program, then in
    // the installed data folder. Empty when none is found.
    static QString locate(const QString& name);

    void showFile(const QString& name);
    QString shownText() const;

    static void showHelp(QWidget* parent, const QString& name);

private:
    QTextBrowser* browser_;
};
