#include "StampaScheda.h"

#include "printing/SuperficieStampa.h"
#include "ui/Messaggio.h"

using namespace GeometriaScheda;

const QString &StampaScheda::messaggioErrore()
{
    static const QString testo = QStringLiteral("Problema di stampa nella stampante utilizzata.");
    return testo;
}

StampaScheda::StampaScheda(SuperficieStampa &superficie, const ConfigurazioneScheda &configurazione)
    : superficie_(superficie), configurazione_(configurazione)
{
}

bool StampaScheda::errore()
{
    if (!superficie_.inErrore())
        return false;
    if (!segnalato_) {
        segnalato_ = true;
        Messaggio::mostra(messaggioErrore());
    }
    return true;
}

void StampaScheda::StampaIntestazione()
{
    SuperficieStampa &s = superficie_;
    s.impostaX(configurazione_.xNome);
    if (errore())
        return;
    s.impostaY(1000);
    if (errore())
        return;
    s.impostaCarattere(14);
    if (errore())
        return;
    s.stampaTesto(QStringLiteral("Nome e Cognome   "));
    if (errore())
        return;
    s.impostaCarattere(14);
    if (errore())
        return;
    s.impostaX(1000);
    if (errore())
        return;
    s.impostaY(1500);
    if (errore())
        return;
    s.impostaCarattere(12);
    if (errore())
        return;
    s.stampaTesto(QString::fromUtf8(configurazione_.istruzione));
    errore();
}

void StampaScheda::riquadro(int e, int sinistra, int destra)
{
    const int alto = altoRiquadro(e);
    const int basso = alto + altezzaRiquadro;
    superficie_.linea({sinistra, alto}, {destra, alto});
    superficie_.linea({sinistra, alto}, {sinistra, basso});
    superficie_.linea({destra, alto}, {destra, basso});
    superficie_.linea({sinistra, basso}, {destra, basso});
}

void StampaScheda::celle(int e, const ContenutoScheda::Celle &figure, bool riquadroDestro)
{
    for (int o = 0; o < GeometriaScheda::celle; ++o)
        superficie_.disegno(cella(e, o, riquadroDestro), figure[o]);
}

bool StampaScheda::stampa(const ContenutoScheda &contenuto)
{
    StampaIntestazione();
    superficie_.impostaSpessoreLinea(3);
    for (int e = 1; e <= esercizi; ++e) {
        const int tipo = configurazione_.tipo;
        riquadro(e, sinistraRiquadroSinistro, destraRiquadroSinistro(tipo, e));
        if (configurazione_.secondoInsieme) {
            celle(e, contenuto.primo[e - 1], false);
            riquadro(e, sinistraRiquadroDestro, destraRiquadroDestro);
            celle(e, contenuto.secondo[e - 1], true);
        } else {
            riquadro(e, sinistraRiquadroDestro, destraRiquadroDestro);
            celle(e, contenuto.primo[e - 1], false);
        }
    }
    const bool inviata = superficie_.fineDocumento();
    if (!inviata && !segnalato_) {
        segnalato_ = true;
        Messaggio::mostra(messaggioErrore());
    }
    return inviata;
}
