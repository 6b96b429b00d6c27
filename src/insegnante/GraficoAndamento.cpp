#include "GraficoAndamento.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

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
    return massimo;
}

// A step of 1, 2 or 5 times a power of ten that cuts 0..massimo in about five: labels are
// then what the lines are at, and read at a glance.
double passoTondo(double massimo)
{
    const double grezzo = massimo / 5;
    const double potenza = std::pow(10.0, std::floor(std::log10(grezzo)));
    for (const double m : {1.0, 2.0, 5.0})
        if (m * potenza >= grezzo * (1 - 1e-9))
            return m * potenza;
    return 10 * potenza;
}

QString testoValore(double v, Grandezza g, int decimali)
{
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    return g == Grandezza::Percentuale ? QStringLiteral("%1 %").arg(qRound(v))
                                       : QStringLiteral("%1 s").arg(italiano.toString(v, 'f', decimali));
}

void pannello(QPainter &p, const QRectF &r, const ModelloAndamento &m, Grandezza g, int primaSett, int ultimaSett,
              const QString &titolo)
{
    const double passoValori = passoTondo(g == Grandezza::Percentuale ? 100 : std::max(1.0, massimoSecondi(m)));
    const double massimo = g == Grandezza::Percentuale
                               ? 100
                               : std::ceil(std::max(1.0, massimoSecondi(m)) / passoValori - 1e-9) * passoValori;
    const int decimaliTacche = passoValori < 1 ? 1 : 0;
    const QFontMetricsF fm(p.font());
    const double sinistra = r.left() + fm.horizontalAdvance(QStringLiteral("100 %")) + 8;
    const QRectF grafico(sinistra, r.top() + fm.height() * 1.4, r.right() - sinistra - 8,
                         r.height() - fm.height() * 2.8);
    p.setPen(Qt::black);
    p.drawText(QRectF(r.left(), r.top(), r.width(), fm.height() * 1.3), Qt::AlignLeft | Qt::AlignVCenter, titolo);
    // Half a week of room at either end: no week sits on the axis, and a single one is in the middle.
    const int settimane = ultimaSett - primaSett + 1;
    auto x = [&](double s) { return grafico.left() + grafico.width() * (s - primaSett + 0.5) / settimane; };
    auto y = [&](double v) { return grafico.bottom() - grafico.height() * v / massimo; };

    // Grid: a light line at every step, labelled with its value.
    const int linee = qRound(massimo / passoValori);
    for (int i = 0; i <= linee; ++i) {
        const double v = passoValori * i;
        p.setPen(QPen(QColor(200, 200, 200), 0));
        p.drawLine(QPointF(grafico.left(), y(v)), QPointF(grafico.right(), y(v)));
        p.setPen(Qt::black);
        p.drawText(QRectF(r.left(), y(v) - fm.height() / 2, sinistra - r.left() - 6, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, testoValore(v, g, decimaliTacche));
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
        // A single week has no line to read: its values are written beside its points.
        if (primaSett == ultimaSett)
            for (const QPointF &q : punti) {
                p.setPen(colori[t].darker(130));
                p.drawText(QPointF(x(q.x()) + 9, y(q.y()) + fm.ascent() / 2 - 1), testoValore(q.y(), g, 1));
            }
    }
}

} // namespace

GraficoAndamento::GraficoAndamento(QWidget *genitore) : QWidget(genitore)
{
    setAccessibleName(QStringLiteral("Grafico dell'andamento"));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void GraficoAndamento::impostaModello(const ModelloAndamento *modello)
{
    modello_ = modello;
    const auto aggiorna = [this] {
        setAccessibleDescription(modello_ ? descrizione(*modello_) : QString());
        update();
    };
    if (modello_)
        connect(modello_, &QAbstractItemModel::modelReset, this, aggiorna);
    aggiorna();
}

QString GraficoAndamento::descrizione(const ModelloAndamento &m)
{
    if (m.rowCount() == 0)
        return QStringLiteral("Nessun esercizio in quest'anno scolastico.");
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    // Each week's percent right over all kinds, and the range of the kinds' median seconds.
    QList<int> percentuali;
    double minSecondi = std::numeric_limits<double>::max();
    double maxSecondi = 0;
    for (int r = 0; r < m.rowCount(); ++r) {
        double esatte = 0;
        int esercizi = 0;
        for (int t = 0; t < Riepilogo::tipi; ++t) {
            const QVariant p =
                m.data(m.index(r, ModelloAndamento::colonna(t, Grandezza::Percentuale)), ModelloAndamento::ruoloValore);
            const QVariant s =
                m.data(m.index(r, ModelloAndamento::colonna(t, Grandezza::Secondi)), ModelloAndamento::ruoloValore);
            if (p.isValid()) {
                esatte += p.toDouble() * m.esercizi(r, t);
                esercizi += m.esercizi(r, t);
            }
            if (s.isValid()) {
                minSecondi = std::min(minSecondi, s.toDouble());
                maxSecondi = std::max(maxSecondi, s.toDouble());
            }
        }
        if (esercizi > 0)
            percentuali << qRound(esatte / esercizi);
    }
    const auto intervallo = [](const QString &da, const QString &a, const QString &unita) {
        return da == a ? da + unita : QStringLiteral("da %1 a %2%3").arg(da, a, unita);
    };
    const int settimane = m.rowCount();
    QString testo = settimane == 1 ? QStringLiteral("1 settimana") : QStringLiteral("%1 settimane").arg(settimane);
    if (!percentuali.isEmpty()) {
        const auto [minimo, massimo] = std::minmax_element(percentuali.begin(), percentuali.end());
        testo += QStringLiteral(": esatte ") +
                 intervallo(QString::number(*minimo), QString::number(*massimo), QStringLiteral(" %"));
        if (settimane > 1 && *minimo != *massimo)
            testo += QStringLiteral(" (l'ultima %1 %)").arg(percentuali.last());
    }
    if (maxSecondi > 0 || minSecondi == 0)
        testo += QStringLiteral(", secondi per risposta ") +
                 intervallo(italiano.toString(minSecondi, 'f', 1), italiano.toString(maxSecondi, 'f', 1), {});
    return testo + QLatin1Char('.');
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
