#pragma once

#include <QLabel>

// A label: always plain text, wrapped inside its rectangle; a transparent one
// paints only its text.
class Etichetta : public QLabel {
    Q_OBJECT
public:
    explicit Etichetta(QWidget *parent = nullptr);
    void impostaSfondo(int colore); // -1: transparent
    void impostaColoreTesto(int colore);
};
