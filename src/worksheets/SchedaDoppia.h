#pragma once

#include "FinestraScheda.h"
#include "core/EstrazioneScheda.h"

#include <array>

class Cornice;

// The worksheet window of kinds 2 and 3, which differ only in data: four
// exercises with a first set and the second set as it starts, shown two at a
// time (Frame3 holds exercises 1 and 2, Frame4 exercises 3 and 4).
class SchedaDoppia : public FinestraScheda {
    Q_OBJECT
public:
    static QString testoSecondaParte() { return QStringLiteral("Visualizza la seconda parte"); }
    static QString testoPrimaParte() { return QStringLiteral("Visualizza la prima parte"); }
    static QString testoPrimaParteBreve() { return QStringLiteral("Visualiza la prima parte"); }

    Immagine *Image1(int indice) const { return Image1_(indice); }
    Immagine *Image2(int indice) const { return Image2_(indice); }
    Cornice *Frame3() const { return Frame3_; }
    Cornice *Frame4() const { return Frame4_; }
    Pulsante *Command2() const { return Command2_; }
    Pulsante *CmdInsieme1() const { return pulsanti_[0]; }
    Pulsante *cmdInsieme(int e) const { return pulsanti_[e - 1]; }

    // Draws exercise e (1..4) anew and shows the half that holds it.
    void VisualizzaEsercizio(int e);
    void Command2_Click();
    ContenutoScheda contenuto() const override;

    qint16 Figura = 0;
    int ElementiPrimo = 0;
    qint16 UltimaCasella = 0;
    std::array<qint16, GeometriaScheda::celle + 1> Estratte{};
    std::array<qint16, GeometriaScheda::celle + 1> Posizioni{};

protected:
    explicit SchedaDoppia(int tipo);
    void Form_Load() override;
    void ricomincia() override;

private:
    ArrayControlli<Immagine> Image1_;
    ArrayControlli<Immagine> Image2_;
    Cornice *Frame3_ = nullptr;
    Cornice *Frame4_ = nullptr;
    Pulsante *Command2_ = nullptr;
    std::array<Pulsante *, 4> pulsanti_{};
};
