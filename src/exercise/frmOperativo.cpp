#include "frmOperativo.h"

#include "core/Casuale.h"
#include "core/CodiciTasto.h"
#include "core/Livello.h"
#include "core/Orologio.h"
#include "core/PercorsoAdattivo.h"
#include "core/RegoleTastierino.h"
#include "core/StatoEsercizio.h"
#include "core/TempoRisposta.h"
#include "core/TipoEsercizio.h"
#include "core/Twips.h"
#include "exercise/ChiRisponde.h"
#include "exercise/MemoriaPercorsi.h"
#include "registro/Registro.h"
#include "registro/RegistroCorrente.h"
#include "ui/Accessibilita.h"
#include "ui/Cornice.h"
#include "ui/Etichetta.h"
#include "ui/FrmFigure.h"
#include "ui/Immagine.h"
#include "ui/OsservatoreRilasci.h"
#include "ui/PulsanteOpzione.h"
#include "ui/RegistroFinestre.h"
#include "voce/FrasiVoce.h"
#include "voce/Parlato.h"
#include "voce/TastiVoce.h"

#include <QSysInfo>

#include <array>
#include <cmath>

#include "frmOperativoTabella.h"

namespace {

const QString esatto = QStringLiteral("E s a t t o");
const QString errato = QStringLiteral("E r r a t o");

} // namespace

frmOperativo::frmOperativo() : FinestraUnica(finestra)
{
    costruisci(definizioni);
    Label1_ = controllo<Etichetta>("Label1");
    Label2_ = controllo<Etichetta>("Label2");
    LblEsito_ = controllo<Etichetta>("LblEsito");
    LblOperazione_ = controllo<Etichetta>("LblOperazione");
    lblRisEsatte_ = controllo<Etichetta>("lblRisEsatte");
    lblRisErrate_ = controllo<Etichetta>("lblRisErrate");
    LblTempoParziale_ = controllo<Etichetta>("LblTempoParziale");
    LblTempoTotale_ = controllo<Etichetta>("LblTempoTotale");
    LblAiuto_ = controllo<Etichetta>("LblAiuto");
    lblIntervento_ = controllo<Etichetta>("lblIntervento");
    lblStella_ = controllo<Etichetta>("lblStella");
    FraSfondoS_ = controllo<Cornice>("FraSfondoS");
    FraSfondoD_ = controllo<Cornice>("FraSfondoD");
    fraTastierino_ = controllo<Cornice>("fraTastierino");
    fraAiuto_ = controllo<Cornice>("fraAiuto");
    fraIntervento_ = controllo<Cornice>("fraIntervento");
    Image1_ = array<Immagine>("Image1");
    Image2_ = array<Immagine>("Image2");
    Option1_ = array<PulsanteOpzione>("Option1");
    Option3_ = array<PulsanteOpzione>("Option3");
    optOK_ = controllo<PulsanteOpzione>("optOK");

    // What a screen reader says of the sets, and the notices it reads out as they appear.
    Accessibilita::descriviInsieme(FraSfondoS_, QStringLiteral("Primo insieme"));
    Accessibilita::descriviInsieme(FraSfondoD_, QStringLiteral("Secondo insieme"));
    Accessibilita::segnaAvviso(LblEsito_);
    Accessibilita::segnaAvviso(fraAiuto_, LblAiuto_->text());
    Accessibilita::segnaAvviso(fraIntervento_, lblIntervento_->text());
    Accessibilita::segnaAvviso(lblStella_, QStringLiteral("Una stella per te"));
    lblStella_->hide();
    avvisoSecondo_ = new QWidget(client());
    avvisoSecondo_->setObjectName(QStringLiteral("avvisoSecondo"));
    avvisoSecondo_->setGeometry(0, 0, 1, 1);
    Accessibilita::segnaAvviso(avvisoSecondo_, QStringLiteral("Secondo insieme"));

    collegaGestori(Option1_, this, &frmOperativo::Option1_GotFocus, &frmOperativo::Option1_LostFocus,
                   &frmOperativo::Option1_KeyDown, &frmOperativo::Option1_KeyPress, &frmOperativo::Option1_KeyUp,
                   &frmOperativo::Option1_MouseDown, &frmOperativo::Option1_MouseUp);
    collegaGestori(Option3_, this, &frmOperativo::Option3_GotFocus, &frmOperativo::Option3_LostFocus,
                   &frmOperativo::Option3_KeyDown, &frmOperativo::Option3_KeyPress, &frmOperativo::Option3_KeyUp,
                   &frmOperativo::Option3_MouseDown, &frmOperativo::Option3_MouseUp);
    connect(optOK_, &PulsanteOpzione::tastoGiu, this, [this](int, int keyCode) { optOK_KeyDown(keyCode); });
    connect(optOK_, &PulsanteOpzione::mouseGiu, this, [this] { optOK_MouseDown(); });
    connect(optOK_, &PulsanteOpzione::mouseSu, this, [this] { optOK_->impostaValore(false); });

    // A real release anywhere re-arms every guard, even one whose release went to another widget.
    connect(&OsservatoreRilasci::istanza(), &OsservatoreRilasci::tastoRilasciato, this, [this] {
        TastoGestito = false;
        SpazioGestito = false;
        TastoGestitoAiuto = false;
        SpazioGestitoAiuto = false;
    });
    connect(&OsservatoreRilasci::istanza(), &OsservatoreRilasci::mouseRilasciato, this,
            [this] { MouseGestito = false; });
}

