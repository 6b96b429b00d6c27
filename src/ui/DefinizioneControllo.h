#pragma once

#include "core/Twips.h"

#include <QColor>
#include <QRect>

#include <optional>

enum class TipoControllo {
    Etichetta,       // label
    Cornice,         // frame, with or without border
    Immagine,        // image control
    Sagoma,          // shape
    PulsanteOpzione, // option button drawn as a big push button
    Pulsante,        // command button
    Elenco,          // drop-down list
    Riquadro,        // picture box
    Timer,
    Menu,
};

enum class Allineamento { Sinistra, Centro, Destra };

struct Carattere {
    const char *famiglia = nullptr; // nullptr: the system dialog font
    double punti = 0;
    bool grassetto = false;
};

// One control of a window as the designer drew it, in twips. Definitions are
// read in order: earlier ones lie in front within their container.
struct DefinizioneControllo {
    TipoControllo tipo;
    const char *nome;
    int indice = -1;                   // member of a control array when >= 0
    const char *contenitore = nullptr; // nullptr: the window's client area
    int indiceContenitore = -1;
    QRect posizione; // left, top, width, height in twips
    const char *testo = nullptr;
    std::optional<QColor> sfondo = std::nullopt;     // back colour; none: transparent or default
    std::optional<QColor> primoPiano = std::nullopt; // text colour, or border colour of shapes
    Carattere carattere = {};
    Allineamento allineamento = Allineamento::Sinistra;
    bool bordo = false;   // frames and shapes
    bool estendi = false; // image controls stretch their picture
    int tabIndex = -1;
    const char *suggerimento = nullptr; // tooltip
    const char *descrizione = nullptr;  // what assistive technology says of it besides its name
};

// A window as the designer drew it.
struct DefinizioneFinestra {
    const char *titolo;
    int larghezzaClient; // twips
    int altezzaClient;   // twips
    std::optional<QColor> sfondo = std::nullopt;
    bool grande = false; // opens maximized and scales its controls in proportion
    const char *icona = nullptr;
};
