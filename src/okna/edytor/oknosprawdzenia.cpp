#include "oknosprawdzenia.h"

#include <QListWidget>
#include <QVBoxLayout>

OknoSprawdzenia::OknoSprawdzenia(QWidget* parent) : QDialog(parent), lista_(new QListWidget(this))
{
    setObjectName(QStringLiteral("OknoSprawdzenia"));
    setWindowTitle(QStringLiteral("Sprawdzenie zestawu"));
    resize(640, 360);
    lista_->setObjectName(QStringLiteral("lstuwagi"));
    lista_->setAccessibleName(QStringLiteral("Problemy w zestawie"));
    lista_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lista_);
    connect(lista_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (const int nr = item->data(Qt::UserRole).toInt(); nr > 0)
            emit pokazPytanie(nr);
    });
}

void OknoSprawdzenia::pokaz(const QList<sprawdzenie::Uwaga>& uwagi)
{
    lista_->clear();
    for (const sprawdzenie::Uwaga& u : uwagi) {
        auto* item = new QListWidgetItem(u.wiersz(), lista_);
        item->setData(Qt::UserRole, u.nr);
        if (u.rodzaj == sprawdzenie::Rodzaj::Blad)
            item->setForeground(Qt::darkRed);
    }
    if (uwagi.isEmpty())
        new QListWidgetItem(QStringLiteral("Nie znaleziono problemów."), lista_);
    lista_->setCurrentRow(0);
    show();
    raise();
    activateWindow();
}
