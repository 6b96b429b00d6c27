#include "MemoriaPercorsi.h"

MemoriaPercorsi &MemoriaPercorsi::istanza()
{
    static MemoriaPercorsi memoria;
    return memoria;
}

StatoPercorso MemoriaPercorsi::piuRecente(const StatoPercorso &a, const StatoPercorso &b)
{
    return b.risposte > a.risposte ? b : a;
}

StatoPercorso MemoriaPercorsi::stato(const QString &alunno) const { return stati_.value(alunno); }

void MemoriaPercorsi::ricorda(const QString &alunno, const StatoPercorso &stato)
{
    StatoPercorso &tenuto = stati_[alunno];
    tenuto = piuRecente(tenuto, stato);
}
