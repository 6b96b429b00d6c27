#include "Messaggio.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace Messaggio {
namespace {
Registratore &registratore()
{
    static Registratore r;
    return r;
}
} // namespace

void mostra(const QString &testo)
{
    if (registratore()) {
        registratore()(testo);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), testo, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void impostaRegistratore(Registratore r) { registratore() = std::move(r); }
} // namespace Messaggio
