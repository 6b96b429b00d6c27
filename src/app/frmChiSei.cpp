#include "frmChiSei.h"

#include "FrmInizio.h"
#include "core/CodiciTasto.h"
#include "core/StatoEsercizio.h"
#include "core/TipoEsercizio.h"
#include "exercise/ChiRisponde.h"
#include "registro/Contrassegno.h"
#include "registro/Registro.h"
#include "registro/RegistroCorrente.h"
#include "ui/AspettoContrassegno.h"
#include "ui/Etichetta.h"
#include "ui/OsservatoreRilasci.h"
#include "ui/PulsanteContrassegno.h"
#include "ui/RegistroFinestre.h"
#include "voce/FrasiVoce.h"
#include "voce/Parlato.h"
#include "voce/TastiVoce.h"

#include <QButtonGroup>
#include <QSettings>

#include <algorithm>
#include <cmath>

namespace {

constexpr QColor rosa(255, 192, 255);
constexpr QColor rosaForte(255, 128, 255);
constexpr QColor blu(0, 0, 255);

// Arrow keys in the windows' key codes (anything that is not a character key: 256 + Qt's code).
constexpr int codiceQt(Qt::Key k) { return 256 + (k & 0xFFFF); }
constexpr int Sinistra = codiceQt(Qt::Key_Left);
constexpr int Su = codiceQt(Qt::Key_Up);
constexpr int Destra = codiceQt(Qt::Key_Right);
constexpr int Giu = codiceQt(Qt::Key_Down);

const QString domandaAlunno = QStringLiteral("Chi sei?");
const QString domandaClasse = QStringLiteral("Qual è la tua classe?");
const QString ospite = QStringLiteral("Ospite");
const QString esci = QStringLiteral("E S C I");

constexpr DefinizioneFinestra finestra{.titolo = "Chi sei?",
                                       .larghezzaClient = 11910,
                                       .altezzaClient = 8280,
                                       .sfondo = rosa,
                                       .grande = true,
                                       .icona = ":/figure/icona_inizio.ico"};

constexpr DefinizioneControllo definizioni[] = {
    {.tipo = TipoControllo::Etichetta,
     .nome = "lblTitolo",
     .posizione = {120, 60, 11670, 700},
     .testo = "Chi sei?",
     .primoPiano = blu,
     .carattere = {"Arial", 27.75, true},
     .allineamento = Allineamento::Centro},
};

QSettings impostazioni() { return QSettings(QStringLiteral("Quorvel"), QStringLiteral("Quorvel")); }

} // namespace

const QString frmChiSei::chiaveClasse = QStringLiteral("registro/classe");

frmChiSei::frmChiSei() : FinestraUnica(finestra)
{
    costruisci(definizioni);
    lblTitolo_ = controllo<Etichetta>("lblTitolo");
    // A real release anywhere re-arms the keys, even one that went to another window.
    connect(&OsservatoreRilasci::istanza(), &OsservatoreRilasci::tastoRilasciato, this, &frmChiSei::Pulsante_KeyUp);
    connect(&OsservatoreRilasci::istanza(), &OsservatoreRilasci::mouseRilasciato, this,
            [this] { TastoGestito = false; });
}

bool frmChiSei::serve()
{
    Registro *registro = RegistroCorrente::registro();
    return registro && !registro->classi().isEmpty();
}

PulsanteContrassegno *frmChiSei::Pulsante(int indice) const
{
    return indice >= 0 && indice < conta() ? pulsanti_[static_cast<size_t>(indice)] : nullptr;
}

void frmChiSei::Form_Load()
{
    Registro *registro = RegistroCorrente::registro();
    classi_ = registro ? registro->classi() : QList<Classe>();
    const QString scelta = impostazioni().value(chiaveClasse).toString();
    const auto ricordata =
        std::find_if(classi_.cbegin(), classi_.cend(), [&](const Classe &c) { return c.id == scelta; });
    if (ricordata != classi_.cend())
        mostraAlunni(*ricordata);
    else if (classi_.size() == 1)
        mostraAlunni(classi_.first());
    else
        mostraClassi();
}

