#include "RapportiRegistro.h"

#include "core/Twips.h"
#include "insegnante/GraficoAndamento.h"
#include "insegnante/Informativa.h"
#include "insegnante/PdfInsegnante.h"
#include "printing/SuperficieStampa.h"
#include "ui/AspettoContrassegno.h"
#include "ui/Disegno.h"
#include "ui/NomiFigure.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QTimeZone>

#include <algorithm>

namespace RapportiRegistro {

namespace {

constexpr int margine = 300;
constexpr int altezzaRiga = 300;
constexpr int fondoPagina = 15400; // twips below the printable corner; an A4 page holds it
constexpr int righePerPagina = 40;
constexpr int larghezzaTesto = 10800; // "File PDF" on A4 holds 11500 twips across

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
    if (i.livello > 0)
        riga2 += QStringLiteral(" — solo livello %1").arg(i.livello);
    testo(s, margine, margine + 500, 11, riga2);
    testo(s, margine, margine + 850, 9, QStringLiteral("Stampato il %1").arg(data(Riepilogo::oggi())));
    return margine + 1400;
}

struct Colonna {
    int colonna;
    QString titolo;
    int larghezza;
};

// The class table's columns; with levels in use, the levels of each pupil's figures after the name.
const QList<Colonna> &colonne(bool livelli)
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
    static const QList<Colonna> conLivelli = {
        {ModelloClasse::Alunno, QStringLiteral("Alunno"), 2400},
        {ModelloClasse::Livello, QStringLiteral("Livelli"), 650},
        {ModelloClasse::Esercizi, QStringLiteral("Esercizi"), 850},
        {ModelloClasse::Esatte, QStringLiteral("Esatte"), 800},
        {ModelloClasse::EsatteVuoto, QStringLiteral("Vuoto"), 750},
        {ModelloClasse::EsatteAggiungi, QStringLiteral("Aggiungi"), 900},
        {ModelloClasse::EsatteTogli, QStringLiteral("Togli"), 750},
        {ModelloClasse::Aiuti, QStringLiteral("Aiuti"), 600},
        {ModelloClasse::Interventi, QStringLiteral("Interv."), 700},
        {ModelloClasse::Secondi, QStringLiteral("Secondi"), 800},
        {ModelloClasse::Ultimo, QStringLiteral("Ultimo esercizio"), 1500},
    };
    return livelli ? conLivelli : c;
}

