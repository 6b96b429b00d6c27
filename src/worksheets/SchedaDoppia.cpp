#include "SchedaDoppia.h"

#include "TestataScheda.h"

#include "core/Casuale.h"
#include "ui/Cornice.h"
#include "ui/Immagine.h"
#include "ui/Pulsante.h"

#include "SchedaDoppiaTabella.h"

namespace {

std::span<const DefinizioneControllo> definizioniPer(int tipo)
{
    return tipo == 2 ? std::span<const DefinizioneControllo>(definizioni<2>) : definizioni<3>;
}

} // namespace

SchedaDoppia::SchedaDoppia(int tipo) : FinestraScheda(progetti[tipo - 2].finestra, ConfigurazioneScheda::perTipo(tipo))
{
    costruisci(definizioniPer(tipo));
    Image1_ = array<Immagine>("Image1");
    Image2_ = array<Immagine>("Image2");
    Frame3_ = controllo<Cornice>("Frame3");
    Frame4_ = controllo<Cornice>("Frame4");
    Command2_ = controllo<Pulsante>("Command2");
    pulsanti_ = {controllo<Pulsante>("CmdInsieme1"), controllo<Pulsante>("cmdInsieme2"),
                 controllo<Pulsante>("cmdInsieme3"), controllo<Pulsante>("cmdInsieme4")};
    for (int e = 1; e <= 4; ++e)
        connect(pulsanti_[e - 1], &Pulsante::clicked, this, [this, e] { VisualizzaEsercizio(e); });
    connect(Command2_, &Pulsante::clicked, this, &SchedaDoppia::Command2_Click);
    collegaComuni(progetti[tipo - 2].voceMenu);
}

void SchedaDoppia::Form_Load() { VisualizzaEsercizio(1); }

void SchedaDoppia::ricomincia()
{
    azzeraVisti();
    for (int k = 0; k < GeometriaScheda::esercizi * GeometriaScheda::celle; ++k) {
        pulisci(Image1_(k));
        pulisci(Image2_(k));
    }
    VisualizzaEsercizio(1);
}

void SchedaDoppia::VisualizzaEsercizio(int e)
{
    const int b = 15 * (e - 1);
    segnaVisto(e);
    const bool primaParte = e <= 2;
    Command2_->setText(primaParte ? testoSecondaParte() : testoPrimaParte());
    Frame3_->setVisible(primaParte);
    Frame4_->setVisible(!primaParte);
    for (int o = 0; o < 15; ++o) {
        pulisci(Image1_(b + o));
        pulisci(Image2_(b + o));
    }

    const EsercizioEstratto esercizio =
        EstrazioneScheda::perScheda(Casuale::corrente(), b, configurazione().tipo, livello());
    Figura = static_cast<qint16>(esercizio.Figura);
    ElementiPrimo = esercizio.ElementiPrimo;
    UltimaCasella = static_cast<qint16>(esercizio.UltimaCasella);
    Estratte.fill(0);
    Posizioni.fill(0);
    for (size_t i = 0; i < esercizio.Estratte.size(); ++i) {
        Estratte[i + 1] = static_cast<qint16>(esercizio.Estratte[i]);
        Posizioni[i + 1] = Estratte[i + 1];
    }

    const Disegno elemento = figura(Figura);
    for (int slot : esercizio.Estratte)
        Image1_(slot)->impostaDisegno(elemento);
    for (int k = b; k <= b + UltimaCasella; ++k)
        Image2_(k)->impostaDisegno(elemento);
}

void SchedaDoppia::Command2_Click()
{
    if (Command2_->text() != testoSecondaParte()) {
        Command2_->setText(testoSecondaParte());
        Frame3_->setVisible(true);
        Frame4_->setVisible(false);
    } else {
        Command2_->setText(testoPrimaParteBreve());
        Frame3_->setVisible(false);
        Frame4_->setVisible(true);
    }
}

ContenutoScheda SchedaDoppia::contenuto() const
{
    ContenutoScheda c;
    for (int e = 0; e < 4; ++e)
        for (int o = 0; o < 15; ++o) {
            c.primo[e][o] = Image1_(15 * e + o)->disegno();
            c.secondo[e][o] = Image2_(15 * e + o)->disegno();
        }
    return c;
}
