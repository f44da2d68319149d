// Generates test.html through the real generator window (see README.md):
//   makepage FOLDER FIXTURE CODE [MINUTES [SEAL]]
#include "frmtest.h"
#include "okna.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QByteArray set = readAll(u(TESTOWNIK_DATA "/przegladarka/") + args.value(2));
    const qsizetype count = set.size() / rekord::size;
    if (args.size() < 4 || count == 0 || !QDir().mkpath(args[1]) || !QDir::setCurrent(args[1])) {
        std::fputs("makepage FOLDER FIXTURE CODE [MINUTES [SEAL]]\n", stderr);
        return 2;
    }
    if (!writeAll(u("zestaw"), set) || !writeAll(u("rys.png"), readAll(u(TESTOWNIK_DATA "/druk/rys.png"))))
        return 2;

    ScriptedDialogs dialogs;
    dialogs.files << QDir::current().filePath(u("zestaw"));
    dialogs.inputs << args.value(4, u("10")) << args[3];
    BiezacyFolder folder(QDir::currentPath());
    FrmTest window(dialogs, folder);
    int drawn = 0;
    // In set order, and again for each further copy.
    window.setRandom([&drawn, count] { return std::fmod(drawn++ + 0.5, double(count)) / double(count); });
    if (!window.load())
        return 1;
    window.show();
    window.findChild<QLineEdit*>(u("txtiloscpytan"))->setText(QString::number(count));
    // SEAL ticks the first boxes (kopie: all three, CODE is then the number of copies); a click at the
    // centre of a box, which spans its row, misses.
    const int ticks = int(QStringList{u("ukryj"), u("losowo"), u("kopie")}.indexOf(args.value(5))) + 1;
    for (const QString& name : QStringList{u("chkukryj"), u("chklosowo"), u("chkkopie")}.first(ticks)) {
        auto* box = window.findChild<QCheckBox*>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }
    QTest::mouseClick(window.findChild<QPushButton*>(u("cmdgeneruj")), Qt::LeftButton);
    for (const ScriptedDialogs::Message& m : dialogs.messages)
        std::fprintf(stderr, "%s\n", qPrintable(m.text));
    return dialogs.messages.isEmpty() && QFile::exists(ticks == 3 ? u("test-01.html") : u("test.html")) ? 0
                                                                                                        : 1;
}