void frmOperativo::Form_Load()
{
    // Whoever answers is named in the title, where the teacher looks; the pupil already knows.
    if (const QString nome = Rispondente.nome(); !nome.isEmpty())
        setWindowTitle(QStringLiteral("%1 - %2").arg(nome, windowTitle()));
    sessione_ = Registro::nuovoId();
    // A setting the ladder does not know is no setting: the usual draws.
    const ImpostazioneLivello &livello = Rispondente.livello;
    const bool valida = Livello::valido(livello.da) && Livello::valido(livello.a) && livello.da <= livello.a;
    impostazione_ = valida ? livello : ImpostazioneLivello{};
    stato_ = Rispondente.stato;
    if (Rispondente.alunno)
        stato_ = MemoriaPercorsi::piuRecente(stato_, MemoriaPercorsi::istanza().stato(Rispondente.alunno->id));
    livello_ = 0;
    svelta_ = false;
    AvviaEsercizi();
    // The focus requests above fail while the window is hidden: it opens on
    // the first control in tab order.
    Option1_(0)->setFocus(Qt::OtherFocusReason);
}

void frmOperativo::Form_Unload() { EsciEsercizio(); }

void frmOperativo::AvviaEsercizi()
{
    DisattivaRiquadri();
    fraTastierino_->setEnabled(true);
    fraTastierino_->raise();
    NumeroEsercizio = 0;
    NuovoEsercizio();
}

void frmOperativo::NuovoEsercizio()
{
    for (int k = 1; k <= caselle; ++k) {
        Image1_(k)->hide();
        Image2_(k)->hide();
    }
    ElementiSecondo = 0;
    // The level changes here only, between two exercises.
    const int precedente = livello_;
    livello_ = prossimoLivello();
    // A step up the path is met with a star; a step down passes unremarked.
    const bool salito = impostazione_.percorso() && precedente != 0 && livello_ > precedente;
    lblStella_->setVisible(salito);
    NumeroEsercizio = piuUno(NumeroEsercizio);
    LblOperazione_->setText(QString::number(NumeroEsercizio));
    LblEsito_->clear();
    LblTempoParziale_->clear();
    switch (tipoInForza()) {
    case 0:
        genera0();
        VisualizzaD0();
        Label2_->setText(QStringLiteral("Secondo insieme vuoto - Inserisci elementi"));
        break;
    case 1:
        genera1();
        VisualizzaD1();
        Label2_->setText(QStringLiteral("Secondo insieme suvvalente - Aggiungi elementi"));
        break;
    case 2:
        genera2();
        VisualizzaD2();
        Label2_->setText(QStringLiteral("Secondo insieme prevalente - Togli elementi"));
        break;
    default:
        break;
    }
    TastiEsercizio();
    // While loading, the start window has still to write its opening line.
    if (!isVisible())
        return;
    if (salito) {
        Accessibilita::annuncia(lblStella_);
        // One sentence, so that the praise does not cut off what to do.
        Parlato::istanza().dici(FrasiVoce::frase({FrasiVoce::stella(), Label1_->text(), Label2_->text()}));
    } else {
        annunciaEsercizio();
    }
}

