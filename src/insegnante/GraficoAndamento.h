#pragma once

#include "insegnante/ModelliRegistro.h"

#include <QPointF>
#include <QWidget>

class QPainter;

// A pupil's school weeks drawn in two panels, percent right above and median
// seconds below, one line per kind of exercise. The three kinds differ in
// colour (a palette safe for colour-blind viewers), in marker and in dash, so
// the chart also reads printed in black and white. Everything drawn is read
// from the model, which a screen reader gets as a table.
class GraficoAndamento : public QWidget {
    Q_OBJECT
public:
    explicit GraficoAndamento(QWidget *genitore = nullptr);

    void impostaModello(const ModelloAndamento *modello);

    // The points of one line, as (week, value): what the chart draws.
    static QList<QPointF> punti(const ModelloAndamento &modello, int tipo, ModelloAndamento::Grandezza grandezza);
    // Draws the chart of the model in the rectangle (screen or page).
    static void disegna(QPainter &p, const QRectF &area, const ModelloAndamento &modello);
    // The chart in a sentence, for a screen reader: "3 settimane: esatte da 40 a 75 % ...".
    static QString descrizione(const ModelloAndamento &modello);

    QSize sizeHint() const override { return {720, 420}; }
    QSize minimumSizeHint() const override { return {360, 260}; }

protected:
    void paintEvent(QPaintEvent *evento) override;

private:
    const ModelloAndamento *modello_ = nullptr;
};
