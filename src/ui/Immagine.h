#pragma once

#include "Disegno.h"

#include <QWidget>

// An image control: shows its picture at the picture's own size from the
// top-left corner, or stretched to the control. It may hold no picture at all.
class Immagine : public QWidget {
    Q_OBJECT
public:
    explicit Immagine(QWidget *parent = nullptr);

    void impostaDisegno(const Disegno &disegno);
    void togliDisegno();
    const Disegno &disegno() const { return disegno_; }
    bool haDisegno() const { return !disegno_.isNull(); }

    void impostaEstendi(bool estendi);

signals:
    // Its picture changed, or it was shown or hidden.
    void cambiata();

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *) override;

private:
    Disegno disegno_;
    bool estendi_ = false;
};
