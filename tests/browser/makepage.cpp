// Generates test.html in a folder through the real generator window: writes a fixture set there,
// answers the window's dialogs from the command line and presses its buttons. The questions come
// in set order (a fixed random source), so the browser test knows which form is which question.
//
//   makepage FOLDER FIXTURE CODE [MINUTES]     FIXTURE: wszystkie | wadliwe

#include "frmtest.h"
#include "scripteddialogs.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <cstdio>

static QString u(const char* s)
{
    return QString::fromUtf8(s);
}

static rekord question(qint16 typ, const char* text, std::initializer_list<const char*> answers,
                       std::array<qint16, 5> marks, const char* picture = "")
{
    rekord r = rekord::pusty();
    r.typ = typ;
    ustawTekst(r.pytanie, u(text));
    int k = 1;
    for (const char* answer : answers)
        ustawTekst(r.odp(k++), u(answer));
    for (k = 1; k <= 5; ++k)
        r.poprawna(k) = marks[k - 1];
    ustawTekst(r.rysunek, u(picture));
    return r;
}

static QList<rekord> fixture(const QString& kind)
{
    if (kind == u("wszystkie")) {
        return {
            question(0, "Które zwierzęta są ssakami?", {"kot", "wróbel", "pies", "karp"}, {1, 0, 1, 0}),
            question(1, "Ile to 2+2?", {"3", "4", "5", "6"}, {0, -1, 0, 0}, "rys.png"),
            question(2, "Wydzielina wątroby to...", {"żółć"}, {1, 0, 0, 0}),
            question(2, "Przepisz dokładnie: \"a\\b\"</script>", {"\"a\\b\"</script>"}, {1, 0, 0, 0}),
        };
    }
    if (kind == u("wadliwe")) {
        return {
            question(1, "Jednokrotny wybór bez zaznaczenia", {"a", "b", "c", "d"}, {0, 0, 0, 0}),
            question(1, "Zaznaczona tylko piąta odpowiedź", {"a", "b", "c", "d", "e"}, {0, 0, 0, 0, -1}),
            question(7, "Nieznany typ odpowiedzi", {"a", "b", "c", "d"}, {1, 0, 0, 1}),
            question(1, "Zwykłe pytanie", {"tak", "nie"}, {-1, 0, 0, 0}),
        };
    }
    return {};
}

static void picture(const QString& name)
{
    QImage image(240, 90, QImage::Format_RGB32);
    image.fill(QColor(0xe8, 0xf0, 0xf8));
    QPainter painter(&image);
    painter.setPen(QColor(0x23, 0x45, 0x67));
    QFont font = painter.font();
    font.setPixelSize(40);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, u("2 + 2 = ?"));
    painter.end();
    image.save(name);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fputs("makepage FOLDER FIXTURE CODE [MINUTES]\n", stderr);
        return 2;
    }
    const QList<rekord> records = fixture(args[2]);
    if (records.isEmpty() || !QDir().mkpath(args[1]) || !QDir::setCurrent(args[1]))
        return 2;

    QFile set(u("zestaw"));
    if (!set.open(QIODevice::WriteOnly))
        return 2;
    for (const rekord& r : records)
        set.write(r.encode());
    set.close();
    picture(u("rys.png"));

    ScriptedDialogs dialogs;
    dialogs.files << QDir::current().filePath(u("zestaw"));
    dialogs.inputs << (args.size() > 4 ? args[4] : u("10")) << args[3];
    FrmTest window(dialogs);
    int drawn = 0;
    window.setRandom([&drawn, &records] { return (drawn++ + 0.5) / records.size(); });
    if (!window.load())
        return 1;
    window.show();
    window.findChild<QLineEdit*>(u("txtiloscpytan"))->setText(QString::number(records.size()));
    QTest::mouseClick(window.findChild<QPushButton*>(u("cmdgeneruj")), Qt::LeftButton);
    for (const ScriptedDialogs::Message& m : dialogs.messages)
        std::fprintf(stderr, "%s\n", qPrintable(m.text));
    return dialogs.messages.isEmpty() && QFile::exists(u("test.html")) ? 0 : 1;
}
