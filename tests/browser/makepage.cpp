// Generates test.html in a folder through the real generator window: writes a fixture set there,
// answers the window's dialogs from the command line, ticks its check boxes and presses its
// buttons. The questions come in set order (a fixed random source), so the browser test knows
// which form is which question, unless the page shuffles them.
//
//   makepage FOLDER FIXTURE CODE [MINUTES [SEAL]]
//   FIXTURE: wszystkie | wadliwe | losowe     SEAL: ukryj (sealed page) | losowo (sealed, shuffled)

#include "frmtest.h"
#include "okna.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>

static QList<rekord> fixture(const QString& kind)
{
    const QList<rekord> questions = {
        pytanie(0, u("Które zwierzęta są ssakami?"), u("kot|wróbel|pies|karp"), {1, 0, 1, 0}),
        pytanie(1, u("Ile to 2+2?"), u("3|4|5|6"), {0, -1, 0, 0}, u("rys.png")),
        pytanie(2, u("Wydzielina wątroby to..."), u("żółć"), {1, 0, 0, 0}),
        pytanie(2, u("Przepisz dokładnie: \"a\\b\"</script>"), u("\"a\\b\"</script>"), {1, 0, 0, 0}),
        pytanie(1, u("Stolica Polski to..."), u("Kraków|Warszawa|Gdańsk|Poznań"), {0, -1, 0, 0}),
        pytanie(0, u("Które liczby są pierwsze?"), u("2|4|7|9"), {1, 0, 1, 0}),
    };
    if (kind == u("wszystkie"))
        return questions.first(4);
    if (kind == u("losowe")) // four questions of four answers to shuffle, and a typed one
        return questions.first(3) + questions.last(2);
    if (kind == u("wadliwe"))
        return {
            pytanie(1, u("Jednokrotny wybór bez zaznaczenia"), u("a|b|c|d"), {0, 0, 0, 0}),
            pytanie(1, u("Zaznaczona tylko piąta odpowiedź"), u("a|b|c|d|e"), {0, 0, 0, 0, -1}),
            pytanie(7, u("Nieznany typ odpowiedzi"), u("a|b|c|d"), {1, 0, 0, 1}),
            pytanie(1, u("Zwykłe pytanie"), u("tak|nie"), {-1, 0, 0, 0}),
        };
    return {};
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QList<rekord> records = fixture(args.value(2));
    if (args.size() < 4 || records.isEmpty() || !QDir().mkpath(args[1]) || !QDir::setCurrent(args[1])) {
        std::fputs("makepage FOLDER FIXTURE CODE [MINUTES [SEAL]]\n", stderr);
        return 2;
    }
    if (!writeAll(u("zestaw"), setOf(records)) ||
        !writeAll(u("rys.png"), readAll(u(TESTOWNIK_DATA "/druk/rys.png"))))
        return 2;

    ScriptedDialogs dialogs;
    dialogs.files << QDir::current().filePath(u("zestaw"));
    dialogs.inputs << args.value(4, u("10")) << args[3];
    FrmTest window(dialogs);
    int drawn = 0;
    window.setRandom([&drawn, &records] { return (drawn++ + 0.5) / records.size(); });
    if (!window.load())
        return 1;
    window.show();
    window.findChild<QLineEdit*>(u("txtiloscpytan"))->setText(QString::number(records.size()));
    // SEAL ticks the first box or both; a click at the centre of a box, which spans its row, misses.
    const int ticks = int(QStringList{u("ukryj"), u("losowo")}.indexOf(args.value(5))) + 1;
    for (const QString& name : QStringList{u("chkukryj"), u("chklosowo")}.first(ticks)) {
        auto* box = window.findChild<QCheckBox*>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }
    QTest::mouseClick(window.findChild<QPushButton*>(u("cmdgeneruj")), Qt::LeftButton);
    for (const ScriptedDialogs::Message& m : dialogs.messages)
        std::fprintf(stderr, "%s\n", qPrintable(m.text));
    return dialogs.messages.isEmpty() && QFile::exists(u("test.html")) ? 0 : 1;
}
