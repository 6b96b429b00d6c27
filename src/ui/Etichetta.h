#pragma once

#include <QLabel>
#include <QTextOption>

#include <optional>

// A label: always plain text, wrapped inside its rectangle (at word boundaries,
// or anywhere in a word too long for a line, such as a printer's name); a
// transparent one paints only its text.
class Etichetta : public QLabel {
    Q_OBJECT
public:
    explicit Etichetta(QWidget *parent = nullptr);
    void impostaSfondo(const std::optional<QColor> &colore); // none: transparent
    void impostaColoreTesto(const QColor &colore);

    // The space the text takes once wrapped to the label's width.
    QRectF ingombro() const;
    // Sets the text; where the label's own font would cut it, takes the largest
    // smaller size that shows all of it.
    void impostaTestoIntero(const QString &testo);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QTextOption opzioni() const;

    std::optional<QFont> carattereProprio_;
};
