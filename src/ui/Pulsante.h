#pragma once

#include <QPushButton>

#include <optional>

// A command button in graphical style: an ordinary push button in its back
// colour that acts on a click.
class Pulsante : public QPushButton {
    Q_OBJECT
public:
    explicit Pulsante(QWidget *parent = nullptr);
    void impostaSfondo(const std::optional<QColor> &colore);
};
