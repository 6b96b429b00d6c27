#pragma once

#include <QColor>
#include <QWidget>

#include <optional>

// A shape: a rectangle filled with its back colour and/or outlined with its
// border colour. It takes no input.
class Sagoma : public QWidget {
    Q_OBJECT
public:
    explicit Sagoma(QWidget *parent = nullptr);
    void impostaSfondo(const std::optional<QColor> &colore)
    {
        sfondo_ = colore;
        update();
    }
    void impostaBordo(const std::optional<QColor> &colore)
    {
        bordo_ = colore;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    std::optional<QColor> sfondo_;
    std::optional<QColor> bordo_;
};
