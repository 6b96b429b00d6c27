#include "frmSchedeClasse.h"

#include "SchedeClasse.h"
#include "TestataScheda.h"
#include "core/Casuale.h"
#include "core/Livello.h"
#include "printing/StampanteCorrente.h"
#include "printing/SuperficieStampa.h"
#include "ui/Messaggio.h"
#include "ui/Pulsante.h"

#include <QCheckBox>
#include <QDir>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

namespace {

using TestataScheda::rosa;
using TestataScheda::rosaForte;

constexpr DefinizioneFinestra finestra{
    .titolo = "Schede per la classe", .larghezzaClient = 6060, .altezzaClient = 4560, .sfondo = rosa};

constexpr DefinizioneControllo definizioni[] = {
    {.tipo = TipoControllo::Etichetta,
     .nome = "lblQuante",
     .posizione = {300, 330, 3600, 360},
     .testo = "Quante schede (da 1 a 40):"},
    {.tipo = TipoControllo::Etichetta, .nome = "lblDove", .posizione = {300, 1530, 3600, 360}, .testo = "Dove:"},
    {.tipo = TipoControllo::Pulsante,
     .nome = "cmdStampa",
     .posizione = {600, 3660, 2200, 600},
     .testo = "STAMPA",
     .sfondo = rosaForte,
     .tabIndex = 5},
    {.tipo = TipoControllo::Pulsante,
     .nome = "cmdAnnulla",
     .posizione = {3260, 3660, 2200, 600},
     .testo = "ANNULLA",
     .sfondo = rosaForte,
     .tabIndex = 6},
};

template <class W> W *aggiungi(QWidget *client, const char *nome, QRect twips)
{
    auto *w = new W(client);
    w->setObjectName(QString::fromLatin1(nome));
    w->setGeometry(Twips::inPixel(twips));
    return w;
}

} // namespace

frmSchedeClasse::frmSchedeClasse() : FinestraUnica(finestra)
{
    costruisci(definizioni);
    cmdStampa_ = controllo<Pulsante>("cmdStampa");
    cmdAnnulla_ = controllo<Pulsante>("cmdAnnulla");

    txtCopie_ = aggiungi<QSpinBox>(client(), "txtCopie", {4000, 270, 1200, 480});
    txtCopie_->setRange(SchedeClasse::minimo, SchedeClasse::massimo);
    txtCopie_->setValue(25);
    chkSoluzioni_ = aggiungi<QCheckBox>(client(), "chkSoluzioni", {300, 930, 5400, 420});
    chkSoluzioni_->setText(QStringLiteral("Aggiungi le soluzioni per l'insegnante"));
    chkSoluzioni_->setChecked(true);
    optStampante_ = aggiungi<QRadioButton>(client(), "optStampante", {600, 1950, 5200, 420});
    optFilePdf_ = aggiungi<QRadioButton>(client(), "optFilePdf", {600, 2400, 5200, 420});
    optFilePdf_->setText(StampanteCorrente::nomeFilePdf());
    barAvanzamento_ = aggiungi<QProgressBar>(client(), "barAvanzamento", {300, 3000, 5460, 360});
    barAvanzamento_->setFormat(QStringLiteral("Schede pronte: %v su %m"));
    barAvanzamento_->hide();

    QWidget::setTabOrder(txtCopie_, chkSoluzioni_);
    QWidget::setTabOrder(chkSoluzioni_, optStampante_);
    QWidget::setTabOrder(optStampante_, optFilePdf_);
    QWidget::setTabOrder(optFilePdf_, cmdStampa_);
    QWidget::setTabOrder(cmdStampa_, cmdAnnulla_);

    connect(cmdStampa_, &Pulsante::clicked, this, &frmSchedeClasse::cmdStampa_Click);
    connect(cmdAnnulla_, &Pulsante::clicked, this, &Finestra::nascondi);
}

void frmSchedeClasse::apriPer(int tipo, const Livello *livello)
{
    tipo_ = tipo;
    livello_ = livello;
    // The teacher sees which level the set is drawn at before printing it.
    setWindowTitle(
        livello ? QStringLiteral("%1 - livello %2").arg(QString::fromUtf8(finestra.titolo)).arg(livello->numero())
                : QString::fromUtf8(finestra.titolo));
    // The printer may have been changed since the last opening.
    const StampanteCorrente &corrente = StampanteCorrente::istanza();
    optStampante_->setEnabled(!corrente.suFilePdf());
    optStampante_->setText(QStringLiteral("Stampante scelta: ") + corrente.nome());
    (corrente.suFilePdf() ? optFilePdf_ : optStampante_)->setChecked(true);
    mostraModale();
    txtCopie_->setFocus();
}

void frmSchedeClasse::cmdStampa_Click()
{
    const int copie = txtCopie_->value();
    const SchedeClasse schede = SchedeClasse::estrai(Casuale::corrente(), tipo_, copie, livello_);
    const std::unique_ptr<SuperficieStampa> superficie =
        StampanteCorrente::istanza().apriDocumento(optFilePdf_->isChecked());

    if (copie >= sogliaAvanzamento) {
        barAvanzamento_->setRange(0, copie);
        barAvanzamento_->setValue(0);
        barAvanzamento_->show();
        superficie->seguiPagine([this, copie](int pagine) {
            const int fatte = std::min(pagine, copie);
            if (fatte == barAvanzamento_->value())
                return;
            barAvanzamento_->setValue(fatte);
            // The work runs on this thread: paint now, not when it is over.
            barAvanzamento_->repaint();
        });
    }
    cmdStampa_->setEnabled(false);
    cmdAnnulla_->setEnabled(false);
    const bool inviata = schede.stampa(*superficie, chkSoluzioni_->isChecked());
    cmdStampa_->setEnabled(true);
    cmdAnnulla_->setEnabled(true);
    barAvanzamento_->hide();
    if (!inviata)
        return;
    if (!superficie->fileProdotto().isEmpty())
        Messaggio::mostra(QStringLiteral("Le schede sono state salvate nel file\n") +
                          QDir::toNativeSeparators(superficie->fileProdotto()));
    nascondi();
}
