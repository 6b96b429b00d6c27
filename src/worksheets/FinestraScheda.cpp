#include "FinestraScheda.h"

#include "StampaScheda.h"
#include "frmSchedeClasse.h"
#include "printing/StampanteCorrente.h"
#include "printing/SuperficieStampa.h"
#include "printing/frmStampante.h"
#include "ui/FrmFigure.h"
#include "ui/Immagine.h"
#include "ui/Messaggio.h"
#include "ui/Pulsante.h"
#include "ui/RegistroFinestre.h"

#include <QAction>
#include <QDir>

FinestraScheda::FinestraScheda(const DefinizioneFinestra &definizione, const ConfigurazioneScheda &configurazione)
    : Finestra(definizione), configurazione_(configurazione)
{
}

void FinestraScheda::collegaComuni(const char *testoMenu)
{
    Command1_ = controllo<Pulsante>("Command1");
    CmdFine_ = controllo<Pulsante>("CmdFine");
    mnuImpostazioneStampante_ = aggiungiAzioneBarra("mnuImpostazioneStampante", QString::fromUtf8(testoMenu));
    connect(Command1_, &Pulsante::clicked, this, &FinestraScheda::Command1_Click);
    connect(CmdFine_, &Pulsante::clicked, this, &Finestra::scarica);
    connect(mnuImpostazioneStampante_, &QAction::triggered, this, &FinestraScheda::mnuImpostazioneStampante_Click);
    mnuSchedeClasse_ = aggiungiAzioneBarra("mnuSchedeClasse", QStringLiteral("Schede per la classe…"));
    connect(mnuSchedeClasse_, &QAction::triggered, this, &FinestraScheda::mnuSchedeClasse_Click);
}

void FinestraScheda::segnaVisto(int e)
{
    bool *visto[] = {&Visto1, &Visto2, &Visto3, &Visto4};
    *visto[e - 1] = true;
}

void FinestraScheda::pulisci(Immagine *slot) { slot->impostaDisegno(figura(0)); }

Disegno FinestraScheda::figura(int k) { return FrmFigure::istanza().figura(k); }

void FinestraScheda::Command1_Click()
{
    if (!tuttiVisti()) {
        Messaggio::mostra(QString::fromUtf8(configurazione_.completa));
        return;
    }
    const ContenutoScheda scheda = contenuto();
    std::unique_ptr<SuperficieStampa> superficie = StampanteCorrente::istanza().apriDocumento();
    StampaScheda stampa(*superficie, configurazione_);
    if (stampa.stampa(scheda) && !superficie->fileProdotto().isEmpty())
        Messaggio::mostra(QStringLiteral("La scheda è stata salvata nel file\n") +
                          QDir::toNativeSeparators(superficie->fileProdotto()));
}

void FinestraScheda::mnuImpostazioneStampante_Click() { frmStampante::istanza().mostraModale(); }

void FinestraScheda::mnuSchedeClasse_Click() { frmSchedeClasse::istanza().apriPer(configurazione_.tipo); }

void FinestraScheda::Form_Unload() { RegistroFinestre::istanza().tornaAllInizio(); }
