#include "PaginaPdf.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace PaginaPdf {

namespace {
// The sheet's geometry written out again, so that a wrong constant in the program shows.
int alto(int e) { return 2000 + 3500 * (e - 1); }
QPoint cella(int e, int o, bool riquadroDestro)
{
    return {(riquadroDestro ? 6830 : 830) + 800 * (o % 5), alto(e) + 200 + 950 * (o / 5)};
}
} // namespace

bool disponibile()
{
    return !QStandardPaths::findExecutable("pdftoppm").isEmpty() &&
           !QStandardPaths::findExecutable("pdftotext").isEmpty() &&
           !QStandardPaths::findExecutable("pdfinfo").isEmpty();
}

QString esegui(const QString &programma, const QStringList &argomenti)
{
    QProcess p;
    p.start(programma, argomenti);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pagine(const QString &pdf)
{
    const auto m = QRegularExpression(R"(Pages:\s+(\d+))").match(esegui("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QList<Parola> parole(const QString &pdf, int pagina)
{
    const QString n = QString::number(pagina);
    const QString bbox = esegui("pdftotext", {"-bbox", "-f", n, "-l", n, pdf, "-"});
    static const QRegularExpression parola(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
    QList<Parola> r;
    for (auto it = parola.globalMatch(bbox); it.hasNext();) {
        const auto m = it.next();
        QString testo = m.captured(3);
        testo.replace("&apos;", "'").replace("&gt;", ">").replace("&lt;", "<").replace("&amp;", "&");
        r.append({testo, QPointF(m.captured(1).toDouble(), m.captured(2).toDouble())});
    }
    return r;
}

Resa::Resa(const QString &pdf, int pagina, QPointF origineMm) : origineMm_(origineMm)
{
    QTemporaryDir cartella;
    const QString n = QString::number(pagina);
    esegui("pdftoppm",
           {"-r", QString::number(dpi), "-gray", "-f", n, "-l", n, "-singlefile", pdf, cartella.filePath("p")});
    immagine_ = QImage(cartella.filePath("p.pgm"));
}

QPoint Resa::px(QPoint twips) const
{
    return {qRound((origineMm_.x() / 25.4 + twips.x() / 1440.0) * dpi),
            qRound((origineMm_.y() / 25.4 + twips.y() / 1440.0) * dpi)};
}

bool Resa::lineaVicina(int x, int y, bool orizzontale) const
{
    for (int d = -2; d <= 2; ++d)
        if (orizzontale ? scuro(x, y + d) : scuro(x + d, y))
            return true;
    return false;
}

bool Resa::cellaDisegnata(QPoint cella) const
{
    const QPoint da = px(cella), a = px(cella + QPoint(630, 690));
    int colorati = 0;
    for (int y = da.y(); y < a.y(); ++y)
        for (int x = da.x(); x < a.x(); ++x)
            colorati += qGray(immagine_.pixel(x, y)) < 235;
    return colorati > 20;
}

int Resa::figure(int e, bool riquadroDestro) const
{
    int n = 0;
    for (int o = 0; o < 15; ++o)
        n += cellaDisegnata(cella(e, o, riquadroDestro));
    return n;
}

QString Resa::riquadriFuoriPosto(int tipo) const
{
    for (int e = 1; e <= 4; ++e) {
        const int sopra = alto(e), basso = sopra + 3100;
        for (auto [sinistra, destra] : {std::pair{500, tipo == 1 && e == 1 ? 5000 : 5500}, std::pair{6000, 11000}}) {
            const QPoint mezzo = px({(sinistra + destra) / 2, (sopra + basso) / 2});
            const bool lati = lineaVicina(mezzo.x(), px({0, sopra}).y(), true) &&
                              lineaVicina(mezzo.x(), px({0, basso}).y(), true) &&
                              lineaVicina(px({sinistra, 0}).x(), mezzo.y(), false) &&
                              lineaVicina(px({destra, 0}).x(), mezzo.y(), false);
            // Nothing just outside the box edges.
            if (!lati || lineaVicina(px({destra + 120, 0}).x(), mezzo.y(), false))
                return QStringLiteral("exercise %1: box from x %2 is not where it belongs").arg(e).arg(sinistra);
        }
    }
    return {};
}

QString Resa::differenze(int tipo, const ContenutoScheda &contenuto) const
{
    if (const QString riquadri = riquadriFuoriPosto(tipo); !riquadri.isEmpty())
        return riquadri;
    for (int e = 1; e <= 4; ++e) {
        for (int o = 0; o < 15; ++o) {
            const bool primo = contenuto.primo[e - 1][o].numero() > 0;
            const bool secondo = tipo != 1 && contenuto.secondo[e - 1][o].numero() > 0;
            if (cellaDisegnata(cella(e, o, false)) != primo || cellaDisegnata(cella(e, o, true)) != secondo)
                return QStringLiteral("exercise %1, cell %2 does not show its picture").arg(e).arg(o);
        }
    }
    return {};
}

} // namespace PaginaPdf
