#pragma once

#include "sprawdzenie.h"

#include <QDialog>

class QListWidget;

// "Sprawdzenie zestawu": one line per finding, errors first. Double-click or Enter on a line
// asks the editor to show that question.
class OknoSprawdzenia : public QDialog
{
    Q_OBJECT
public:
    explicit OknoSprawdzenia(QWidget* parent = nullptr);
    void pokaz(const QList<sprawdzenie::Uwaga>& uwagi);

signals:
    void pokazPytanie(int nr);

private:
    QListWidget* lista_;
};