void frmChiSei::Form_Activate()
{
    if (!pulsanti_.empty() && std::find(pulsanti_.begin(), pulsanti_.end(), focusWidget()) == pulsanti_.end())
        pulsanti_.front()->setFocus(Qt::ActiveWindowFocusReason);
}

void frmChiSei::Form_Resize() { disponi(); }

void frmChiSei::Form_Unload()
{
    if (RegistroFinestre::istanza().inChiusura())
        return;
    // Shown from here, the exercise takes the keyboard straight from this window. Were the start
    // window active in between, a second quick Enter would press its first big button.
    if (scelto_)
        FrmInizio::istanza().ApriEsercizio(TipoEsercizio);
    else
        RegistroFinestre::istanza().tornaAllInizio();
}

void frmChiSei::mostraClassi()
{
    fase_ = Fase::Classe;
    lblTitolo_->setText(domandaClasse);
    std::vector<Voce> voci;
    for (const Classe &c : classi_)
        voci.push_back({c.nome, c.nome});
    creaPulsanti(voci);
}

void frmChiSei::mostraAlunni(const Classe &classe)
{
    fase_ = Fase::Alunno;
    classe_ = classe;
    Registro *registro = RegistroCorrente::registro();
    alunni_ = registro ? registro->alunni(classe.id) : QList<Alunno>();
    lblTitolo_->setText(domandaAlunno);
    std::vector<Voce> voci;
    for (const Alunno &a : alunni_) {
        const Contrassegno &c = a.contrassegno;
        voci.push_back({a.nome,
                        QStringLiteral("%1, %2").arg(
                            a.nome, AspettoContrassegno::descrizione(c.figura, Contrassegno::nomeColore(c.colore))),
                        c.valido() ? c.figura : 0, c.valido() ? c.colore : -1});
    }
    creaPulsanti(voci);
}

void frmChiSei::creaPulsanti(const std::vector<Voce> &voci)
{
    // The old buttons go once the new ones are up: one of them may be handling the press that got here.
    std::vector<PulsanteContrassegno *> vecchi;
    vecchi.swap(pulsanti_);
    QButtonGroup *vecchioGruppo = findChild<QButtonGroup *>(QStringLiteral("Pulsante"), Qt::FindDirectChildrenOnly);
    if (vecchioGruppo)
        vecchioGruppo->setObjectName(QString());
    for (PulsanteContrassegno *p : vecchi)
        p->disconnect(this);

    auto *gruppo = new QButtonGroup(this);
    gruppo->setObjectName(QStringLiteral("Pulsante"));
    gruppo->setExclusive(false);
    std::vector<Voce> tutte = voci;
    tutte.push_back({ospite, ospite});
    tutte.push_back({esci, esci});
    const bool alunni = fase_ == Fase::Alunno;
    for (size_t i = 0; i < tutte.size(); ++i) {
        const Voce &v = tutte[i];
        auto *p = new PulsanteContrassegno(client());
        const int indice = static_cast<int>(i);
        p->setObjectName(QStringLiteral("Pulsante(%1)").arg(indice));
        gruppo->addButton(p, indice);
        p->setText(v.testo);
        p->setAccessibleName(v.nomeAccessibile);
        if (v.testo == ospite && indice + 2 == static_cast<int>(tutte.size()))
            p->setAccessibleDescription(QStringLiteral("Esercizio senza nome: le risposte non sono registrate"));
        else if (indice + 1 == static_cast<int>(tutte.size()))
            p->setAccessibleDescription(QStringLiteral("Torna alla finestra iniziale"));
        else
            p->setAccessibleDescription(alunni ? QStringLiteral("Alunno della classe %1").arg(classe_.nome)
                                               : QStringLiteral("Classe"));
        p->impostaContrassegno(v.figura, v.colore);
        p->impostaSfondo(rosa);
        connect(p, &PulsanteOpzione::presoFuoco, this, &frmChiSei::Pulsante_GotFocus);
        connect(p, &PulsanteOpzione::persoFuoco, this, &frmChiSei::Pulsante_LostFocus);
        connect(p, &PulsanteOpzione::tastoGiu, this, &frmChiSei::Pulsante_KeyDown);
        connect(p, &PulsanteOpzione::carattere, this, &frmChiSei::Pulsante_KeyPress);
        connect(p, &PulsanteOpzione::tastoSu, this, &frmChiSei::Pulsante_KeyUp);
        connect(p, &PulsanteOpzione::mouseGiu, this, &frmChiSei::Pulsante_MouseDown);
        connect(p, &PulsanteOpzione::mouseSu, this, &frmChiSei::Pulsante_MouseUp);
        pulsanti_.push_back(p);
    }
    for (size_t i = 1; i < pulsanti_.size(); ++i)
        QWidget::setTabOrder(pulsanti_[i - 1], pulsanti_[i]);
    disponi();
    for (PulsanteContrassegno *p : pulsanti_)
        p->show();
    annunciaTitolo_ = true;
    pulsanti_.front()->setFocus(Qt::OtherFocusReason);

    for (PulsanteContrassegno *p : vecchi) {
        p->hide();
        p->deleteLater();
    }
    if (vecchioGruppo)
        vecchioGruppo->deleteLater();
}

