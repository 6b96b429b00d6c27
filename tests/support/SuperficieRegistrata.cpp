#include "SuperficieRegistrata.h"

#include "ui/Disegno.h"

namespace {
QString punto(QPoint p) { return QStringLiteral("%1,%2").arg(p.x()).arg(p.y()); }
} // namespace

bool SuperficieRegistrata::registra(const QString &operazione)
{
    if (falliscaDa_ >= 0 && tentate_++ >= falliscaDa_)
        errore_ = true;
    if (errore_)
        return false;
    operazioni_.append(operazione);
    return true;
}

void SuperficieRegistrata::impostaX(int twips) { registra(QStringLiteral("X %1").arg(twips)); }
void SuperficieRegistrata::impostaY(int twips) { registra(QStringLiteral("Y %1").arg(twips)); }
void SuperficieRegistrata::impostaCarattere(double punti) { registra(QStringLiteral("Carattere %1").arg(punti)); }
void SuperficieRegistrata::stampaTesto(const QString &testo) { registra(QStringLiteral("Testo ") + testo); }
void SuperficieRegistrata::impostaSpessoreLinea(int pixel) { registra(QStringLiteral("Spessore %1").arg(pixel)); }

void SuperficieRegistrata::linea(QPoint da, QPoint a)
{
    registra(QStringLiteral("Linea %1 %2").arg(punto(da), punto(a)));
}

void SuperficieRegistrata::disegno(QPoint inAltoASinistra, const Disegno &figura)
{
    registra(QStringLiteral("Disegno %1 #%2").arg(punto(inAltoASinistra)).arg(figura.numero()));
}

void SuperficieRegistrata::nuovaPagina()
{
    if (registra(QStringLiteral("NuovaPagina")))
        paginaFatta(++pagineFatte_);
}

bool SuperficieRegistrata::fineDocumento()
{
    if (!registra(QStringLiteral("Fine")))
        return false;
    paginaFatta(++pagineFatte_);
    pagineFatte_ = 0;
    ++pagine_;
    return true;
}
