#pragma once

#include "ContenutoScheda.h"
#include "core/ConfigurazioneScheda.h"

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
    // The heading, the boxes and the pictures of one sheet on the current page.
    void disegna(const ContenutoScheda &contenuto);
    // The whole page, sent. False when it was not sent; the user has then been told, once.
    bool stampa(const ContenutoScheda &contenuto);

    // Documents of many pages: disegna() and numera() for each sheet, concludi() once at the end.
    // "Scheda 3 / 25" in the bottom margin, below every box.
    void numera(int numero, int totale);
    // Sends the document. False when it was not sent; the user has then been told, once.
    bool concludi();
    // Whether the printer failed; the first failure shows the message.
    bool errore();

private:
    // Tells the user of the failure, once.
    void segnala();
    void riquadro(int e, int sinistra, int destra);
    void celle(int e, const ContenutoScheda::Celle &figure, bool riquadroDestro);

    SuperficieStampa &superficie_;
    const ConfigurazioneScheda &configurazione_;
    bool segnalato_ = false;
};
