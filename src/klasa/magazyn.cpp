#include "magazyn.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <initializer_list>

namespace {

const char* const schemat[] = {
    "CREATE TABLE test (id INTEGER PRIMARY KEY, pin TEXT NOT NULL, koniec TEXT NOT NULL,"
    " liczba INTEGER NOT NULL, pokaz INTEGER NOT NULL, zakonczony INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE uczen (id INTEGER PRIMARY KEY, test INTEGER NOT NULL REFERENCES test(id),"
    " imie TEXT NOT NULL, token TEXT NOT NULL UNIQUE, arkusz TEXT NOT NULL, odpowiedzi TEXT NOT NULL,"
    " oddano TEXT, po_czasie INTEGER NOT NULL DEFAULT 0, zwolniony INTEGER NOT NULL DEFAULT 0)",
    "CREATE INDEX uczen_test ON uczen(test)",
};

Blad bladSql(const QSqlError& e, const QString& plik = {})
{
    return {Blad::Rodzaj::Zapis, plik.isEmpty() ? e.text() : plik + QStringLiteral(": ") + e.text()};
}

QString czas(const QDateTime& t)
{
    return t.isValid() ? t.toUTC().toString(Qt::ISODateWithMs) : QString();
}

QDateTime zCzasu(const QVariant& v)
{
    return v.isNull() ? QDateTime() : QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
}

// One statement with its values bound in order; in autocommit each is its own transaction.
::Wynik<QSqlQuery> wykonaj(const QString& polaczenie, const QString& sql,
                           std::initializer_list<QVariant> wartosci)
{
    QSqlQuery q(QSqlDatabase::database(polaczenie, false));
    if (!q.prepare(sql))
        return bladSql(q.lastError());
    for (const auto& w : wartosci)
        q.addBindValue(w);
    if (!q.exec())
        return bladSql(q.lastError());
    return q;
}

::Wynik<void> zmien(const QString& polaczenie, const QString& sql, std::initializer_list<QVariant> wartosci)
{
    auto q = wykonaj(polaczenie, sql, wartosci);
    if (!q)
        return q.error();
    if (q->numRowsAffected() != 1)
        return Blad{Blad::Rodzaj::ZleDane, sql};
    return {};
}

} // namespace

QString Magazyn::plikDla(const QString& zestaw)
{
    return zestaw + QStringLiteral(".klasa.sqlite");
}

Magazyn::Magazyn(QString polaczenie) : polaczenie_(std::move(polaczenie)) {}

Magazyn::~Magazyn()
{
    QSqlDatabase::database(polaczenie_, false).close();
    QSqlDatabase::removeDatabase(polaczenie_);
}

::Wynik<std::unique_ptr<Magazyn>> Magazyn::otworz(const QString& plik)
{
    if (QFileInfo(plik).isDir())
        return Blad{Blad::Rodzaj::Folder, plik};
    static std::atomic<int> licznik{0};
    const auto nazwa = QStringLiteral("klasa%1").arg(++licznik);
    std::unique_ptr<Magazyn> m(new Magazyn(nazwa));
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nazwa);
        db.setDatabaseName(plik);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            return Blad{Blad::Rodzaj::Otwarcie, plik + QStringLiteral(": ") + db.lastError().text()};
    }
    // WAL keeps a commit to one appended write; FULL syncs it before the reply is sent. The lock
    // is held while the test runs, so a second copy of the program cannot serve the same set.
    for (const auto* p : {"PRAGMA locking_mode=EXCLUSIVE", "PRAGMA journal_mode=WAL",
                          "PRAGMA synchronous=FULL", "PRAGMA foreign_keys=ON"})
        if (auto q = wykonaj(nazwa, QString::fromLatin1(p), {}); !q)
            return Blad{Blad::Rodzaj::Otwarcie, plik + QStringLiteral(": ") + q.error().szczegol};
    auto w = wykonaj(nazwa, QStringLiteral("PRAGMA user_version"), {});
    if (!w || !w->next())
        return Blad{Blad::Rodzaj::Odczyt, plik};
    const int wersja = w->value(0).toInt();
    if (wersja > wersjaSchematu)
        return Blad{Blad::Rodzaj::Format, plik};
    if (wersja == 0) {
        auto db = QSqlDatabase::database(nazwa, false);
        if (!db.transaction())
            return bladSql(db.lastError(), plik);
        for (const auto* s : schemat)
            if (auto q = wykonaj(nazwa, QString::fromLatin1(s), {}); !q) {
                db.rollback();
                return Blad{Blad::Rodzaj::Zapis, plik + QStringLiteral(": ") + q.error().szczegol};
            }
        (void)wykonaj(nazwa, QStringLiteral("PRAGMA user_version=%1").arg(wersjaSchematu), {});
        if (!db.commit())
            return bladSql(db.lastError(), plik);
    }
    return m;
}

