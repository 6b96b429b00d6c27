#include "FinestraScheda.h"

#include "StampaScheda.h"
#include "core/EstrazioneScheda.h"
#include "core/Livello.h"
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
#include <QActionGroup>
#include <QDir>
#include <QMenu>

namespace {

constexpr const char *nomiLivello[] = {"mnuSenzaLivello", "mnuLivello1", "mnuLivello2", "mnuLivello3",
                                       "mnuLivello4",     "mnuLivello5", "mnuLivello6"};
static_assert(std::size(nomiLivello) == Livello::ultimo + 1);

} // namespace

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

    // Only the levels that have sheets of this kind, each with the N it draws.
    mnuLivello_ = aggiungiMenu("mnuLivello", QStringLiteral("Livello"));
    auto *gruppo = new QActionGroup(mnuLivello_);
    auto scelta = [this, gruppo](const char *nome, const QString &testo, const Livello *livello) {
        QAction *azione = aggiungiAzione(mnuLivello_, nome, testo);
        azione->setCheckable(true);
        azione->setChecked(!livello);
        azione->setData(livello ? livello->numero() : 0);
        gruppo->addAction(azione);
        connect(azione, &QAction::triggered, this, [this, livello] { impostaLivello(livello); });
    };
    scelta(nomiLivello[0], QStringLiteral("Senza livello: i numeri di sempre"), nullptr);
    const int tipo = configurazione_.tipo;
    for (int n = Livello::primo; n <= Livello::ultimo; ++n) {
        const Livello &livello = Livello::di(n);
        if (livello.offre(tipo - 1))
            scelta(nomiLivello[n],
                   QStringLiteral("Livello %1: da %2 a %3 elementi")
                       .arg(n)
                       .arg(EstrazioneScheda::minimoN(tipo, livello))
                       .arg(EstrazioneScheda::massimoN(tipo, livello)),
                   &livello);
    }
}

void FinestraScheda::impostaLivello(const Livello *livello)
{
    livello_ = livello;
    const int numero = livello ? livello->numero() : 0;
    for (QAction *azione : mnuLivello_->actions())
        azione->setChecked(azione->data().toInt() == numero);
    ricomincia();
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

void FinestraScheda::mnuSchedeClasse_Click() { frmSchedeClasse::istanza().apriPer(configurazione_.tipo, livello_); }

void FinestraScheda::Form_Unload() { RegistroFinestre::istanza().tornaAllInizio(); }