void frmChiSei::disponi()
{
    if (pulsanti_.empty())
        return;
    const int larghezza = client()->width();
    const int altezza = client()->height();
    const int margine = std::max(6, larghezza / 120);
    const int spazio = std::max(4, std::min(larghezza, altezza) / 160);

    const int altezzaTitolo = std::clamp(altezza * 9 / 100, 30, 90);
    lblTitolo_->setGeometry(margine, margine / 2, larghezza - 2 * margine, altezzaTitolo);
    QFont titolo = lblTitolo_->font();
    titolo.setPixelSize(std::max(16, altezzaTitolo * 6 / 10));
    lblTitolo_->setFont(titolo);

    // "Ospite" on the left and "E S C I" on the right of a strip along the bottom.
    const int altezzaFondo = std::clamp(altezza * 11 / 100, 40, 100);
    const int larghezzaFondo = std::min(larghezza * 3 / 10, 320);
    const int altoFondo = altezza - margine - altezzaFondo;
    QFont fondo = font();
    fondo.setFamily(QStringLiteral("Arial"));
    fondo.setBold(true);
    fondo.setPixelSize(std::max(14, altezzaFondo * 4 / 10));
    Pulsante(indiceOspite())->setGeometry(margine, altoFondo, larghezzaFondo, altezzaFondo);
    Pulsante(indiceEsci())->setGeometry(larghezza - margine - larghezzaFondo, altoFondo, larghezzaFondo, altezzaFondo);
    Pulsante(indiceOspite())->setFont(fondo);
    Pulsante(indiceEsci())->setFont(fondo);

    // The grid: as many columns as give the largest buttons, pupils' upright, classes' wide.
    const int n = conta() - 2;
    if (n <= 0)
        return;
    const QRect area(margine, margine / 2 + altezzaTitolo + margine, larghezza - 2 * margine,
                     altoFondo - margine - (margine / 2 + altezzaTitolo + margine));
    const double proporzione = fase_ == Fase::Alunno ? 1.2 : 0.3; // height over width
    const int massimo = fase_ == Fase::Alunno ? larghezza / 5 : larghezza / 2;
    int migliori = 1;
    double lato = 0;
    for (int c = 1; c <= n; ++c) {
        const int righe = (n + c - 1) / c;
        const double w = (area.width() - (c - 1) * spazio) / double(c);
        const double h = (area.height() - (righe - 1) * spazio) / double(righe);
        const double l = std::min(w, h / proporzione);
        if (l > lato + 0.5) {
            lato = l;
            migliori = c;
        }
    }
    colonne_ = migliori;
    const int righe = (n + colonne_ - 1) / colonne_;
    const int w = static_cast<int>(std::min(lato, double(massimo)));
    const int hMassima = (area.height() - (righe - 1) * spazio) / righe;
    const int h = std::min(static_cast<int>(w * proporzione), hMassima);
    const int totaleW = colonne_ * w + (colonne_ - 1) * spazio;
    const int totaleH = righe * h + (righe - 1) * spazio;
    const int x0 = area.left() + (area.width() - totaleW) / 2;
    const int y0 = area.top() + (area.height() - totaleH) / 2;

    QFont nome = font();
    nome.setFamily(QStringLiteral("Arial"));
    nome.setBold(true);
    nome.setPixelSize(std::clamp(fase_ == Fase::Alunno ? h / 6 : h * 4 / 10, 12, 40));
    for (int i = 0; i < n; ++i) {
        PulsanteContrassegno *p = Pulsante(i);
        p->setGeometry(x0 + (i % colonne_) * (w + spazio), y0 + (i / colonne_) * (h + spazio), w, h);
        p->setFont(nome);
    }
}

