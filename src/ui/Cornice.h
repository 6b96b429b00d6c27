#pragma once

#include <QFrame>

#include <optional>

// A frame: a coloured panel holding other controls, with a thin border or none.
class Cornice : public QFrame {
    Q_OBJECT
public:
    explicit Cornice(QWidget *parent = nullptr);
    void impostaSfondo(const std::optional<QColor> &colore);
    void impostaBordo(bool bordo);
};
