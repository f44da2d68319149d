#pragma once

#include <QDir>
#include <QFileInfo>
#include <QString>

// The folder bare file names are taken from: a new set, the pictures of the questions and the
// page "test.html". It starts as the folder the program was started in and follows the file
// last chosen in an open-file dialog of any window, so one object is shared by all of them.
class BiezacyFolder
{
public:
    explicit BiezacyFolder(QString sciezka) : sciezka_(std::move(sciezka)) {}

    QString sciezka() const { return sciezka_; }
    // A chosen file moves the folder to its own.
    void wybrano(const QString& plik) { sciezka_ = QFileInfo(QDir(sciezka_), plik).absolutePath(); }
    // A bare or relative name inside the folder; a full path stays itself, the empty name empty.
    QString plik(const QString& nazwa) const
    {
        return nazwa.isEmpty() ? nazwa : QDir(sciezka_).filePath(nazwa);
    }

private:
    QString sciezka_;
};
