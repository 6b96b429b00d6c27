#pragma once

#include "ConfigurazioneScheda.h"
#include "ContenutoScheda.h"

class SuperficieStampa;

// The print routine of a sheet: the heading, then for each exercise its two
// boxes and the pictures of every cell, then the end of the page.
class StampaScheda {
public:
    static const QString &messaggioErrore();

    StampaScheda(SuperficieStampa &superficie, const ConfigurazioneScheda &configurazione);

    // The name line and the instruction. On a printer error the message is shown
    // and the rest of the heading skipped.
    void StampaIntestazione();
    // The whole page. False when it was not sent; the user has then been told, once.
    bool stampa(const ContenutoScheda &contenuto);

    // The parts of stampa(), for documents of many pages.
    void disegna(const ContenutoScheda &contenuto);
    // "Scheda 3 / 25" in the bottom margin, below every box.
    void numera(int numero, int totale);
    bool concludi();
    // Whether the printer failed; the first failure shows the message.
    bool errore();

private:
    void riquadro(int e, int sinistra, int destra);
    void celle(int e, const ContenutoScheda::Celle &figure, bool riquadroDestro);

    SuperficieStampa &superficie_;
    const ConfigurazioneScheda &configurazione_;
    bool segnalato_ = false;
};
