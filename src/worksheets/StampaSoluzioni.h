#pragma once

#include <QString>

#include <vector>

class SuperficieStampa;
struct EsercizioEstratto;
struct SchedaEstratta;

// The answer keys of a class set: after the sheets, pages with one row per
// sheet, its number in large figures, and for each exercise the pictures of the
// first set and of the answer (kinds 2 and 3: how many to add or to take away).
class StampaSoluzioni {
public:
    static constexpr int righePerPagina = 25;

    StampaSoluzioni(SuperficieStampa &superficie, int tipo) : superficie_(superficie), tipo_(tipo) {}

    // Draws the key pages, starting on the current page; ends no page.
    void stampa(const std::vector<SchedaEstratta> &schede);

    // "7 → 6", or with the second set of kinds 2 and 3 "7 → 6, aggiungi 3" / "7 → 6, togli 2".
    static QString voce(int tipo, const EsercizioEstratto &esercizio);

private:
    void pagina(const std::vector<SchedaEstratta> &schede, int prima, int ultima);
    void testo(int x, int y, double punti, const QString &testo);

    SuperficieStampa &superficie_;
    int tipo_;
};
