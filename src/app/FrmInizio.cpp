#include "FrmInizio.h"

#include "Identita.h"
#include "core/CodiciTasto.h"
#include "core/RegoleTastierino.h"
#include "core/TipoEsercizio.h"
#include "core/Twips.h"
#include "exercise/ChiRisponde.h"
#include "exercise/frmOperativo.h"
#include "frmAutore.h"
#include "frmChiSei.h"
#include "insegnante/FrmRegistro.h"
#include "ui/Accessibilita.h"
#include "ui/Etichetta.h"
#include "ui/Immagine.h"
#include "ui/OsservatoreRilasci.h"
#include "ui/PulsanteOpzione.h"
#include "ui/RegistroFinestre.h"
#include "ui/Riquadro.h"
#include "voce/FrasiVoce.h"
#include "voce/Parlato.h"
#include "voce/TastiVoce.h"
#include "worksheets/frmStampaSchede.h"
#include "worksheets/frmStampaSchede2.h"
#include "worksheets/frmStampaSchede3.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace {

constexpr QColor rosa(255, 192, 255);
constexpr QColor rosaForte(255, 128, 255);
constexpr QColor blu(0, 0, 255);
constexpr int numeroPulsanti = 4;

constexpr DefinizioneFinestra finestra{.titolo = "GLI ZORVANI",
                                       .larghezzaClient = 11910,
                                       .altezzaClient = 8280,
                                       .sfondo = rosa,
                                       .grande = true,
                                       .icona = ":/figure/icona_inizio.ico"};

constexpr Carattere pulsanti{"Arial", 15.75, true};

constexpr DefinizioneControllo definizioni[] = {
    // The curtains lie in front of everything.
    {.tipo = TipoControllo::Riquadro, .nome = "Picture1", .posizione = {0, 0, 0, 8280}, .sfondo = rosaForte},
    {.tipo = TipoControllo::Riquadro, .nome = "Picture2", .posizione = {11910, 0, 0, 8280}, .sfondo = rosaForte},
    {.tipo = TipoControllo::Cornice, .nome = "frmTitolo", .posizione = {0, 0, 11745, 1485}, .sfondo = rosa},
    {.tipo = TipoControllo::Etichetta,
     .nome = "Label4",
     .contenitore = "frmTitolo",
     .posizione = {390, 450, 8010, 765},
     .testo = "QUORVEL",
     .sfondo = rosa,
     .primoPiano = blu,
     .carattere = {"Arial", 36, true},
     .allineamento = Allineamento::Centro},
    {.tipo = TipoControllo::Etichetta,
     .nome = "Label2",
     .contenitore = "frmTitolo",
     .posizione = {9225, 420, 1290, 375},
     .primoPiano = blu,
     .carattere = {"Arial", 12, false}},
    {.tipo = TipoControllo::Sagoma,
     .nome = "Shape2",
     .contenitore = "frmTitolo",
     .posizione = {180, 120, 8340, 1185},
     .sfondo = rosa},
    {.tipo = TipoControllo::Sagoma,
     .nome = "Shape1",
     .contenitore = "frmTitolo",
     .posizione = {210, 120, 8400, 1245},
     .sfondo = rosaForte},
    {.tipo = TipoControllo::Sagoma,
     .nome = "Shape4",
     .contenitore = "frmTitolo",
     .posizione = {8940, 120, 2310, 1185},
     .sfondo = rosa},
    {.tipo = TipoControllo::Sagoma,
     .nome = "Shape3",
     .contenitore = "frmTitolo",
     .posizione = {8940, 120, 2385, 1245},
     .sfondo = rosaForte},
    {.tipo = TipoControllo::Cornice, .nome = "Frame1", .posizione = {6240, 2415, 5385, 4095}, .sfondo = rosa},
    {.tipo = TipoControllo::PulsanteOpzione,
     .nome = "Option1",
     .indice = 0,
     .contenitore = "Frame1",
     .posizione = {105, 150, 4935, 795},
     .testo = "INSIEME VUOTO ( )",
     .sfondo = rosaForte,
     .carattere = pulsanti,
     .tabIndex = 0,
     .descrizione = "Esercizio: il secondo insieme parte vuoto"},
    {.tipo = TipoControllo::PulsanteOpzione,
     .nome = "Option1",
     .indice = 1,
     .contenitore = "Frame1",
     .posizione = {120, 1110, 4935, 795},
     .testo = "AGGIUNGI ELEMENTI (+)",
     .sfondo = rosa,
     .carattere = pulsanti,
     .tabIndex = 1,
     .descrizione = "Esercizio: il secondo insieme parte con meno elementi"},
    {.tipo = TipoControllo::PulsanteOpzione,
     .nome = "Option1",
     .indice = 2,
     .contenitore = "Frame1",
     .posizione = {120, 2055, 4935, 795},
     .testo = "TOGLI ELEMENTI (-)",
     .sfondo = rosa,
     .carattere = pulsanti,
     .tabIndex = 2,
     .descrizione = "Esercizio: il secondo insieme parte con più elementi"},
    {.tipo = TipoControllo::PulsanteOpzione,
     .nome = "Option1",
     .indice = 3,
     .contenitore = "Frame1",
     .posizione = {120, 3000, 4935, 795},
     .testo = "E S C I ",
     .sfondo = rosa,
     .carattere = pulsanti,
     .tabIndex = 3,
     .descrizione = "Chiude il programma"},
    {.tipo = TipoControllo::Immagine,
     .nome = "Image1",
     .posizione = {90, 2385, 5985, 3870},
     .estendi = true,
     .descrizione = "Un insieme di dieci abeti"},
    {.tipo = TipoControllo::Etichetta,
     .nome = "Label5",
     .posizione = {0, 7425, 12030, 465},
     .testo = "Impariamo insieme a contare gli insiemi!",
     .sfondo = rosaForte,
     .primoPiano = QColor(128, 0, 0),
     .carattere = {"Arial", 21.75, true},
     .allineamento = Allineamento::Centro},
};

} // namespace

