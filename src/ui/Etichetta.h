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

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QTextOption opzioni() const;
};
