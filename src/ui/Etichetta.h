#pragma once

#include <QLabel>
#include <QTextOption>

#include <optional>

// A label: always plain text, wrapped inside its rectangle (at word boundaries,
// or anywhere in a word too long for a line, such as a printer's name); a
// transparent one paints only its text. Its text shrinks rather than being cut
// when the label is smaller than its design.
class Etichetta : public QLabel {
    Q_OBJECT
public:
    explicit Etichetta(QWidget *parent = nullptr);
    void impostaSfondo(const std::optional<QColor> &colore); // none: transparent
    void impostaColoreTesto(const QColor &colore);

    // The space the text takes once wrapped to the label's width.
    QRectF ingombro() const;
    // Where the text goes: the label's contents as far as its container shows them.
    QRect rettangoloTesto() const;
    // The font the text is drawn in: the label's own unless the text would not fit.
    QFont carattereEffettivo() const;
    // Sets the text; where the label's own font would cut it, takes the largest
    // smaller size that shows all of it.
    void impostaTestoIntero(const QString &testo);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QTextOption opzioni() const;

    struct Adattamento {
        QString testo;
        QSize spazio;
        QFont progetto;
        double minimo = 0;
        QFont risultato;
    };
    mutable Adattamento adattamento_;
    std::optional<QFont> carattereProprio_;
};
