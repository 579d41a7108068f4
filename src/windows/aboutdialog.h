#pragma once
// The about box: picture, product name, customer and "Control de Calidad".
// The frame creates a new one each time the command is chosen.
#include <QDialog>

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;
};
