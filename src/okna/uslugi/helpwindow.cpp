#include "helpwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "codepage.h"

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Pomoc"));
    browser_->setObjectName(QStringLiteral("helpText"));
    browser_->setOpenExternalLinks(false);
    auto* close = new QPushButton(QStringLiteral("&Zamknij"), this);
    close->setObjectName(QStringLiteral("cmdzamknij"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(640, 520);
}

QString HelpWindow::locate(const QString& name)
{
    QStringList candidates{
        QDir::current().filePath(name), QDir(QCoreApplication::applicationDirPath()).filePath(name),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/testownik/") + name)};
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        candidates << QDir(dir).filePath(QStringLiteral("testownik/") + name);
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile())
            return QFileInfo(path).absoluteFilePath();
    return QString();
}

void HelpWindow::showFile(const QString& name)
{
    const QString path = locate(name);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        browser_->setHtml(QStringLiteral("<h2>Brak pliku pomocy</h2><p>Nie znaleziono pliku "
                                         "<b>%1</b> ani w bieżącym folderze, ani obok programu.</p>")
                              .arg(name.toHtmlEscaped()));
        return;
    }
    // Our own help file is UTF-8; an older one in the program's code page reads as well.
    const QByteArray bytes = file.read(4 * 1024 * 1024);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString html = utf8.decode(bytes);
    if (utf8.hasError())
        html = cp1250::decode(bytes);
    browser_->setSearchPaths({QFileInfo(path).absolutePath()});
    browser_->setHtml(html);
}

QString HelpWindow::shownText() const
{
    return browser_->toPlainText();
}

void HelpWindow::showHelp(QWidget* parent, const QString& name)
{
    static QPointer<HelpWindow> window;
    if (!window) {
        window = new HelpWindow(parent ? parent->window() : nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->showFile(name);
    window->show();
    window->raise();
    window->activateWindow();
}
