#pragma once

#include "core/Tendine.h"
#include "ui/Finestra.h"

class Etichetta;
class PulsanteOpzione;
class QAction;
class QCheckBox;
class QTimer;
class Riquadro;

// The start window: four big choices, the worksheet and about menus, and the
// curtains that open over it after every resize. Closing it ends the program.
class FrmInizio : public FinestraUnica<FrmInizio> {
    Q_OBJECT
public:
    FrmInizio();

    PulsanteOpzione *Option1(int indice) const { return Option1_(indice); }
    Riquadro *Picture1() const { return Picture1_; }
    Riquadro *Picture2() const { return Picture2_; }
    QTimer *timerTendine() const { return timerTendine_; }
    const Tendine &tendine() const { return tendine_; }
    QAction *mnuVuoto() const { return mnuVuoto_; }
    QAction *mnuAggiungi() const { return mnuAggiungi_; }
    QAction *mnuTogli() const { return mnuTogli_; }
    QAction *mnuInfo() const { return mnuInfo_; }
    // Reading aloud, for pupils who cannot read yet; shown as a check box in the menu bar.
    QAction *mnuVoce() const { return mnuVoce_; }
    QCheckBox *casellaVoce() const { return casellaVoce_; }

    void AvviaScelta(int index);
    // Opens the exercise of kind index (0..2) with its opening line, for whoever Rispondente names.
    void ApriEsercizio(int index);
    void ChiudiTutto();
    void AvviaTendine();

    bool TastoGestito = false;
    bool SpazioGestito = false;

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    void Form_Unload() override;
    void dopoPrimoDisegno() override;

private:
    void Option1_GotFocus(int index);
    void Option1_LostFocus(int index);
    void Option1_KeyDown(int index, int keyCode);
    void Option1_KeyPress(int index, int keyAscii);
    void Option1_KeyUp();
    void Option1_MouseDown(int index);
    void Option1_MouseUp(int index);
    void timerTendine_Timer();
    void posizionaTendine();
    void aggiornaVoce();

    ArrayControlli<PulsanteOpzione> Option1_;
    Etichetta *Label2_ = nullptr;
    Riquadro *Picture1_ = nullptr;
    Riquadro *Picture2_ = nullptr;
    QTimer *timerTendine_ = nullptr;
    QAction *mnuVuoto_ = nullptr;
    QAction *mnuAggiungi_ = nullptr;
    QAction *mnuTogli_ = nullptr;
    QAction *mnuInfo_ = nullptr;
    QAction *mnuVoce_ = nullptr;
    QCheckBox *casellaVoce_ = nullptr;
    Tendine tendine_;
};
