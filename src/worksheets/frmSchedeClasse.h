#pragma once

#include "ui/Finestra.h"

class Livello;
class Pulsante;
class QCheckBox;
class QProgressBar;
class QRadioButton;
class QSpinBox;

// The class set of a worksheet window: how many sheets, whether to add the
// answer keys, and where to (the printer now chosen, or "File PDF"). Shown
// modal; the sheet on screen in the worksheet window is never touched.
class frmSchedeClasse : public FinestraUnica<frmSchedeClasse> {
    Q_OBJECT
public:
    // From this many sheets on, the work shows a progress bar.
    static constexpr int sogliaAvanzamento = 5;

    frmSchedeClasse();

    // Shows the window for the sheets of this kind, at a level if one is given.
    void apriPer(int tipo, const Livello *livello = nullptr);
    int tipo() const { return tipo_; }
    const Livello *livello() const { return livello_; }

    QSpinBox *txtCopie() const { return txtCopie_; }
    QCheckBox *chkSoluzioni() const { return chkSoluzioni_; }
    QRadioButton *optStampante() const { return optStampante_; }
    QRadioButton *optFilePdf() const { return optFilePdf_; }
    QProgressBar *barAvanzamento() const { return barAvanzamento_; }
    Pulsante *cmdStampa() const { return cmdStampa_; }
    Pulsante *cmdAnnulla() const { return cmdAnnulla_; }

    // Draws and prints the set; on success the window hides.
    void cmdStampa_Click();

private:
    int tipo_ = 1;
    const Livello *livello_ = nullptr;
    QSpinBox *txtCopie_ = nullptr;
    QCheckBox *chkSoluzioni_ = nullptr;
    QRadioButton *optStampante_ = nullptr;
    QRadioButton *optFilePdf_ = nullptr;
    QProgressBar *barAvanzamento_ = nullptr;
    Pulsante *cmdStampa_ = nullptr;
    Pulsante *cmdAnnulla_ = nullptr;
};
