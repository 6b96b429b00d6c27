#pragma once

#include "core/GeneratoreEsercizio.h"
#include "core/ImpostazioneLivello.h"
#include "registro/Risultato.h"
#include "ui/Finestra.h"

#include <optional>

class Cornice;
class Etichetta;
class Immagine;
class PulsanteOpzione;

// The exercise window: the pupil builds, next to a random first set of N
// pictures, the set that comes before it (N - 1 pictures), with a keypad of
// five big buttons, then gets a verdict, help and the solution, exercise
// after exercise, until ESCI or the close box brings the start window back.
class frmOperativo : public FinestraUnica<frmOperativo> {
    Q_OBJECT
public:
    frmOperativo();

    Etichetta *Label1() const { return Label1_; }
    Etichetta *Label2() const { return Label2_; }
    Etichetta *LblEsito() const { return LblEsito_; }
    Etichetta *LblOperazione() const { return LblOperazione_; }
    Etichetta *lblRisEsatte() const { return lblRisEsatte_; }
    Etichetta *lblRisErrate() const { return lblRisErrate_; }
    Etichetta *LblTempoParziale() const { return LblTempoParziale_; }
    Etichetta *LblTempoTotale() const { return LblTempoTotale_; }
    Etichetta *LblAiuto() const { return LblAiuto_; }
    Etichetta *lblIntervento() const { return lblIntervento_; }
    // The reward for the first exercise after a step up the path.
    Etichetta *lblStella() const { return lblStella_; }
    Cornice *FraSfondoS() const { return FraSfondoS_; }
    Cornice *FraSfondoD() const { return FraSfondoD_; }
    Cornice *fraTastierino() const { return fraTastierino_; }
    Cornice *fraAiuto() const { return fraAiuto_; }
    Cornice *fraIntervento() const { return fraIntervento_; }
    Immagine *Image1(int k) const { return Image1_(k); }
    Immagine *Image2(int k) const { return Image2_(k); }
    PulsanteOpzione *Option1(int i) const { return Option1_(i); }
    PulsanteOpzione *Option3(int i) const { return Option3_(i); }
    PulsanteOpzione *optOK() const { return optOK_; }

    void AvviaEsercizi();
    void NuovoEsercizio();
    void EsciEsercizio();
    void DisattivaRiquadri();
    void genera0();
    void genera1();
    void genera2();
    void VisualizzaD0();
    void VisualizzaD1();
    void VisualizzaD2();
    void AggiungiElemento();
    void TogliElemento();
    void EseguiTasto(int index);
    void TastiEsercizio();
    void TastiRisolto();
    void VerificaRisposta();
    void SiSi();
    void RifiutaAiuto();
    // Says what to do and the situation of the second set, as the window shows them now.
    void annunciaEsercizio();

    // The level the exercise on screen was drawn at; 0 when nothing is set (the usual draws).
    int livelloEsercizio() const { return livello_; }
    // The kind on screen: the one chosen, or an empty second set at a level that offers no other.
    int tipoInForza() const;
    // The pupil's place on the path, after the last answer.
    const StatoPercorso &statoPercorso() const { return stato_; }

    bool TastoGestito = false;
    bool SpazioGestito = false;
    bool MouseGestito = false;
    bool TastoGestitoAiuto = false;
    bool SpazioGestitoAiuto = false;

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    void Option1_GotFocus(int index);
    void Option1_LostFocus(int index);
    void Option1_KeyDown(int index, int keyCode);
    void Option1_KeyPress(int index, int keyAscii);
    void Option1_KeyUp();
    void Option1_MouseDown(int index);
    void Option1_MouseUp(int index);
    void Option3_GotFocus(int index);
    void Option3_LostFocus(int index);
    void Option3_KeyDown(int index, int keyCode);
    void Option3_KeyPress(int index, int keyAscii);
    void Option3_KeyUp(int index);
    void Option3_MouseDown(int index);
    void Option3_MouseUp(int index);
    void optOK_KeyDown(int keyCode);
    void optOK_MouseDown();

    void genera(int tipo);
    int prossimoLivello() const;
    // How many elements the second set can hold at the exercise's level.
    int capienza() const;
    void nascondiSecondo();
    void mostraSecondo(int quanti);
    void portaDavanti(Cornice *pannello);
    void daiFuoco(QWidget *w);
    bool tastoVoce(int keyCode);
    void annunciaSecondo();
    // The row of the answer just verified; none for a guest or without a register.
    std::optional<Risultato> risultato(bool esatto) const;
    void registra(const Risultato &r);
    // Hands over again the wrong answer's row, stored as "offerto", with the help's outcome.
    void completaAiuto(Risultato::Aiuto aiuto, bool intervento = false);

    Etichetta *Label1_ = nullptr;
    Etichetta *Label2_ = nullptr;
    Etichetta *LblEsito_ = nullptr;
    Etichetta *LblOperazione_ = nullptr;
    Etichetta *lblRisEsatte_ = nullptr;
    Etichetta *lblRisErrate_ = nullptr;
    Etichetta *LblTempoParziale_ = nullptr;
    Etichetta *LblTempoTotale_ = nullptr;
    Etichetta *LblAiuto_ = nullptr;
    Etichetta *lblIntervento_ = nullptr;
    Etichetta *lblStella_ = nullptr;
    Cornice *FraSfondoS_ = nullptr;
    Cornice *FraSfondoD_ = nullptr;
    Cornice *fraTastierino_ = nullptr;
    Cornice *fraAiuto_ = nullptr;
    Cornice *fraIntervento_ = nullptr;
    ArrayControlli<Immagine> Image1_;
    ArrayControlli<Immagine> Image2_;
    ArrayControlli<PulsanteOpzione> Option1_;
    ArrayControlli<PulsanteOpzione> Option3_;
    PulsanteOpzione *optOK_ = nullptr;
    // Unseen: tells a screen reader what the second set holds after each change.
    QWidget *avvisoSecondo_ = nullptr;

    bool uscito_ = false;
    QString sessione_; // one opening of the window
    std::optional<Risultato> inSospeso_;
    // What the teacher set for whoever answers, read when the window opens.
    ImpostazioneLivello impostazione_;
    StatoPercorso stato_;
    int livello_ = 0;
    // The last answer was right and quick: settles a tie between two levels of the path.
    bool svelta_ = false;
};