::Wynik<std::optional<Magazyn::Test>> Magazyn::niedokonczony()
{
    auto q = wykonaj(polaczenie_,
                     QStringLiteral("SELECT id, pin, koniec, liczba, pokaz FROM test WHERE zakonczony = 0"
                                    " ORDER BY id DESC LIMIT 1"),
                     {});
    if (!q)
        return q.error();
    if (!q->next())
        return std::optional<Test>();
    return std::optional<Test>(Test{q->value(0).toLongLong(), q->value(1).toString(), zCzasu(q->value(2)),
                                    q->value(3).toInt(), q->value(4).toBool(), false});
}

::Wynik<qint64> Magazyn::nowyTest(const Test& t)
{
    auto q = wykonaj(polaczenie_,
                     QStringLiteral("INSERT INTO test (pin, koniec, liczba, pokaz) VALUES (?, ?, ?, ?)"),
                     {t.pin, czas(t.koniec), t.liczba, t.pokaz});
    if (!q)
        return q.error();
    return q->lastInsertId().toLongLong();
}

::Wynik<QList<Magazyn::Uczen>> Magazyn::uczniowie(qint64 test)
{
    auto q = wykonaj(polaczenie_,
                     QStringLiteral("SELECT id, imie, token, arkusz, odpowiedzi, oddano, po_czasie, zwolniony"
                                    " FROM uczen WHERE test = ? ORDER BY id"),
                     {test});
    if (!q)
        return q.error();
    QList<Uczen> w;
    while (q->next())
        w.append({q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toString(),
                  q->value(3).toString().toUtf8(), q->value(4).toString().toUtf8(), zCzasu(q->value(5)),
                  q->value(6).toBool(), q->value(7).toBool()});
    return w;
}

::Wynik<qint64> Magazyn::dolacz(qint64 test, const Uczen& u)
{
    auto q = wykonaj(
        polaczenie_,
        QStringLiteral("INSERT INTO uczen (test, imie, token, arkusz, odpowiedzi) VALUES (?, ?, ?, ?, ?)"),
        {test, u.imie, u.token, QString::fromUtf8(u.arkusz), QString::fromUtf8(u.odpowiedzi)});
    if (!q)
        return q.error();
    return q->lastInsertId().toLongLong();
}

::Wynik<void> Magazyn::nowyToken(qint64 uczen, const QString& token)
{
    return zmien(polaczenie_, QStringLiteral("UPDATE uczen SET token = ?, zwolniony = 0 WHERE id = ?"),
                 {token, uczen});
}

::Wynik<void> Magazyn::zwolnij(qint64 uczen)
{
    return zmien(polaczenie_, QStringLiteral("UPDATE uczen SET zwolniony = 1 WHERE id = ?"), {uczen});
}

::Wynik<void> Magazyn::zapisz(qint64 uczen, const QByteArray& odpowiedzi)
{
    return zmien(polaczenie_, QStringLiteral("UPDATE uczen SET odpowiedzi = ? WHERE id = ?"),
                 {QString::fromUtf8(odpowiedzi), uczen});
}

::Wynik<void> Magazyn::oddaj(qint64 uczen, const QByteArray& odpowiedzi, const QDateTime& kiedy,
                             bool poCzasie)
{
    return zmien(polaczenie_,
                 QStringLiteral("UPDATE uczen SET odpowiedzi = ?, oddano = ?, po_czasie = ? WHERE id = ?"),
                 {QString::fromUtf8(odpowiedzi), czas(kiedy), poCzasie, uczen});
}

::Wynik<void> Magazyn::ustawPokaz(qint64 test, bool pokaz)
{
    return zmien(polaczenie_, QStringLiteral("UPDATE test SET pokaz = ? WHERE id = ?"), {pokaz, test});
}

::Wynik<void> Magazyn::zakoncz(qint64 test, const QDateTime& kiedy)
{
    auto db = QSqlDatabase::database(polaczenie_, false);
    if (!db.transaction())
        return bladSql(db.lastError());
    auto q = wykonaj(
        polaczenie_,
        QStringLiteral("UPDATE uczen SET oddano = ?, po_czasie = 1 WHERE test = ? AND oddano IS NULL"),
        {czas(kiedy), test});
    auto r = q ? zmien(polaczenie_, QStringLiteral("UPDATE test SET zakonczony = 1 WHERE id = ?"), {test})
               : ::Wynik<void>(q.error());
    if (!r) {
        db.rollback();
        return r;
    }
    if (!db.commit())
        return bladSql(db.lastError());
    return {};
}

::Wynik<void> Magazyn::zacznij()
{
    auto db = QSqlDatabase::database(polaczenie_, false);
    if (!db.transaction())
        return bladSql(db.lastError());
    return {};
}

::Wynik<void> Magazyn::zatwierdz()
{
    auto db = QSqlDatabase::database(polaczenie_, false);
    if (!db.commit())
        return bladSql(db.lastError());
    return {};
}

void Magazyn::wycofaj()
{
    QSqlDatabase::database(polaczenie_, false).rollback();
}
