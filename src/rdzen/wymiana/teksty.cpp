#include "teksty.h"
#include "codepage.h"

#include <QRegularExpression>
#include <QUrl>

#include <cmath>

namespace wymiana::detail {

// A zero byte would end the text in its field.
bool wKodzie(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() == 0 || !cp1250::zawiera(c.unicode()))
            return false;
    return true;
}

// A text quoted in a report line, its start only when long.
QString cytat(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    return QStringLiteral("„%1”").arg(text.size() > 60 ? text.left(60) + QStringLiteral("…") : text);
}

// Quoted texts, the first few of them; `more` counts further ones not in the list.
QString wyliczenie(const QStringList& texts, qsizetype more)
{
    QStringList quoted;
    for (qsizetype i = 0; i < std::min<qsizetype>(texts.size(), 5); ++i)
        quoted << cytat(texts.at(i));
    QString all = quoted.join(QStringLiteral(", "));
    more += texts.size() - quoted.size();
    if (more > 0)
        all += QStringLiteral(" i %1 innych").arg(more);
    return all;
}

QString html(QString plain)
{
    return plain.replace(QLatin1Char('&'), QStringLiteral("&amp;"))
        .replace(QLatin1Char('<'), QStringLiteral("&lt;"))
        .replace(QLatin1Char('>'), QStringLiteral("&gt;"));
}

QString ulamek(double value)
{
    if (std::abs(value - std::round(value)) < 1e-9)
        return QString::number(qint64(std::round(value)));
    QString s = QString::number(value, 'f', 5);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    return s;
}

QString zPliku(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.trimmed().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QString bezAkapitu(const QString& text)
{
    const QString t = text.trimmed();
    if (!(t.startsWith(QLatin1String("<p>"), Qt::CaseInsensitive) ||
          t.startsWith(QLatin1String("<p "), Qt::CaseInsensitive)) ||
        !t.endsWith(QLatin1String("</p>"), Qt::CaseInsensitive))
        return text;
    const qsizetype open = t.indexOf(QLatin1Char('>')) + 1;
    const QString inner = t.mid(open, t.size() - open - 4);
    if (open > t.size() - 4 || inner.contains(QLatin1String("<p"), Qt::CaseInsensitive) ||
        inner.contains(QLatin1String("</p"), Qt::CaseInsensitive))
        return text;
    return inner;
}

namespace {

const QString plugin = QStringLiteral("@@PLUGINFILE@@/");

// The name a reference at `at` (just past @@PLUGINFILE@@/) gives, up to where an attribute ends.
qsizetype koniecNazwy(QStringView text, qsizetype at)
{
    while (at < text.size() && !QStringLiteral("\"' <>?#").contains(text.at(at)))
        ++at;
    return at;
}

} // namespace

QString bezZnacznikaFormatu(QString& text)
{
    static const QStringList formaty = {QStringLiteral("plain"), QStringLiteral("html"),
                                        QStringLiteral("moodle"), QStringLiteral("markdown")};
    const QString t = text.trimmed();
    const qsizetype end = t.indexOf(QLatin1Char(']'));
    if (!t.startsWith(QLatin1Char('[')) || end < 0)
        return QString();
    const QString format = t.mid(1, end - 1).toLower();
    if (!formaty.contains(format))
        return QString();
    text = t.mid(end + 1).trimmed();
    return format;
}

QString bezKoncowychBr(QString text)
{
    static const QRegularExpression br(QStringLiteral("(\\s|<br\\s*/?>)+$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return text.remove(br).trimmed();
}

QStringList odwolaniaDoPlikow(QString text)
{
    // As export writes it: control characters cannot stand between the parts of a reference.
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && !QStringLiteral("\t\n\r").contains(c); });
    QStringList names;
    for (qsizetype at = 0; (at = text.indexOf(plugin, at)) >= 0;) {
        at += plugin.size();
        const qsizetype end = koniecNazwy(text, at);
        names << QUrl::fromPercentEncoding(text.mid(at, end - at).toUtf8());
        at = end;
    }
    return names;
}

QStringList wyjmijRysunki(QString& text)
{
    if (!text.contains(plugin))
        return {};
    // Built anew rather than cut in place, so that many pictures cost no more than one.
    QStringList names;
    QString out;
    qsizetype from = 0;
    for (qsizetype i; (i = text.indexOf(QLatin1String("<img"), from, Qt::CaseInsensitive)) >= 0;) {
        const qsizetype end = text.indexOf(QLatin1Char('>'), i);
        if (end < 0)
            break;
        const QStringView tag = QStringView(text).mid(i, end + 1 - i);
        const qsizetype at = tag.indexOf(plugin);
        out += QStringView(text).mid(from, i - from);
        from = end + 1;
        if (at < 0) {
            out += tag;
            continue;
        }
        const qsizetype stop = koniecNazwy(tag, at + plugin.size());
        names << QUrl::fromPercentEncoding(tag.mid(at + plugin.size(), stop - at - plugin.size()).toUtf8());
        // A line break written just before the picture goes with it.
        qsizetype keep = out.size();
        while (keep > 0 && out.at(keep - 1).isSpace())
            --keep;
        for (const auto& br : {QLatin1String("<br>"), QLatin1String("<br/>"), QLatin1String("<br />")}) {
            if (keep >= br.size() &&
                QStringView(out).mid(keep - br.size()).compare(br, Qt::CaseInsensitive) == 0) {
                out.truncate(keep - br.size());
                break;
            }
        }
    }
    out += QStringView(text).mid(from);
    text = out;
    if (!names.isEmpty())
        text.remove(QStringLiteral("<p></p>"));
    return names;
}

} // namespace wymiana::detail
