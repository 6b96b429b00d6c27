#pragma once

#include "registro/Alunno.h"
#include "registro/Classe.h"
#include "ui/Finestra.h"

#include <QList>
#include <QString>

#include <vector>

class Etichetta;
class PulsanteContrassegno;

// "Chi sei?": before an exercise, when the register holds a class, a pupil
// finds their own contrassegno among big buttons, one per pupil of the class,
// or chooses "Ospite" (nothing kept) or "E S C I" (back to the start window).
// With several classes and none chosen for this PC, the class comes first, the
// same way. Keys and mouse work as on the start window.
class frmChiSei : public FinestraUnica<frmChiSei> {
    Q_OBJECT
public:
    frmChiSei();

    // Whether an exercise starts here: there is a register and it holds a class.
    static bool serve();
    // The class this PC's teacher chose (its id), in the program's settings; the teacher's window sets it.
    static const QString chiaveClasse;

    enum class Fase { Classe, Alunno };
    Fase fase() const { return fase_; }
    // The class whose pupils are shown (in the pupils' phase).
    const Classe &classe() const { return classe_; }

    // The big buttons in order: the classes or the pupils, then "Ospite", then "E S C I".
    int conta() const { return static_cast<int>(pulsanti_.size()); }
    PulsanteContrassegno *Pulsante(int indice) const;
    int indiceOspite() const { return conta() - 2; }
    int indiceEsci() const { return conta() - 1; }
    Etichetta *lblTitolo() const { return lblTitolo_; }

    void Scegli(int index);

    bool TastoGestito = false;
    bool SpazioGestito = false;

protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize() override;
    void Form_Unload() override;

private:
    void Pulsante_GotFocus(int index);
    void Pulsante_LostFocus(int index);
    void Pulsante_KeyDown(int index, int keyCode);
    void Pulsante_KeyPress(int index, int keyAscii);
    void Pulsante_KeyUp();
    void Pulsante_MouseDown(int index);
    void Pulsante_MouseUp(int index);

    void mostraClassi();
    void mostraAlunni(const Classe &classe);
    // Replaces the buttons: one per entry, then "Ospite" and "E S C I"; the first takes the focus.
    struct Voce {
        QString testo;
        QString nomeAccessibile;
        int figura = 0;
        int colore = -1;
    };
    void creaPulsanti(const std::vector<Voce> &voci);
    void disponi();
    void sposta(int da, int passo);
    void apriEsercizio();

    Etichetta *lblTitolo_ = nullptr;
    std::vector<PulsanteContrassegno *> pulsanti_;
    Fase fase_ = Fase::Classe;
    QList<Classe> classi_;
    Classe classe_;
    QList<Alunno> alunni_;
    int colonne_ = 1;
    bool annunciaTitolo_ = true; // the next focus says the question before the name
    bool scelto_ = false;        // leaving for the exercise, not back to the start window
};