FrmInizio::FrmInizio() : FinestraUnica(finestra)
{
    costruisci(definizioni);
    Option1_ = array<PulsanteOpzione>("Option1");
    Label2_ = controllo<Etichetta>("Label2");
    Picture1_ = controllo<Riquadro>("Picture1");
    Picture2_ = controllo<Riquadro>("Picture2");

    QMenu *mnuStampaSchede = aggiungiMenu("mnuStampaSchede", QStringLiteral("Stampa schede"));
    mnuVuoto_ = aggiungiAzione(mnuStampaSchede, "mnuVuoto", QStringLiteral("insieme vuoto"));
    mnuAggiungi_ = aggiungiAzione(mnuStampaSchede, "mnuAggiungi", QStringLiteral("aggiungi elemementi"));
    mnuTogli_ = aggiungiAzione(mnuStampaSchede, "mnuTogli", QStringLiteral("togli elementi"));
    mnuInfo_ = aggiungiAzioneBarra("mnuInfo", QStringLiteral("About"));
    timerTendine_ = aggiungiTimer("timerTendine", 10);
    // The teacher's entry sits beside "About" but outside the window's controls:
    // nothing a pupil's key does on the big buttons reaches it.
    mnuRegistro_ = new QAction(QStringLiteral("Registro"), this);
    mnuRegistro_->setObjectName(QStringLiteral("mnuRegistro"));
    menuBar()->insertAction(mnuInfo_, mnuRegistro_);
    // The teacher's keys: Alt+R, or F10 (or Alt alone) and the arrows; a pupil's plain R repeats the voice.
    mnuRegistro_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_R));

    // A menu bar shows neither the check of an item nor its tooltip: a check
    // box in the bar's corner does both, and it never takes the pupil's focus.
    // A teacher reaches it with Alt+V, a screen reader among the bar's items.
    mnuVoce_ = new QAction(QStringLiteral("Voce"), this);
    mnuVoce_->setObjectName(QStringLiteral("mnuVoce"));
    mnuVoce_->setCheckable(true);
    casellaVoce_ = new QCheckBox(QStringLiteral("&Voce"), menuBar());
    casellaVoce_->setFocusPolicy(Qt::NoFocus);
    menuBar()->setCornerWidget(casellaVoce_, Qt::TopRightCorner);
    Accessibilita::segnaInterruttore(casellaVoce_);
    connect(casellaVoce_, &QCheckBox::clicked, this, [this](bool spuntata) {
        if (mnuVoce_->isChecked() != spuntata)
            mnuVoce_->trigger();
    });
    connect(mnuVoce_, &QAction::triggered, this, [](bool spuntata) { Parlato::istanza().impostaAttiva(spuntata); });
    connect(&Parlato::istanza(), &Parlato::cambiato, this, &FrmInizio::aggiornaVoce);
    aggiornaVoce();

    collegaGestori(Option1_, this, &FrmInizio::Option1_GotFocus, &FrmInizio::Option1_LostFocus,
                   &FrmInizio::Option1_KeyDown, &FrmInizio::Option1_KeyPress, &FrmInizio::Option1_KeyUp,
                   &FrmInizio::Option1_MouseDown, &FrmInizio::Option1_MouseUp);
    // A real release anywhere re-arms the keys, even one that went to another window.
    connect(&OsservatoreRilasci::istanza(), &OsservatoreRilasci::tastoRilasciato, this, &FrmInizio::Option1_KeyUp);
    connect(&OsservatoreRilasci::istanza(), &OsservatoreRilasci::mouseRilasciato, this,
            [this] { TastoGestito = false; });

    connect(timerTendine_, &QTimer::timeout, this, &FrmInizio::timerTendine_Timer);
    connect(mnuInfo_, &QAction::triggered, this, [] { frmAutore::istanza().mostraModale(); });
    connect(mnuRegistro_, &QAction::triggered, this, [this] { FrmRegistro::apriConAccesso(this); });
    connect(mnuVuoto_, &QAction::triggered, this, [] { frmStampaSchede::istanza().mostra(); });
    connect(mnuAggiungi_, &QAction::triggered, this, [] { frmStampaSchede2::istanza().mostra(); });
    connect(mnuTogli_, &QAction::triggered, this, [] { frmStampaSchede3::istanza().mostra(); });
}

