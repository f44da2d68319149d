#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class FrmNowy;
}

// The chooser between a new set and an existing one: it tells its choice and closes itself.
class FrmNowy : public QWidget
{
    Q_OBJECT
public:
    explicit FrmNowy(QWidget* parent = nullptr);
    ~FrmNowy() override;

signals:
    // True for "Nowy Zestaw", false for an existing set.
    void wybrano(bool nowy);

private:
    void wybierz(bool nowy);

    const std::unique_ptr<Ui::FrmNowy> ui;
};
