#include "Messaggio.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

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

bool conferma(QWidget *genitore, const QString &titolo, const QString &domanda, const QString &si)
{
    QMessageBox box(QMessageBox::Warning, titolo, domanda, QMessageBox::Yes | QMessageBox::No, genitore);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(si);
    box.button(QMessageBox::No)->setText(QStringLiteral("No"));
    return box.exec() == QMessageBox::Yes;
}
} // namespace Messaggio
