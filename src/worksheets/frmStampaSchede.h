#pragma once

#include "FinestraScheda.h"
#include "core/EstrazioneScheda.h"

#include <array>

// Worksheet of kind 1: four first sets, each beside an empty box on paper.
class frmStampaSchede : public FinestraUnica<frmStampaSchede, FinestraScheda> {
    Q_OBJECT
public:
    // Slot base of each exercise: there is no Image1(45..74).
    static constexpr std::array<int, 4> basi = {0, 15, 30, 75};

    frmStampaSchede();

    Immagine *Image1(int indice) const { return Image1_(indice); }
    const ArrayControlli<Immagine> &Image1() const { return Image1_; }
    Pulsante *CmdOperazione() const { return pulsanti_[0]; }
    Pulsante *cmdInsieme(int e) const { return pulsanti_[e - 1]; }

    // Draws exercise e (1..4) anew into its frame.
    void Anteprima(int e);
    ContenutoScheda contenuto() const override;

    int ElementiPrimo = 0;
    qint16 Figura = 0;
    std::array<qint16, GeometriaScheda::celle + 1> Estratte{};

protected:
    void Form_Load() override;
    void ricomincia() override;

private:
    ArrayControlli<Immagine> Image1_;
    std::array<Pulsante *, 4> pulsanti_{};
};
