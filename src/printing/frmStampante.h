#pragma once

#include "ui/Finestra.h"

class Etichetta;
class Pulsante;
class QComboBox;

// Printer selection: lists the installed printers, names the one in use and the
// one chosen last, and replaces the application's current printer. "C H I U D I"
// only hides it; the close box unloads it.
class frmStampante : public FinestraUnica<frmStampante> {
    Q_OBJECT
public:
    frmStampante();

    Etichetta *Label1() const { return Label1_; }
    Etichetta *Label2() const { return Label2_; }
    QComboBox *Combo1() const { return Combo1_; }
    Pulsante *Command2() const { return Command2_; }

    void RiempiElencoStampanti();
    void MostraPredefinita();

    // Set at the first selection event, the one raised by filling the list.
    bool ElencoPronto = false;

protected:
    void Form_Load() override;

private:
    void Combo1_Click();

    Etichetta *Label1_ = nullptr;
    Etichetta *Label2_ = nullptr;
    QComboBox *Combo1_ = nullptr;
    Pulsante *Command2_ = nullptr;
};