int frmOperativo::prossimoLivello() const
{
    if (!impostazione_.impostata())
        return 0;
    if (!impostazione_.percorso())
        return impostazione_.da;
    return PercorsoAdattivo(impostazione_).livello(stato_, livello_, svelta_);
}

int frmOperativo::tipoInForza() const
{
    // Read afresh each time: the start window may change the kind while an exercise is on screen.
    if (livello_ != 0 && !Livello::di(livello_).offre(TipoEsercizio))
        return 0;
    return TipoEsercizio;
}

int frmOperativo::capienza() const
{
    return Livello::di(livello_ != 0 ? livello_ : Livello::consueto).perTipo(tipoInForza()).capienzaSecondo();
}

void frmOperativo::annunciaEsercizio()
{
    Parlato::istanza().dici(FrasiVoce::frase({Label1_->text(), Label2_->text()}));
}

void frmOperativo::annunciaSecondo()
{
    avvisoSecondo_->setAccessibleName(QStringLiteral("Secondo insieme: ") +
                                      Accessibilita::contenuto(ElementiSecondo, Figura));
    Accessibilita::annuncia(avvisoSecondo_);
}

void frmOperativo::EsciEsercizio()
{
    // The help offer still up: the answer is stored already, as "offerto".
    inSospeso_.reset();
    // While the program is ending, the start window is being unloaded too.
    if (!uscito_ && !RegistroFinestre::istanza().inChiusura()) {
        uscito_ = true;
        RegistroFinestre::istanza().tornaAllInizio();
    }
    scarica();
}

void frmOperativo::DisattivaRiquadri()
{
    fraTastierino_->setEnabled(false);
    fraAiuto_->setEnabled(false);
    fraIntervento_->setEnabled(false);
}

void frmOperativo::genera0() { genera(0); }
void frmOperativo::genera1() { genera(1); }
void frmOperativo::genera2() { genera(2); }

void frmOperativo::genera(int tipo)
{
    const GeneratoreEsercizio::Esercizio e =
        livello_ == 0 ? GeneratoreEsercizio::genera(tipo, Casuale::corrente())
                      : GeneratoreEsercizio::genera(tipo, Livello::di(livello_), Casuale::corrente());
    Figura = e.figura;
    ElementiPrimo = static_cast<float>(e.elementiPrimo);
    Estratte = e.estratte;
    Posizioni = e.posizioni;
    if (tipo != 0)
        ElementiIniziali = e.elementiIniziali;

    FraSfondoS_->show();
    const Disegno figura = FrmFigure::istanza().figura(Figura);
    for (int k = 1; k <= caselle; ++k) {
        if (e.occupa(k)) {
            Image1_(k)->impostaDisegno(figura);
            Image1_(k)->show();
        }
    }
}

void frmOperativo::VisualizzaD0()
{
    ElementiSecondo = 0;
    FraSfondoD_->show();
    for (int k = 1; k <= caselle; ++k) {
        Image2_(k)->show();
        Image2_(k)->togliDisegno();
    }
    InizioRisposta = Orologio::corrente().secondiMonotoni();
}

void frmOperativo::VisualizzaD1()
{
    FraSfondoD_->show();
    for (int k = 1; k <= caselle; ++k)
        Image2_(k)->togliDisegno();
    mostraSecondo(ElementiIniziali);
    ElementiSecondo = ElementiIniziali;
    InizioRisposta = Orologio::corrente().secondiMonotoni();
}

void frmOperativo::VisualizzaD2()
{
    FraSfondoD_->show();
    mostraSecondo(ElementiIniziali);
    ElementiSecondo = ElementiIniziali;
    InizioRisposta = Orologio::corrente().secondiMonotoni();
}

