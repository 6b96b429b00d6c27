#include "StampaSoluzioni.h"

#include "SchedeClasse.h"
#include "core/GeometriaScheda.h"
#include "printing/SuperficieStampa.h"

#include <algorithm>

namespace {

// Twips, like the sheets, and as wide as their boxes.
constexpr int sinistra = GeometriaScheda::sinistraRiquadroSinistro;
constexpr int destra = GeometriaScheda::destraRiquadroDestro;
constexpr int altoTabella = 2300;
constexpr int altezzaRiga = 500;
constexpr int xNumero = 700;
constexpr int xPrimaColonna = 1700;
constexpr int larghezzaColonna = 2350;

int colonna(int e) { return xPrimaColonna + larghezzaColonna * (e - 1); }

} // namespace

QString StampaSoluzioni::voce(int tipo, const EsercizioEstratto &esercizio)
{
    const int primo = esercizio.ElementiPrimo;
    const int risposta = primo - 1;
    QString testo = QStringLiteral("%1 → %2").arg(primo).arg(risposta);
    if (tipo == 1)
        return testo;
    const int secondo = esercizio.UltimaCasella + 1;
    return testo + (secondo < risposta ? QStringLiteral(", aggiungi %1").arg(risposta - secondo)
                                       : QStringLiteral(", togli %1").arg(secondo - risposta));
}

void StampaSoluzioni::testo(int x, int y, double punti, const QString &testo)
{
    superficie_.impostaX(x);
    superficie_.impostaY(y);
    superficie_.impostaCarattere(punti);
    superficie_.stampaTesto(testo);
}

void StampaSoluzioni::stampa(const std::vector<SchedaEstratta> &schede)
{
    const int totale = static_cast<int>(schede.size());
    for (int prima = 1; prima <= totale; prima += righePerPagina) {
        if (prima > 1)
            superficie_.nuovaPagina();
        pagina(schede, prima, std::min(totale, prima + righePerPagina - 1));
    }
}

void StampaSoluzioni::pagina(const std::vector<SchedaEstratta> &schede, int prima, int ultima)
{
    const int totale = static_cast<int>(schede.size());
    testo(1000, 1000, 14,
          QStringLiteral("Soluzioni delle schede da %1 a %2 (di %3)").arg(prima).arg(ultima).arg(totale));
    testo(1000, 1500, 11, QStringLiteral("In ogni esercizio: elementi del primo insieme → elementi della risposta"));
    if (tipo_ != 1)
        testo(1000, 1780, 11,
              tipo_ == 2 ? QStringLiteral("e quanti elementi aggiungere al secondo insieme")
                         : QStringLiteral("e quanti elementi togliere dal secondo insieme"));
    const int righe = ultima - prima + 1;
    const int altoRighe = altoTabella + altezzaRiga;
    const int basso = altoRighe + altezzaRiga * righe;
    testo(xNumero - 150, altoTabella + 120, 11, QStringLiteral("Scheda"));
    for (int e = 1; e <= GeometriaScheda::esercizi; ++e)
        testo(colonna(e), altoTabella + 120, 11, QStringLiteral("Esercizio %1").arg(e));

    superficie_.impostaSpessoreLinea(1);
    superficie_.linea({sinistra, altoTabella}, {destra, altoTabella});
    for (int r = 0; r <= righe; ++r)
        superficie_.linea({sinistra, altoRighe + altezzaRiga * r}, {destra, altoRighe + altezzaRiga * r});
    for (int e = 1; e <= GeometriaScheda::esercizi; ++e)
        superficie_.linea({colonna(e) - 150, altoTabella}, {colonna(e) - 150, basso});
    for (int n = prima; n <= ultima; ++n) {
        const int y = altoRighe + altezzaRiga * (n - prima);
        testo(xNumero, y + 70, 16, QString::number(n));
        const SchedaEstratta &scheda = schede[n - 1];
        for (int e = 1; e <= GeometriaScheda::esercizi; ++e)
            testo(colonna(e), y + 120, 11, voce(tipo_, scheda.esercizi[e - 1]));
    }
}
