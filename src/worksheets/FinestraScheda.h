#pragma once

#include "ContenutoScheda.h"
#include "core/ConfigurazioneScheda.h"
#include "ui/Finestra.h"

class Immagine;
class Livello;
class Pulsante;
class QAction;
class QMenu;

// What the three worksheet windows share: the four "shown" flags, printing the
// sheet, the printer menu, the level the exercises are drawn at, and the way back
// to the start window.
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
    QMenu *mnuLivello() const { return mnuLivello_; }

    // The level of the sheet and of its class sets; none: the usual draws.
    const Livello *livello() const { return livello_; }
    // Starts the sheet afresh at that level (nullptr: none), as if the window had just opened.
    void impostaLivello(const Livello *livello);

    void Command1_Click();
    void mnuImpostazioneStampante_Click();
    void mnuSchedeClasse_Click();

protected:
    FinestraScheda(const DefinizioneFinestra &definizione, const ConfigurazioneScheda &configurazione);
    // Once the controls are built: the common buttons and the menu.
    void collegaComuni(const char *testoMenu);
    void segnaVisto(int e);
    // Clears the sheet and draws its first exercise, as at loading.
    virtual void ricomincia() = 0;
    void azzeraVisti() { Visto1 = Visto2 = Visto3 = Visto4 = false; }
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
    QMenu *mnuLivello_ = nullptr;
    const Livello *livello_ = nullptr;
};