void frmOperativo::mostraSecondo(int quanti)
{
    const Disegno figura = FrmFigure::istanza().figura(Figura);
    for (int k = 1; k <= quanti && k <= capienza(); ++k) {
        Image2_(k)->impostaDisegno(figura);
        Image2_(k)->show();
    }
}

void frmOperativo::nascondiSecondo()
{
    for (int k = 1; k <= caselle; ++k)
        Image2_(k)->hide();
}

void frmOperativo::AggiungiElemento()
{
    ElementiSecondo = static_cast<qint16>(qMin(ElementiSecondo + 1, capienza()));
    Image2_(ElementiSecondo)->impostaDisegno(FrmFigure::istanza().figura(Figura));
    Image2_(ElementiSecondo)->show();
    Option1_(2)->setEnabled(true);
}

void frmOperativo::TogliElemento()
{
    if (ElementiSecondo >= 1 && ElementiSecondo <= capienza())
        Image2_(ElementiSecondo)->hide();
    ElementiSecondo = static_cast<qint16>(qMax(ElementiSecondo - 1, 0));
    Option1_(2)->setEnabled(true);
}

void frmOperativo::EseguiTasto(int index)
{
    switch (index) {
    case 0:
        AggiungiElemento();
        annunciaSecondo();
        break;
    case 1:
        TogliElemento();
        annunciaSecondo();
        break;
    case 2:
        VerificaRisposta();
        break;
    case 3:
        NuovoEsercizio();
        break;
    case 4:
        EsciEsercizio();
        break;
    default:
        break;
    }
}

void frmOperativo::TastiEsercizio()
{
    Option1_(0)->setEnabled(true);
    Option1_(1)->setEnabled(true);
    Option1_(2)->setEnabled(false);
    Option1_(3)->setEnabled(false);
    Option1_(4)->setEnabled(false);
    daiFuoco(Option1_(1));
}

void frmOperativo::TastiRisolto()
{
    Option1_(0)->setEnabled(false);
    Option1_(1)->setEnabled(false);
    Option1_(2)->setEnabled(false);
    Option1_(3)->setEnabled(true);
    Option1_(4)->setEnabled(true);
    daiFuoco(Option1_(3));
}

void frmOperativo::VerificaRisposta()
{
    const int soluzione = static_cast<int>(std::lround(ElementiPrimo)) - 1;
    const bool giusta = ElementiSecondo == soluzione;
    if (giusta) {
        RisposteEsatte = piuUno(RisposteEsatte);
        lblRisEsatte_->setText(QString::number(RisposteEsatte));
        LblEsito_->setText(esatto);
        Accessibilita::annuncia(LblEsito_);
        TastiRisolto();
        Parlato::istanza().dici(FrasiVoce::frase({esatto}));
    } else {
        LblEsito_->setText(errato);
        Accessibilita::annuncia(LblEsito_);
        RisposteErrate = piuUno(RisposteErrate);
        lblRisErrate_->setText(QString::number(RisposteErrate));
        portaDavanti(fraAiuto_);
        Accessibilita::annuncia(fraAiuto_);
        // Without a focused button the keyboard could not answer the offer.
        daiFuoco(Option3_(0));
        // One sentence: the offer would cut the verdict off.
        Parlato::istanza().dici(FrasiVoce::frase({errato, LblAiuto_->text()}));
    }

    const double adesso = Orologio::corrente().secondiMonotoni();
    TempoParziale = TempoRisposta::secondi(InizioRisposta, adesso);
    TempoTotale += TempoParziale;
    LblTempoParziale_->setText(TempoRisposta::formato(TempoParziale));
    LblTempoTotale_->setText(TempoRisposta::formato(TempoTotale));

    // Help and the program stepping in all follow a wrong answer: this is the one place a
    // pupil's place on the path moves.
    if (impostazione_.percorso()) {
        stato_ = PercorsoAdattivo(impostazione_).dopo(stato_, livello_, giusta);
        const int partenza = tipoInForza() == 0 ? 0 : ElementiIniziali;
        svelta_ = giusta && PercorsoAdattivo::svelta(TempoParziale, std::abs(soluzione - partenza));
        if (Rispondente.alunno)
            MemoriaPercorsi::istanza().ricorda(Rispondente.alunno->id, stato_);
    }

    // Stored now, as answered: a session that ends while "Ti aiuto ?" is up loses nothing. A
    // wrong answer's row says "offerto" until SI or NO tell what became of the help.
    inSospeso_.reset();
    if (std::optional<Risultato> r = risultato(giusta)) {
        registra(*r);
        if (!r->esatto)
            inSospeso_ = r;
    }
}

