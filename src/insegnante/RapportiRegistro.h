#pragma once

#include "insegnante/ModelliRegistro.h"

class SuperficieStampa;

// The teacher's printed pages, drawn on the program's print surface (any
// queue, or "File PDF"): the class summary and a pupil's page. Each returns
// whether the document was sent; after a failure the surface says why.
namespace RapportiRegistro {

struct Intestazione {
    QString classe;
    Riepilogo::Periodo periodo;
    int tipo = -1;
};

// "dal 1/9/2026 al 31/8/2027", "tutto il registro".
QString testoPeriodo(const Riepilogo::Periodo &periodo);

bool stampaClasse(SuperficieStampa &s, const Intestazione &intestazione, const QList<Riepilogo::RigaAlunno> &righe);
bool stampaAlunno(SuperficieStampa &s, const Intestazione &intestazione, const Riepilogo::RigaAlunno &riga,
                  const ModelloAndamento &andamento);

} // namespace RapportiRegistro
