#pragma once

#include <QFrame>

// A frame: a coloured panel holding other controls, with a thin border or none.
class Cornice : public QFrame {
    Q_OBJECT
public:
    explicit Cornice(QWidget *parent = nullptr);
    void impostaSfondo(int colore);
    void impostaBordo(bool bordo);
};
