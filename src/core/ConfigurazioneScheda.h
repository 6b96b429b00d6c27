#pragma once

// What the printed sheets of the three kinds do not share.
struct ConfigurazioneScheda {
    int tipo;               // 1: second set empty, 2: fewer elements, 3: more elements
    int xNome;              // where "Nome e Cognome   " starts, twips
    const char *istruzione; // the instruction line of the heading
    const char *completa;   // the message when not every exercise was shown
    bool secondoInsieme;    // the right box holds the second set as it starts

    static const ConfigurazioneScheda &perTipo(int tipo);
};

inline constexpr ConfigurazioneScheda configurazioniScheda[] = {
    {1, 3000, "Nel riquadro accanto disegna l'insieme consecutivo minore", " Completa la scheda", false},
    {2, 1000, "Nel riquadro accanto aggiungi elementi per rendere l'insieme consecutivo minore", "Completa la scheda",
     true},
    {3, 1000, "Nel riquadro accanto togli elementi per rendere l'insieme consecutivo minore", " Completa la scheda",
     true},
};

inline const ConfigurazioneScheda &ConfigurazioneScheda::perTipo(int tipo) { return configurazioniScheda[tipo - 1]; }
