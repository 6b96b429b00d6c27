#pragma once

#include <QColor>
#include <QWidget>

#include <optional>

// A picture box with no content: a plain coloured area (the start window's curtains).
class Riquadro : public QWidget {
    Q_OBJECT
public:
    explicit Riquadro(QWidget *parent = nullptr);
    void impostaSfondo(const std::optional<QColor> &colore);
    QColor sfondo() const { return sfondo_; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QColor sfondo_ = Qt::white;
};
