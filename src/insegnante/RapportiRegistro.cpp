#include "RapportiRegistro.h"

#include "core/Twips.h"
#include "insegnante/GraficoAndamento.h"
#include "printing/SuperficieStampa.h"
#include "ui/Disegno.h"

#include <QLocale>
#include <QPainter>

namespace RapportiRegistro {

namespace {

constexpr int margine = 300;
constexpr int altezzaRiga = 300;
constexpr int fondoPagina = 15400; // twips below the printable corner; an A4 page holds it
constexpr int righePerPagina = 40;

QString data(QDate d) { return QLocale(QLocale::Italian, QLocale::Italy).toString(d, QStringLiteral("d/M/yyyy")); }

void testo(SuperficieStampa &s, int x, int y, double punti, const QString &t)
{
    s.impostaX(x);
    s.impostaY(y);
    s.impostaCarattere(punti);
    s.stampaTesto(t);
}

int titolo(SuperficieStampa &s, const QString &riga1, const Intestazione &i)
{
    testo(s, margine, margine, 16, riga1);
    QString riga2 = QStringLiteral("Classe %1 — %2").arg(i.classe, testoPeriodo(i.periodo));
    if (i.tipo >= 0)
        riga2 += QStringLiteral(" — solo «%1»").arg(Riepilogo::nomeTipo(i.tipo));
    testo(s, margine, margine + 500, 11, riga2);
    testo(s, margine, margine + 850, 9, QStringLiteral("Stampato il %1").arg(data(Riepilogo::oggi())));
    return margine + 1400;
}

struct Colonna {
    int colonna;
    QString titolo;
    int larghezza;
};

const QList<Colonna> &colonne()
{
    static const QList<Colonna> c = {
        {ModelloClasse::Alunno, QStringLiteral("Alunno"), 2700},
        {ModelloClasse::Esercizi, QStringLiteral("Esercizi"), 900},
        {ModelloClasse::Esatte, QStringLiteral("Esatte"), 800},
        {ModelloClasse::EsatteVuoto, QStringLiteral("Vuoto"), 750},
        {ModelloClasse::EsatteAggiungi, QStringLiteral("Aggiungi"), 900},
        {ModelloClasse::EsatteTogli, QStringLiteral("Togli"), 750},
        {ModelloClasse::Aiuti, QStringLiteral("Aiuti"), 650},
        {ModelloClasse::Interventi, QStringLiteral("Interv."), 750},
        {ModelloClasse::Secondi, QStringLiteral("Secondi"), 850},
        {ModelloClasse::Ultimo, QStringLiteral("Ultimo esercizio"), 1500},
    };
    return c;
}

int intestazioneTabella(SuperficieStampa &s, int y)
{
    int x = margine;
    for (const Colonna &c : colonne()) {
        testo(s, x, y, 9, c.titolo);
        x += c.larghezza;
    }
    s.impostaSpessoreLinea(4);
    s.linea({margine, y + 260}, {x, y + 260});
    return y + 340;
}

QString ridotto(const QString &t, int massimo)
{
    return t.size() > massimo ? t.left(massimo - 1) + QStringLiteral("…") : t;
}

} // namespace

QString testoPeriodo(const Riepilogo::Periodo &p)
{
    if (p.dal.isNull() && p.al.isNull())
        return QStringLiteral("tutto il registro");
    if (p.dal.isNull())
        return QStringLiteral("fino al %1").arg(data(p.al));
    if (p.al.isNull())
        return QStringLiteral("dal %1").arg(data(p.dal));
    return QStringLiteral("dal %1 al %2").arg(data(p.dal), data(p.al));
}

bool stampaClasse(SuperficieStampa &s, const Intestazione &intestazione, const QList<Riepilogo::RigaAlunno> &righe)
{
    const QString nome = QStringLiteral("Riepilogo della classe");
    int y = intestazioneTabella(s, titolo(s, nome, intestazione));
    int nellaPagina = 0;
    for (const Riepilogo::RigaAlunno &r : righe) {
        if (nellaPagina == righePerPagina) {
            s.nuovaPagina();
            y = intestazioneTabella(s, titolo(s, nome + QStringLiteral(" (segue)"), intestazione));
            nellaPagina = 0;
        }
        int x = margine;
        for (const Colonna &c : colonne()) {
            QString t = ModelloClasse::testo(r, c.colonna);
            if (c.colonna == ModelloClasse::Alunno)
                t = ridotto(t, 28);
            if (c.colonna == ModelloClasse::Ultimo && r.esercizi == 0)
                t = QStringLiteral("» nessun esercizio");
            testo(s, x, y, 10, t);
            x += c.larghezza;
        }
        y += altezzaRiga;
        ++nellaPagina;
        if (s.inErrore())
            break;
    }
    y += 200;
    testo(s, margine, y, 8,
          QStringLiteral("Esatte: percentuale di risposte esatte, in tutto e per tipo di esercizio. Aiuti: aiuti "
                         "accettati. Interv.: volte in cui il programma è intervenuto."));
    testo(s, margine, y + 220, 8,
          QStringLiteral("Secondi: mediana dei secondi per risposta. » segna chi non ha fatto esercizi nel periodo."));
    return s.fineDocumento();
}

bool stampaAlunno(SuperficieStampa &s, const Intestazione &intestazione, const Riepilogo::RigaAlunno &r,
                  const ModelloAndamento &andamento)
{
    int y = titolo(s, QStringLiteral("Andamento di %1").arg(r.alunno.nome), intestazione);
    testo(s, margine, y, 10,
          QStringLiteral("Esercizi: %1; esatte: %2 (insieme vuoto %3, aggiungi %4, togli %5); aiuti accettati: %6; "
                         "interventi: %7; secondi (mediana): %8.")
              .arg(r.esercizi)
              .arg(ModelloClasse::testoPercentuale(r.percentuale()),
                   ModelloClasse::testoPercentuale(r.percentualeTipo(0)),
                   ModelloClasse::testoPercentuale(r.percentualeTipo(1)),
                   ModelloClasse::testoPercentuale(r.percentualeTipo(2)))
              .arg(r.aiuti)
              .arg(r.interventi)
              .arg(ModelloClasse::testoSecondi(r.mediana)));
    y += 450;

    // The chart at four times its size, so it stays sharp on paper.
    const QSize dimensione(700, 380);
    QImage normale(dimensione, QImage::Format_RGB32);
    QImage alta(dimensione * 4, QImage::Format_RGB32);
    for (QImage *immagine : {&normale, &alta}) {
        immagine->fill(Qt::white);
        QPainter p(immagine);
        p.scale(double(immagine->width()) / dimensione.width(), double(immagine->height()) / dimensione.height());
        GraficoAndamento::disegna(p, QRectF(QPointF(0, 0), QSizeF(dimensione)), andamento);
    }
    s.disegno({margine, y}, Disegno(-1, normale, alta));
    y += dimensione.height() * Twips::perPixel + 200;

    const int larghezzaSettimana = 1500;
    const int larghezza = 1050;
    auto testata = [&] {
        testo(s, margine, y, 9, QStringLiteral("Settimana"));
        for (int t = 0; t < Riepilogo::tipi; ++t) {
            const int x = margine + larghezzaSettimana + t * 2 * larghezza;
            testo(s, x, y, 9, Riepilogo::nomeTipo(t));
            testo(s, x, y + 220, 8, QStringLiteral("esatte"));
            testo(s, x + larghezza, y + 220, 8, QStringLiteral("secondi"));
        }
        s.impostaSpessoreLinea(4);
        s.linea({margine, y + 460}, {margine + larghezzaSettimana + 6 * larghezza, y + 460});
        y += 520;
    };
    testata();
    for (int riga = 0; riga < andamento.rowCount(); ++riga) {
        if (y > fondoPagina) {
            s.nuovaPagina();
            y = margine;
            testata();
        }
        testo(s, margine, y, 9, andamento.index(riga, 0).data().toString());
        for (int c = 1; c < andamento.columnCount(); ++c)
            testo(s, margine + larghezzaSettimana + (c - 1) * larghezza, y, 9,
                  andamento.index(riga, c).data().toString());
        y += 260;
        if (s.inErrore())
            break;
    }
    return s.fineDocumento();
}

} // namespace RapportiRegistro