void FrmInizio::Form_Load() { Label2_->setText(QLatin1String(Identita::testoVersione)); }

void FrmInizio::dopoPrimoDisegno()
{
    FinestraUnica::dopoPrimoDisegno();
    // The curtains cover the illustration at first: it can be decoded once the window is up.
    auto *illustrazione = controllo<Immagine>("Image1");
    if (!illustrazione->haDisegno())
        illustrazione->impostaDisegno(Disegno::daRisorsa(-1, QStringLiteral(":/figure/inizio.bmp")));
}

void FrmInizio::Form_Activate() { Option1_(0)->setFocus(Qt::ActiveWindowFocusReason); }

void FrmInizio::Form_Resize() { AvviaTendine(); }

void FrmInizio::Form_Unload() { ChiudiTutto(); }

void FrmInizio::Option1_GotFocus(int index)
{
    Option1_(index)->impostaValore(false);
    Option1_(index)->impostaSfondo(rosaForte);
    // What Enter will do, for a pupil who cannot read the caption.
    if (!RegistroFinestre::istanza().inChiusura())
        Parlato::istanza().dici(FrasiVoce::frase({Option1_(index)->text()}));
}

void FrmInizio::Option1_LostFocus(int index)
{
    Option1_(index)->impostaSfondo(rosa);
    Option1_(index)->impostaValore(false);
}

void FrmInizio::Option1_KeyDown(int index, int keyCode)
{
    if (keyCode == TastiVoce::Ripeti) {
        Parlato::istanza().ripeti();
        return;
    }
    if (TastoGestito)
        return;
    if (keyCode == CodiciTasto::Tab) {
        Option1_(index)->setFocus(Qt::TabFocusReason);
        return;
    }
    const int destinazione = RegoleTastierino::sceltaInizio(keyCode, numeroPulsanti);
    if (destinazione < 0 && keyCode != CodiciTasto::Invio && keyCode != CodiciTasto::F2 && keyCode != CodiciTasto::F3)
        return; // discarded

    TastoGestito = true;
    if (destinazione >= 0)
        Option1_(destinazione)->setFocus(Qt::OtherFocusReason);
    else if (keyCode == CodiciTasto::Invio)
        AvviaScelta(index);
}