std::optional<Risultato> frmOperativo::risultato(bool esatto) const
{
    if (!Rispondente.alunno || !RegistroCorrente::registro())
        return std::nullopt; // a guest's answers, or no register: nothing is kept
    static const QString macchina = QSysInfo::machineHostName();
    Risultato r;
    r.id = Registro::nuovoId();
    r.alunno = Rispondente.alunno->id;
    r.sessione = sessione_;
    r.quando = QDateTime::currentDateTimeUtc();
    r.macchina = macchina;
    r.tipo = tipoInForza();
    r.n = static_cast<int>(std::lround(ElementiPrimo));
    r.figura = Figura;
    r.risposta = ElementiSecondo;
    r.esatto = esatto;
    r.aiuto = esatto ? Risultato::Aiuto::NonOfferto : Risultato::Aiuto::Offerto;
    r.secondi = TempoParziale;
    r.livello = livello_ != 0 ? livello_ : Livello::consueto;
    if (impostazione_.percorso())
        r.percorso = stato_;
    return r;
}

void frmOperativo::registra(const Risultato &r)
{
    if (Registro *registro = RegistroCorrente::registro())
        registro->registra(r);
}

void frmOperativo::completaAiuto(Risultato::Aiuto aiuto, bool intervento)
{
    if (!inSospeso_)
        return;
    Risultato r = *std::exchange(inSospeso_, std::nullopt);
    r.aiuto = aiuto;
    r.intervento = intervento;
    registra(r);
}

void frmOperativo::SiSi()
{
    completaAiuto(Risultato::Aiuto::Accettato);
    RifiutiAiuto = 0;
    nascondiSecondo();
    const int soluzione = static_cast<int>(std::lround(ElementiPrimo)) - 1;
    mostraSecondo(soluzione);
    // The count follows what the pupil sees.
    ElementiSecondo = static_cast<qint16>(qMax(soluzione, 0));
    LblEsito_->clear();
    portaDavanti(fraTastierino_);
    TastiRisolto();
    Parlato::istanza().dici(FrasiVoce::soluzione(soluzione));
}

void frmOperativo::RifiutaAiuto()
{
    RifiutiAiuto = piuUno(RifiutiAiuto);
    completaAiuto(Risultato::Aiuto::Rifiutato, RifiutiAiuto >= 3);
    if (RifiutiAiuto >= 3) {
        RifiutiAiuto = 0;
        portaDavanti(fraIntervento_);
        Accessibilita::annuncia(fraIntervento_);
        daiFuoco(optOK_);
        optOK_->impostaValore(false);
        Parlato::istanza().dici(FrasiVoce::frase({lblIntervento_->text()}));
        return;
    }
    nascondiSecondo();
    switch (tipoInForza()) {
    case 0:
        VisualizzaD0();
        break;
    case 1:
        VisualizzaD1();
        break;
    case 2:
        VisualizzaD2();
        break;
    default:
        break;
    }
    portaDavanti(fraTastierino_);
    TastiEsercizio();
    LblEsito_->clear();
    // The second set is back at its start: the pupil hears again what to do with it.
    Parlato::istanza().dici(FrasiVoce::frase({Label2_->text()}));
}

void frmOperativo::portaDavanti(Cornice *pannello)
{
    DisattivaRiquadri();
    pannello->setEnabled(true);
    pannello->raise();
}

void frmOperativo::daiFuoco(QWidget *w)
{
    // Like a focus request with errors ignored: nothing happens while the window is hidden.
    if (isVisible() && w->isEnabled())
        w->setFocus(Qt::OtherFocusReason);
}

void frmOperativo::Option1_GotFocus(int index)
{
    Option1_(index)->impostaValore(false);
    Option1_(index)->impostaSfondo(arancio);
}