int intestazioneTabella(SuperficieStampa &s, int y, bool livelli)
{
    int x = margine;
    for (const Colonna &c : colonne(livelli)) {
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

// The columns of a pupil's results, at 8 points.
const QList<Colonna> &colonneDati()
{
    static const QList<Colonna> c = {
        {0, QStringLiteral("Quando"), 1900},    {1, QStringLiteral("Esercizio"), 1300},
        {2, QStringLiteral("N"), 400},          {3, QStringLiteral("Figura"), 1500},
        {4, QStringLiteral("Risposta"), 800},   {5, QStringLiteral("Esatta"), 650},
        {6, QStringLiteral("Aiuto"), 950},      {7, QStringLiteral("Intervento"), 950},
        {8, QStringLiteral("Secondi"), 700},    {9, QStringLiteral("Livello"), 650},
        {10, QStringLiteral("Computer"), 1000},
    };
    return c;
}
constexpr int righeDatiPerPagina = 55;
constexpr int altezzaRigaDati = 230;

QStringList celleDati(const Registro::RigaRisultato &r)
{
    static const QTimeZone roma("Europe/Rome");
    const Risultato &x = r.risultato;
    const QDateTime quando = (r.momento.isValid() ? r.momento : x.quando).toTimeZone(roma);
    auto siNo = [](bool b) { return b ? QStringLiteral("sì") : QStringLiteral("no"); };
    return {QLocale(QLocale::Italian, QLocale::Italy).toString(quando, QStringLiteral("ddd d/M/yyyy HH:mm")),
            Riepilogo::nomeTipo(x.tipo),
            QString::number(x.n),
            NomiFigure::nomeDi(x.figura),
            QString::number(x.risposta),
            siNo(x.esatto),
            Risultato::nomeAiuto(x.aiuto),
            siNo(x.intervento),
            QString::number(x.secondi),
            QString::number(x.livello),
            ridotto(x.macchina, 12)};
}

} // namespace

QStringList aCapo(const QString &testo, double punti, int larghezza)
{
    // The font the print surface draws with: its size in twips, so widths come out in twips.
    QFont carattere;
    carattere.setPixelSize(qMax(1, qRound(punti * 20)));
    const QFontMetricsF metriche(carattere);
    QStringList righe;
    QString riga;
    for (const QString &parola : testo.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString prova = riga.isEmpty() ? parola : riga + QLatin1Char(' ') + parola;
        if (!riga.isEmpty() && metriche.horizontalAdvance(prova) > larghezza) {
            righe << riga;
            riga = parola;
        } else
            riga = prova;
    }
    if (!riga.isEmpty() || righe.isEmpty())
        righe << riga;
    return righe;
}

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
    s.impostaTitolo(QStringLiteral("%1 %2").arg(nome, intestazione.classe));
    // A percent right means little without the level it was reached at.
    const bool livelli = ModelloClasse::livelliInUso(righe);
    int y = intestazioneTabella(s, titolo(s, nome, intestazione), livelli);
    int nellaPagina = 0;
    for (const Riepilogo::RigaAlunno &r : righe) {
        if (nellaPagina == righePerPagina) {
            s.nuovaPagina();
            y = intestazioneTabella(s, titolo(s, nome + QStringLiteral(" (segue)"), intestazione), livelli);
            nellaPagina = 0;
        }
        int x = margine;
        for (const Colonna &c : colonne(livelli)) {
            QString t = c.colonna == ModelloClasse::Livello ? Riepilogo::testoLivelli(r.eserciziLivello)
                                                            : ModelloClasse::testo(r, c.colonna);
            if (c.colonna == ModelloClasse::Alunno)
                t = ridotto(t, livelli ? 25 : 28);
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
    const bool esercizi = std::any_of(righe.begin(), righe.end(), [](const auto &r) { return r.esercizi > 0; });
    if (livelli)
        testo(s, margine, y + 440, 8,
              QStringLiteral("Livelli: i livelli degli esercizi contati (1 il più facile, 4 i numeri di sempre, 6 il "
                             "più difficile)."));
    else if (esercizi)
        testo(s, margine, y + 440, 8,
              QStringLiteral("Tutti gli esercizi contati sono del livello %1, i numeri di sempre.")
                  .arg(Livello::consueto));
    return s.fineDocumento();
}

bool stampaAlunno(SuperficieStampa &s, const Intestazione &intestazione, const Riepilogo::RigaAlunno &r,
                  const ModelloAndamento &andamento)
{
    s.impostaTitolo(QStringLiteral("Andamento di %1").arg(r.alunno.nome));
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
    y += 300;
    if (intestazione.livello == 0 && r.esercizi > 0) {
        const QString livelli = Riepilogo::testoLivelli(r.eserciziLivello);
        testo(s, margine, y, 10,
              r.livelliDiversi() > 1
                  ? QStringLiteral("Esercizi dei livelli %1: le cifre mescolano livelli diversi.").arg(livelli)
                  : QStringLiteral("Tutti gli esercizi sono del livello %1.").arg(livelli));
    }
    y += 300;

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

bool stampaInformativa(SuperficieStampa &s, const Informativa &informativa)
{
    s.impostaTitolo(informativa.titolo());
    int y = margine;
    auto aCapoDiPagina = [&](int servono) {
        if (y + servono > fondoPagina) {
            s.nuovaPagina();
            y = margine;
        }
    };
    for (const QString &riga : aCapo(informativa.titolo(), 16, larghezzaTesto)) {
        testo(s, margine, y, 16, riga);
        y += 420;
    }
    y += 250;
    for (const Informativa::Sezione &sezione : informativa.sezioni()) {
        // A section's title stays with its first lines.
        aCapoDiPagina(360 + 3 * 250);
        testo(s, margine, y, 12, sezione.titolo);
        y += 360;
        for (const QString &paragrafo : sezione.paragrafi) {
            for (const QString &riga : aCapo(paragrafo, 10, larghezzaTesto)) {
                aCapoDiPagina(250);
                testo(s, margine, y, 10, riga);
                y += 250;
            }
            y += 110;
        }
        y += 160;
        if (s.inErrore())
            break;
    }
    aCapoDiPagina(250);
    testo(s, margine, y, 9, informativa.chiusura());
    return s.fineDocumento();
}

QString nomeFileDati(const QString &alunno) { return PdfInsegnante::nomeFile(QStringLiteral("Dati"), alunno); }

bool stampaDatiAlunno(SuperficieStampa &s, const Alunno &alunno, const QString &classe,
                      const QList<Registro::RigaRisultato> &righe)
{
    s.impostaTitolo(QStringLiteral("Dati di %1 nel registro").arg(alunno.nome));
    const int pagine = qMax<int>(1, int((righe.size() + righeDatiPerPagina - 1) / righeDatiPerPagina));
    const QString contrassegno = AspettoContrassegno::descrizione(alunno.contrassegno.figura,
                                                                  Contrassegno::nomeColore(alunno.contrassegno.colore));
    // The tile as the pupil sees it, at four times its size so it stays sharp on paper.
    const QSize lato(56, 56);
    QImage normale(lato, QImage::Format_RGB32);
    QImage alta(lato * 4, QImage::Format_RGB32);
    for (QImage *immagine : {&normale, &alta}) {
        immagine->fill(Qt::white);
        QPainter p(immagine);
        AspettoContrassegno::dipingi(p, QRectF(QPointF(0, 0), QSizeF(immagine->size())), alunno.contrassegno.figura,
                                     alunno.contrassegno.colore);
    }
    const Disegno tessera(-1, normale, alta);

    auto testata = [&](int pagina) {
        testo(s, margine, margine, 16,
              QStringLiteral("Dati di %1 nel registro%2")
                  .arg(ridotto(alunno.nome, 40), pagina > 1 ? QStringLiteral(" (segue)") : QString()));
        testo(s, margine, margine + 500, 11,
              QStringLiteral("Classe %1 — contrassegno: %2").arg(ridotto(classe, 40), contrassegno));
        testo(s, margine, margine + 850, 9,
              QStringLiteral("Stampato il %1 — %2 risultati — pagina %3 di %4")
                  .arg(data(Riepilogo::oggi()))
                  .arg(righe.size())
                  .arg(pagina)
                  .arg(pagine));
        if (pagina == 1 && !tessera.normale().isNull())
            s.disegno({margine + larghezzaTesto - lato.width() * Twips::perPixel, margine}, tessera);
        int y = margine + 1400;
        int x = margine;
        for (const Colonna &c : colonneDati()) {
            testo(s, x, y, 8, c.titolo);
            x += c.larghezza;
        }
        s.impostaSpessoreLinea(4);
        s.linea({margine, y + 240}, {x, y + 240});
        return y + 300;
    };

    int y = testata(1);
    int pagina = 1;
    int nellaPagina = 0;
    for (const Registro::RigaRisultato &r : righe) {
        if (nellaPagina == righeDatiPerPagina) {
            s.nuovaPagina();
            y = testata(++pagina);
            nellaPagina = 0;
        }
        int x = margine;
        const QStringList celle = celleDati(r);
        for (const Colonna &c : colonneDati()) {
            testo(s, x, y, 8, celle.at(c.colonna));
            x += c.larghezza;
        }
        y += altezzaRigaDati;
        ++nellaPagina;
        if (s.inErrore())
            break;
    }
    if (righe.isEmpty()) {
        testo(s, margine, y, 10, QStringLiteral("Nessun risultato nel registro."));
        y += 300;
    }
    y += 150;
    testo(s, margine, y, 7,
          QStringLiteral("Quando: giorno e ora italiani della risposta. N: figure del primo insieme. Risposta: figure "
                         "dell'insieme costruito. Aiuto: se è stato offerto dopo una risposta sbagliata, e come è "
                         "andata."));
    testo(s, margine, y + 200, 7,
          QStringLiteral("Intervento: il programma ha mostrato la soluzione. Secondi: il tempo della risposta. "
                         "Computer: dove il bambino ha risposto."));
    return s.fineDocumento();
}

} // namespace RapportiRegistro