void frmChiSei::Pulsante_GotFocus(int index)
{
    PulsanteContrassegno *p = Pulsante(index);
    if (!p)
        return;
    p->impostaValore(false);
    p->impostaSfondo(rosaForte);
    // The focused pupil's name, for a pupil who cannot read it; the question first on arrival.
    if (RegistroFinestre::istanza().inChiusura())
        return;
    QStringList parti;
    if (std::exchange(annunciaTitolo_, false))
        parti << lblTitolo_->text();
    parti << p->text();
    Parlato::istanza().dici(FrasiVoce::frase(parti));
}

void frmChiSei::Pulsante_LostFocus(int index)
{
    if (PulsanteContrassegno *p = Pulsante(index)) {
        p->impostaSfondo(rosa);
        p->impostaValore(false);
    }
}

void frmChiSei::Pulsante_KeyDown(int index, int keyCode)
{
    if (keyCode == TastiVoce::Ripeti) {
        Parlato::istanza().ripeti();
        return;
    }
    if (TastoGestito)
        return;
    const int n = conta() - 2; // classes or pupils
    int destinazione = -1;
    switch (keyCode) {
    case CodiciTasto::Invio:
        TastoGestito = true;
        Scegli(index);
        return;
    case CodiciTasto::Tab:
        destinazione = Pulsante(index)->indietro() ? index - 1 : index + 1;
        break;
    case Destra:
        destinazione = index + 1;
        break;
    case Sinistra:
        destinazione = index - 1;
        break;
    case Giu:
        // Down from the last row reaches "Ospite"; the bottom strip goes no further.
        destinazione = index >= n ? index : index + colonne_ < n ? index + colonne_ : indiceOspite();
        break;
    case Su:
        destinazione = index == indiceOspite() ? ((n - 1) / colonne_) * colonne_
                       : index == indiceEsci() ? n - 1
                       : index - colonne_ >= 0 ? index - colonne_
                                               : index;
        break;
    default:
        return; // discarded
    }
    TastoGestito = true;
    const int quanti = conta();
    if (PulsanteContrassegno *p = Pulsante(((destinazione % quanti) + quanti) % quanti))
        p->setFocus(Qt::OtherFocusReason);
}

void frmChiSei::Pulsante_KeyPress(int index, int keyAscii)
{
    if (SpazioGestito || keyAscii != CodiciTasto::Spazio)
        return;
    SpazioGestito = true;
    Pulsante((index + 1) % conta())->setFocus(Qt::OtherFocusReason);
}

void frmChiSei::Pulsante_KeyUp()
{
    TastoGestito = false;
    SpazioGestito = false;
}

void frmChiSei::Pulsante_MouseDown(int index) { Scegli(index); }

void frmChiSei::Pulsante_MouseUp(int index)
{
    TastoGestito = false;
    if (PulsanteContrassegno *p = Pulsante(index))
        p->impostaValore(false);
}

void frmChiSei::Scegli(int index)
{
    if (index < 0 || index >= conta() || scaricata())
        return;
    if (index == indiceEsci()) {
        scarica();
        return;
    }
    if (index == indiceOspite()) {
        Rispondente = ChiRisponde{.alunno = std::nullopt, .ospite = true};
        apriEsercizio();
        return;
    }
    if (fase_ == Fase::Classe) {
        mostraAlunni(classi_.at(index));
        return;
    }
    const Alunno &alunno = alunni_.at(index);
    Rispondente = ChiRisponde{.alunno = alunno,
                              .ospite = false,
                              .livello = alunno.livello.impostata() ? alunno.livello : classe_.livello,
                              .stato = alunno.stato};
    apriEsercizio();
}

void frmChiSei::apriEsercizio()
{
    // The score box shows the child who just chose, in this sitting: every choice counts from
    // zero, the same pupil's again too, so what it shows was never left by someone else.
    azzeraPunteggio();
    scelto_ = true;
    scarica();
}
