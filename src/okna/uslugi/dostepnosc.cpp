#include "dostepnosc.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace {

const char* const podpis = "podpis";

class WartoscEtykiety : public QAccessibleWidget
{
public:
    explicit WartoscEtykiety(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    // Read at every query, so the name cannot lag behind the text.
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const auto* label = static_cast<const QLabel*>(widget());
        const QString caption = label->property(podpis).toString();
        return label->text().isEmpty() ? caption : caption + QStringLiteral(": ") + label->text();
    }
};

QAccessibleInterface* fabryka(const QString&, QObject* object)
{
    auto* label = qobject_cast<QLabel*>(object);
    return label && label->property(podpis).isValid() ? new WartoscEtykiety(label) : nullptr;
}

} // namespace

namespace dostepnosc {

void podpisyWartosci()
{
    // QLabel::setText announces a new name only while the label has no fixed accessible name,
    // so the caption lives in its own property.
    static const bool done = [] {
        QAccessible::installFactory(fabryka);
        return true;
    }();
    Q_UNUSED(done);
}

} // namespace dostepnosc
