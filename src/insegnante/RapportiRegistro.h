#pragma once

#include "insegnante/ModelliRegistro.h"
#include "registro/Registro.h"

class Informativa;

class SuperficieStampa;

// The teacher's printed pages, drawn on the program's print surface (any
// queue, or "File PDF"): the class summary and a pupil's page. Each returns
// whether the document was sent; after a failure the surface says why.
namespace RapportiRegistro {

struct Intestazione {
    QString classe;
    Riepilogo::Periodo periodo;
    int tipo = -1;
    int livello = 0; // 0: every level
};

// "dal 1/9/2026 al 31/8/2027", "tutto il registro".
QString testoPeriodo(const Riepilogo::Periodo &periodo);

bool stampaClasse(SuperficieStampa &s, const Intestazione &intestazione, const QList<Riepilogo::RigaAlunno> &righe);
bool stampaAlunno(SuperficieStampa &s, const Intestazione &intestazione, const Riepilogo::RigaAlunno &riga,
                  const ModelloAndamento &andamento);

// The families' notice, its paragraphs wrapped to the page.
bool stampaInformativa(SuperficieStampa &s, const Informativa &informativa);
// Everything the register keeps of one pupil, for their family: name, class, contrassegno and
// every result (`righe`, in time order) in a table, page after page.
bool stampaDatiAlunno(SuperficieStampa &s, const Alunno &alunno, const QString &classe,
                      const QList<Registro::RigaRisultato> &righe);
// "Dati Zoë.pdf"
QString nomeFileDati(const QString &alunno);

// `testo` in lines no wider than `larghezza` twips at `punti` points, as the print surface draws them.
QStringList aCapo(const QString &testo, double punti, int larghezza);

} // namespace RapportiRegistro