void FrmInizio::Option1_KeyPress(int index, int keyAscii)
{
    if (SpazioGestito || keyAscii != CodiciTasto::Spazio)
        return;
    const int prossimo = index + 1 == Option1_.conta() ? 0 : index + 1;
    SpazioGestito = true;
    Option1_(prossimo)->setFocus(Qt::OtherFocusReason);
}

void FrmInizio::Option1_KeyUp()
{
    TastoGestito = false;
    SpazioGestito = false;
}

void FrmInizio::Option1_MouseDown(int index) { AvviaScelta(index); }

void FrmInizio::Option1_MouseUp(int index)
{
    TastoGestito = false;
    if (PulsanteOpzione *p = Option1_(index))
        p->impostaValore(false);
}

void FrmInizio::AvviaScelta(int index)
{
    if (index < 0 || index > 3)
        return;
    TipoEsercizio = static_cast<qint16>(index);
    if (index == 3) {
        ChiudiTutto();
        return;
    }
    // Once the register holds a class, the pupil says who they are first; an exercise on screen keeps its pupil.
    if (!frmOperativo::caricata()) {
        Rispondente = {};
        if (frmChiSei::serve()) {
            frmChiSei::istanza().mostra();
            return;
        }
    }
    ApriEsercizio(index);
}

void FrmInizio::ApriEsercizio(int index)
{
    if (index < 0 || index > 2)
        return;
    static const QString aperture[] = {
        QStringLiteral("Situazione iniziale: secondo  insieme vuoto - Devi inserire elementi"),
        QStringLiteral("Situazione iniziale: secondo  insieme suvvalente - Devi aggiungere elementi"),
        QStringLiteral("Situazione iniziale: secondo  insieme prevalente - Devi togliere elementi"),
    };
    // Already loaded: no new start-up, the exercise on screen stays.
    frmOperativo &esercizio = frmOperativo::istanza();
    esercizio.mostra();
    // At a level that offers only an empty second set, that is what the pupil is told to fill.
    esercizio.Label2()->setText(aperture[esercizio.tipoInForza()]);
    esercizio.annunciaEsercizio();
}

void FrmInizio::ChiudiTutto()
{
    Parlato::istanza().taci();
    RegistroFinestre::istanza().chiudiTutto();
}

void FrmInizio::aggiornaVoce()
{
    const Parlato &parlato = Parlato::istanza();
    const bool disponibile = parlato.disponibile();
    mnuVoce_->setEnabled(disponibile);
    mnuVoce_->setChecked(disponibile && parlato.attiva());
    mnuVoce_->setToolTip(disponibile ? QStringLiteral("Legge ad alta voce gli esercizi. Il tasto R ripete l'ultima "
                                                      "frase, il tasto C dice quanti elementi ha ogni insieme.")
                                     : parlato.mancante());
    casellaVoce_->setEnabled(mnuVoce_->isEnabled());
    casellaVoce_->setChecked(mnuVoce_->isChecked());
    casellaVoce_->setToolTip(mnuVoce_->toolTip());
}

void FrmInizio::AvviaTendine()
{
    tendine_.avvia(static_cast<int>(larghezzaEsterna()));
    posizionaTendine();
    if (tendine_.inApertura())
        timerTendine_->start();
    else
        timerTendine_->stop();
}

void FrmInizio::timerTendine_Timer()
{
    if (!tendine_.tick())
        timerTendine_->stop();
    posizionaTendine();
}

void FrmInizio::posizionaTendine()
{
    // Docked: the left curtain to the left edge, the right one to the right edge, full height.
    const int larghezza = client()->width();
    const int altezza = client()->height();
    const int sinistra = Twips::inPixel(tendine_.sinistra());
    const int destra = Twips::inPixel(tendine_.destra());
    Picture1_->setGeometry(0, 0, sinistra, altezza);
    Picture2_->setGeometry(larghezza - destra, 0, destra, altezza);
}
