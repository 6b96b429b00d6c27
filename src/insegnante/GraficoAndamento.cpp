#include "GraficoAndamento.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

using Grandezza = ModelloAndamento::Grandezza;

// Blue, vermilion, bluish green: told apart with every common colour-vision deficiency.
const QColor colori[Riepilogo::tipi] = {QColor(0, 114, 178), QColor(213, 94, 0), QColor(0, 158, 115)};
const Qt::PenStyle tratti[Riepilogo::tipi] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};

void marcatore(QPainter &p, int tipo, QPointF c, double r)
{
    switch (tipo) {
    case 0:
        p.drawEllipse(c, r, r);
        break;
    case 1:
        p.drawRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r));
        break;
    default: {
        const QPointF v[3] = {
            {c.x(), c.y() - 1.2 * r}, {c.x() - 1.1 * r, c.y() + 0.8 * r}, {c.x() + 1.1 * r, c.y() + 0.8 * r}};
        p.drawPolygon(v, 3);
    }
    }
}

double massimoSecondi(const ModelloAndamento &m)
{
    double massimo = 0;
    for (int t = 0; t < Riepilogo::tipi; ++t)
        for (const QPointF &q : GraficoAndamento::punti(m, t, Grandezza::Secondi))
            massimo = std::max(massimo, q.y());
    // A round top: 10, 20, 30 ... seconds.
    return std::max(10.0, std::ceil(massimo / 10) * 10);
}

void pannello(QPainter &p, const QRectF &r, const ModelloAndamento &m, Grandezza g, int primaSett, int ultimaSett,
              const QString &titolo)
{
    const double massimo = g == Grandezza::Percentuale ? 100 : massimoSecondi(m);
    const QFontMetricsF fm(p.font());
    const double sinistra = r.left() + fm.horizontalAdvance(QStringLiteral("100 %")) + 8;
    const QRectF grafico(sinistra, r.top() + fm.height() * 1.4, r.right() - sinistra - 8,
                         r.height() - fm.height() * 2.8);
    p.setPen(Qt::black);
    p.drawText(QRectF(r.left(), r.top(), r.width(), fm.height() * 1.3), Qt::AlignLeft | Qt::AlignVCenter, titolo);
    const int settimane = std::max(1, ultimaSett - primaSett);
    auto x = [&](double s) { return grafico.left() + grafico.width() * (s - primaSett) / settimane; };
    auto y = [&](double v) { return grafico.bottom() - grafico.height() * v / massimo; };

    // Grid: light lines every quarter, labelled.
    for (int i = 0; i <= 4; ++i) {
        const double v = massimo * i / 4;
        p.setPen(QPen(QColor(200, 200, 200), 0));
        p.drawLine(QPointF(grafico.left(), y(v)), QPointF(grafico.right(), y(v)));
        p.setPen(Qt::black);
        const QString etichetta =
            g == Grandezza::Percentuale ? QStringLiteral("%1 %").arg(qRound(v)) : QStringLiteral("%1 s").arg(qRound(v));
        p.drawText(QRectF(r.left(), y(v) - fm.height() / 2, sinistra - r.left() - 6, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, etichetta);
    }
    const int passo = std::max(1, settimane / 10 + 1);
    for (int s = primaSett; s <= ultimaSett; s += passo)
        p.drawText(QRectF(x(s) - 30, grafico.bottom() + 2, 60, fm.height()), Qt::AlignCenter, QString::number(s));
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(grafico.bottomLeft(), grafico.bottomRight());
    p.drawLine(grafico.bottomLeft(), grafico.topLeft());

    for (int t = 0; t < Riepilogo::tipi; ++t) {
        const QList<QPointF> punti = GraficoAndamento::punti(m, t, g);
        QPen penna(colori[t], 2.2, tratti[t], Qt::RoundCap, Qt::RoundJoin);
        p.setPen(penna);
        p.setBrush(Qt::NoBrush);
        QPainterPath linea;
        for (int i = 0; i < punti.size(); ++i) {
            const QPointF q(x(punti[i].x()), y(punti[i].y()));
            i == 0 ? linea.moveTo(q) : linea.lineTo(q);
        }
        p.drawPath(linea);
        p.setPen(QPen(colori[t], 1.5));
        p.setBrush(Qt::white);
        for (const QPointF &q : punti)
            marcatore(p, t, QPointF(x(q.x()), y(q.y())), 4);
    }
}

} // namespace

GraficoAndamento::GraficoAndamento(QWidget *genitore) : QWidget(genitore)
{
    setAccessibleName(QStringLiteral("Grafico dell'andamento"));
    setAccessibleDescription(QStringLiteral("Le stesse cifre sono nella tabella sotto il grafico."));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void GraficoAndamento::impostaModello(const ModelloAndamento *modello)
{
    modello_ = modello;
    if (modello_)
        connect(modello_, &QAbstractItemModel::modelReset, this, qOverload<>(&QWidget::update));
    update();
}

QList<QPointF> GraficoAndamento::punti(const ModelloAndamento &m, int tipo, Grandezza g)
{
    QList<QPointF> punti;
    const int c = ModelloAndamento::colonna(tipo, g);
    for (int r = 0; r < m.rowCount(); ++r) {
        const QVariant v = m.data(m.index(r, c), ModelloAndamento::ruoloValore);
        if (v.isValid())
            punti.append({double(m.settimana(r)), v.toDouble()});
    }
    return punti;
}

void GraficoAndamento::disegna(QPainter &p, const QRectF &area, const ModelloAndamento &m)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetricsF fm(p.font());
    if (m.rowCount() == 0) {
        p.setPen(Qt::black);
        p.drawText(area, Qt::AlignCenter, QStringLiteral("Nessun esercizio in quest'anno scolastico."));
        p.restore();
        return;
    }
    const int prima = m.settimana(0);
    const int ultima = m.settimana(m.rowCount() - 1);
    // Legend: a line, its marker and the kind's name.
    const double altezzaLegenda = fm.height() * 1.6;
    double x = area.left() + 8;
    for (int t = 0; t < Riepilogo::tipi; ++t) {
        const double yc = area.top() + altezzaLegenda / 2;
        p.setPen(QPen(colori[t], 2.2, tratti[t]));
        p.drawLine(QPointF(x, yc), QPointF(x + 36, yc));
        p.setPen(QPen(colori[t], 1.5));
        p.setBrush(Qt::white);
        marcatore(p, t, QPointF(x + 18, yc), 4);
        p.setPen(Qt::black);
        const QString nome = Riepilogo::nomeTipo(t);
        p.drawText(QPointF(x + 42, yc + fm.ascent() / 2 - 1), nome);
        x += 42 + fm.horizontalAdvance(nome) + 24;
    }
    const double resto = area.height() - altezzaLegenda;
    const QRectF alto(area.left(), area.top() + altezzaLegenda, area.width(), resto / 2);
    const QRectF basso(area.left(), alto.bottom(), area.width(), resto / 2);
    pannello(p, alto, m, Grandezza::Percentuale, prima, ultima, QStringLiteral("Risposte esatte, per settimana"));
    pannello(p, basso, m, Grandezza::Secondi, prima, ultima,
             QStringLiteral("Secondi per risposta (mediana), per settimana dell'anno scolastico"));
    p.restore();
}

void GraficoAndamento::paintEvent(QPaintEvent *)
{
    if (!modello_)
        return;
    QPainter p(this);
    disegna(p, QRectF(rect()).adjusted(6, 6, -6, -6), *modello_);
}
