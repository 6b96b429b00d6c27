#include "StampaScheda.h"

#include "printing/SuperficieStampa.h"
#include "ui/Messaggio.h"

#include <functional>

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
    segnala();
    return true;
}

void StampaScheda::segnala()
{
    if (segnalato_)
        return;
    segnalato_ = true;
    const QString spiegazione = superficie_.spiegazioneErrore();
    Messaggio::mostra(spiegazione.isEmpty() ? messaggioErrore() : spiegazione);
}

void StampaScheda::StampaIntestazione()
{
    SuperficieStampa &s = superficie_;
    const QString istruzione = QString::fromUtf8(configurazione_.istruzione);
    const std::function<void()> passi[] = {
        [&] { s.impostaX(configurazione_.xNome); },
        [&] { s.impostaY(1000); },
        [&] { s.impostaCarattere(14); },
        [&] { s.stampaTesto(QStringLiteral("Nome e Cognome   ")); },
        [&] { s.impostaCarattere(14); },
        [&] { s.impostaX(1000); },
        [&] { s.impostaY(1500); },
        [&] { s.impostaCarattere(12); },
        [&] { s.stampaTesto(istruzione); },
    };
    // The first error shows its message and skips the rest of the heading.
    for (const auto &passo : passi) {
        passo();
        if (errore())
            return;
    }
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
    disegna(contenuto);
    return concludi();
}

void StampaScheda::disegna(const ContenutoScheda &contenuto)
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
}

void StampaScheda::numera(int numero, int totale)
{
    superficie_.impostaX(numeroScheda.x());
    superficie_.impostaY(numeroScheda.y());
    superficie_.impostaCarattere(10);
    superficie_.stampaTesto(QStringLiteral("Scheda %1 / %2").arg(numero).arg(totale));
}

bool StampaScheda::concludi()
{
    const bool inviata = superficie_.fineDocumento();
    if (!inviata)
        segnala();
    return inviata;
}
