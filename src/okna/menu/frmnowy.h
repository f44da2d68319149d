#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class FrmNowy;
}

// The chooser between a new set and an existing one. It stores the choice in nowyzestaw,
// asks for the editor and closes itself.
class FrmNowy : public QWidget
{
    Q_OBJECT
public:
    explicit FrmNowy(QWidget* parent = nullptr);
    ~FrmNowy() override;

signals:
    void showEditor();

private slots:
    void Command1();
    void Command2();

private:
    void choose(qint16 value);

    const std::unique_ptr<Ui::FrmNowy> ui;
};