void frmOperativo::Option1_LostFocus(int index)
{
    Option1_(index)->impostaSfondo(pesca);
    Option1_(index)->impostaValore(false);
}

bool frmOperativo::tastoVoce(int keyCode)
{
    if (keyCode == TastiVoce::Ripeti)
        Parlato::istanza().ripeti();
    else if (keyCode == TastiVoce::Conta)
        Parlato::istanza().dici(FrasiVoce::conteggio(static_cast<int>(std::lround(ElementiPrimo)), ElementiSecondo));
    else
        return false;
    return true;
}

void frmOperativo::Option1_KeyDown(int index, int keyCode)
{
    if (tastoVoce(keyCode))
        return;
    if (TastoGestito)
        return;
    const int destinazione = RegoleTastierino::cifra(keyCode);
    if (destinazione >= 0) {
        TastoGestito = true;
        if (Option1_(destinazione)->abilitato())
            daiFuoco(Option1_(destinazione));
    } else if (keyCode == CodiciTasto::Invio) {
        TastoGestito = true;
        EseguiTasto(index);
    }
}

void frmOperativo::Option1_KeyPress(int index, int keyAscii)
{
    if (SpazioGestito || keyAscii != CodiciTasto::Spazio)
        return;
    std::array<bool, RegoleTastierino::numeroTasti> abilitati{};
    for (int j = 0; j < RegoleTastierino::numeroTasti; ++j)
        abilitati[j] = Option1_(j)->abilitato();
    SpazioGestito = true;
    daiFuoco(Option1_(RegoleTastierino::prossimo(index, abilitati)));
}

void frmOperativo::Option1_KeyUp()
{
    TastoGestito = false;
    SpazioGestito = false;
}

void frmOperativo::Option1_MouseDown(int index)
{
    if (MouseGestito)
        return;
    MouseGestito = true;
    EseguiTasto(index);
}

void frmOperativo::Option1_MouseUp(int index)
{
    Option1_(index)->impostaValore(false);
    MouseGestito = false;
}

void frmOperativo::Option3_GotFocus(int index)
{
    Option3_(index)->impostaSfondo(arancio);
    Option3_(index)->impostaValore(false);
}

void frmOperativo::Option3_LostFocus(int index) { Option3_(index)->impostaSfondo(pesca); }

void frmOperativo::Option3_KeyDown(int index, int keyCode)
{
    if (tastoVoce(keyCode))
        return;
    if (TastoGestitoAiuto)
        return;
    switch (RegoleTastierino::aiuto(keyCode)) {
    case RegoleTastierino::TastoAiuto::Si:
        TastoGestitoAiuto = true;
        daiFuoco(Option3_(0));
        break;
    case RegoleTastierino::TastoAiuto::No:
        TastoGestitoAiuto = true;
        daiFuoco(Option3_(1));
        break;
    case RegoleTastierino::TastoAiuto::Invio:
        TastoGestitoAiuto = true;
        if (index == 0)
            SiSi();
        else
            RifiutaAiuto();
        break;
    case RegoleTastierino::TastoAiuto::Altro:
        break;
    }
}

void frmOperativo::Option3_KeyPress(int index, int keyAscii)
{
    if (SpazioGestitoAiuto || keyAscii != CodiciTasto::Spazio)
        return;
    SpazioGestitoAiuto = true;
    daiFuoco(Option3_(index == 0 ? 1 : 0));
}

void frmOperativo::Option3_KeyUp(int index)
{
    TastoGestitoAiuto = false;
    SpazioGestitoAiuto = false;
    Option3_(index)->impostaValore(false);
}

void frmOperativo::Option3_MouseDown(int index)
{
    if (index == 0)
        SiSi();
    else
        RifiutaAiuto();
}

void frmOperativo::Option3_MouseUp(int index) { Option3_(index)->impostaValore(false); }

void frmOperativo::optOK_KeyDown(int keyCode)
{
    if (tastoVoce(keyCode) || keyCode != CodiciTasto::Invio)
        return;
    DisattivaRiquadri();
    fraTastierino_->setEnabled(true);
    SiSi();
}

void frmOperativo::optOK_MouseDown() { SiSi(); }
