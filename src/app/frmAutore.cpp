#include "frmAutore.h"

#include "Identita.h"
#include "ui/Pulsante.h"

namespace {

constexpr QColor bluScuro(0, 0, 192);

constexpr DefinizioneFinestra finestra{
    .titolo = "Autore", .larghezzaClient = 6975, .altezzaClient = 3510, .sfondo = QColor(192, 255, 255)};

constexpr DefinizioneControllo definizioni[] = {
    {.tipo = TipoControllo::Etichetta,
     .nome = "Label1",
     .posizione = {200, 465, 4455, 435},
     .testo = "Sito dell'autore:",
     .carattere = {"Arial", 18, false}},
    {.tipo = TipoControllo::Etichetta,
     .nome = "Label2",
     .posizione = {165, 945, 6795, 510},
     .testo = "https://www.quorvel.example",
     .primoPiano = bluScuro,
     .carattere = {"Arial", 18, true}},
    {.tipo = TipoControllo::Etichetta,
     .nome = "Label3",
     .posizione = {225, 1860, 1350, 435},
     .testo = "Email:",
     .carattere = {"Arial", 18, false}},
    {.tipo = TipoControllo::Etichetta,
     .nome = "Label4",
     .posizione = {180, 2310, 5955, 510},
     .testo = "autore@quorvel.example",
     .primoPiano = bluScuro,
     .carattere = {"Arial", 18, true}},
    {.tipo = TipoControllo::Pulsante,
     .nome = "Command1",
     .posizione = {1845, 2940, 2700, 345},
     .testo = "C h i u d i",
     .sfondo = QColor(128, 255, 255),
     .carattere = {"Arial", 12, false},
     .tabIndex = 4},
    {.tipo = TipoControllo::Etichetta,
     .nome = "lblVersione",
     .posizione = {4695, 3030, 2160, 255},
     .testo = Identita::testoVersione,
     .carattere = {"Arial", 9, false},
     .allineamento = Allineamento::Destra},
};

} // namespace

frmAutore::frmAutore() : FinestraUnica(finestra)
{
    costruisci(definizioni);
    Command1_ = controllo<Pulsante>("Command1");
    connect(Command1_, &Pulsante::clicked, this, &Finestra::scarica);
}
