#pragma once

#include <QWidget>

// A shape: a rectangle filled with its back colour and/or outlined with its
// border colour. It takes no input.
class Sagoma : public QWidget {
    Q_OBJECT
public:
    explicit Sagoma(QWidget *parent = nullptr);
    void impostaSfondo(int colore)
    {
        sfondo_ = colore;
        update();
    }
    void impostaBordo(int colore)
    {
        bordo_ = colore;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    int sfondo_ = -1;
    int bordo_ = -1;
};
