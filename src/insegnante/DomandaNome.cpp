#include "DomandaNome.h"

#include "insegnante/AdattaDialogo.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

DomandaNome::DomandaNome(const QString &titolo, const QString &etichetta, const QString &testo, Prova prova,
                         QWidget *genitore)
    : QDialog(genitore), prova_(std::move(prova))
{
    setWindowTitle(titolo);
    auto *domanda = new QLabel(etichetta, this);
    domanda->setTextFormat(Qt::PlainText); // it may hold a name: never markup
    domanda->setWordWrap(true);
    campo_ = new QLineEdit(testo, this);
    campo_->setAccessibleName(titolo);
    domanda->setBuddy(campo_);
    avviso_ = AdattaDialogo::nuovoAvviso(this);
    auto *pulsanti = AdattaDialogo::okAnnulla(this);
    connect(pulsanti, &QDialogButtonBox::accepted, this, &DomandaNome::accept);

    auto *disposizione = new QVBoxLayout(this);
    disposizione->addWidget(domanda);
    disposizione->addWidget(campo_);
    disposizione->addWidget(avviso_);
    disposizione->addWidget(pulsanti);
    AdattaDialogo::adatta(this);
}

void DomandaNome::accept()
{
    const QString nome = campo_->text();
    const QString errore =
        nome.trimmed().isEmpty() ? QStringLiteral("Scrivere il nome, oppure «Annulla».") : prova_(nome);
    if (errore.isEmpty()) {
        QDialog::accept();
        return;
    }
    AdattaDialogo::avvisa(avviso_, AdattaDialogo::frase(errore));
    // The reason is read out where the teacher is: in the field, ready to be corrected.
    campo_->setAccessibleDescription(avviso_->text());
    campo_->selectAll();
    campo_->setFocus();
}
