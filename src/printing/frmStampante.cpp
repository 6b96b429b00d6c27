#include "frmStampante.h"

#include "StampanteCorrente.h"
#include "ui/Etichetta.h"
#include "ui/Pulsante.h"

#include <QComboBox>

namespace {

constexpr Carattere sansSerif{"MS Sans Serif", 9.75, true};

constexpr DefinizioneFinestra finestra{
    .titolo = "Form1", .larghezzaClient = 6060, .altezzaClient = 5460, .sfondo = QColor(255, 255, 192)};

constexpr DefinizioneControllo definizioni[] = {
    {.tipo = TipoControllo::Etichetta, .nome = "Label1", .posizione = {432, 168, 1716, 1524}, .carattere = sansSerif},
    {.tipo = TipoControllo::Etichetta, .nome = "Label2", .posizione = {3276, 120, 1704, 1452}, .carattere = sansSerif},
    {.tipo = TipoControllo::Elenco,
     .nome = "Combo1",
     .posizione = {612, 2400, 4632, 336},
     .carattere = sansSerif,
     .tabIndex = 2},
    {.tipo = TipoControllo::Pulsante,
     .nome = "Command2",
     .posizione = {1128, 4188, 3168, 648},
     .testo = "C H I U D I",
     .sfondo = QColor(255, 255, 128),
     .carattere = {"MS Sans Serif", 13.5, true},
     .tabIndex = 3},
};

const QString aCapo = QStringLiteral("\n");
const QString senzaStampanti = QStringLiteral("Nessuna stampante installata: ogni stampa si salva come file PDF.");

} // namespace

frmStampante::frmStampante() : FinestraUnica(finestra)
{
    costruisci(definizioni);
    Label1_ = controllo<Etichetta>("Label1");
    Label2_ = controllo<Etichetta>("Label2");
    Combo1_ = controllo<QComboBox>("Combo1");
    Command2_ = controllo<Pulsante>("Command2");
    connect(Combo1_, &QComboBox::currentIndexChanged, this, &frmStampante::Combo1_Click);
    // A click on the entry already shown changes no index but is a choice all the same.
    connect(Combo1_, &QComboBox::activated, this, &frmStampante::Combo1_Click);
    connect(Command2_, &Pulsante::clicked, this, &Finestra::nascondi);
}

void frmStampante::Form_Load()
{
    RiempiElencoStampanti();
    MostraPredefinita();
}

void frmStampante::RiempiElencoStampanti()
{
    Combo1_->addItems(StampanteCorrente::installate());
    // The PDF writer is always there, so a sheet can be had with no printer at all.
    Combo1_->addItem(StampanteCorrente::nomeFilePdf());
    Combo1_->setCurrentIndex(0);
}

void frmStampante::MostraPredefinita()
{
    const StampanteCorrente &corrente = StampanteCorrente::istanza();
    if (corrente.suFilePdf() && Combo1_->count() == 1)
        Label1_->impostaTestoIntero(senzaStampanti);
    else
        Label1_->impostaTestoIntero(QStringLiteral("La stampante predefinita è ") + aCapo + corrente.nome());
}

void frmStampante::Combo1_Click()
{
    if (!ElencoPronto) {
        ElencoPronto = true;
        return;
    }
    StampanteCorrente &corrente = StampanteCorrente::istanza();
    const int scelta = Combo1_->currentIndex();
    if (scelta == Combo1_->count() - 1) {
        corrente.impostaFilePdf();
    } else {
        // Walked afresh: a printer may have come or gone since the list was filled.
        const QStringList installate = StampanteCorrente::installate();
        // Exact and case-sensitive; of two printers with one name, the first.
        const int trovata = static_cast<int>(installate.indexOf(Combo1_->currentText()));
        if (trovata >= 0)
            corrente.impostaStampante(installate.at(trovata));
    }
    Label2_->impostaTestoIntero(QStringLiteral("La stampante scelta è ") + aCapo + corrente.nome());
}
