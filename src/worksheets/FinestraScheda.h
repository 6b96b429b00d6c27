#pragma once

#include "ContenutoScheda.h"
#include "core/ConfigurazioneScheda.h"
#include "ui/Finestra.h"

class Immagine;
class Pulsante;
class QAction;

// What the three worksheet windows share: the four "shown" flags, printing the
// sheet, the printer menu, and the way back to the start window.
class FinestraScheda : public Finestra {
    Q_OBJECT
public:
    bool Visto1 = false;
    bool Visto2 = false;
    bool Visto3 = false;
    bool Visto4 = false;

    const ConfigurazioneScheda &configurazione() const { return configurazione_; }
    // The sheet as the slots hold it now.
    virtual ContenutoScheda contenuto() const = 0;

    Pulsante *Command1() const { return Command1_; }
    Pulsante *CmdFine() const { return CmdFine_; }
    QAction *mnuImpostazioneStampante() const { return mnuImpostazioneStampante_; }
    QAction *mnuSchedeClasse() const { return mnuSchedeClasse_; }

    void Command1_Click();
    void mnuImpostazioneStampante_Click();
    void mnuSchedeClasse_Click();

protected:
    FinestraScheda(const DefinizioneFinestra &definizione, const ConfigurazioneScheda &configurazione);
    // Once the controls are built: the common buttons and the menu.
    void collegaComuni(const char *testoMenu);
    void segnaVisto(int e);
    bool tuttiVisti() const { return Visto1 && Visto2 && Visto3 && Visto4; }
    static void pulisci(Immagine *slot);
    static Disegno figura(int k);

    void Form_Unload() override;

private:
    const ConfigurazioneScheda &configurazione_;
    Pulsante *Command1_ = nullptr;
    Pulsante *CmdFine_ = nullptr;
    QAction *mnuImpostazioneStampante_ = nullptr;
    QAction *mnuSchedeClasse_ = nullptr;
};
