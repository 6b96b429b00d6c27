#pragma once

#include <QPushButton>

#include <optional>

// A command button in graphical style: an ordinary push button in its back
// colour that acts on a click. Its caption shrinks rather than being cut when
// the button is too small for it.
class Pulsante : public QPushButton {
    Q_OBJECT
public:
    explicit Pulsante(QWidget *parent = nullptr);
    void impostaSfondo(const std::optional<QColor> &colore);

    QRect rettangoloTesto() const;
    QFont carattereEffettivo() const;
    static constexpr int allineamentoTesto = Qt::AlignCenter | Qt::TextShowMnemonic;

protected:
    void paintEvent(QPaintEvent *e) override;
};
