#include "SceltaLivello.h"

#include "core/Livello.h"
#include "insegnante/AdattaDialogo.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QComboBox *livelli(const QString &nome, int scelto, QWidget *genitore)
{
    auto *c = new QComboBox(genitore);
    c->setAccessibleName(nome);
    for (int l = Livello::primo; l <= Livello::ultimo; ++l)
        c->addItem(SceltaLivello::nomeLivello(l), l);
    c->setCurrentIndex(std::max(0, c->findData(scelto)));
    return c;
}

QLabel *etichetta(const QString &testo, QWidget *compagno, QWidget *genitore)
{
    auto *e = new QLabel(testo, genitore);
    e->setBuddy(compagno);
    return e;
}

} // namespace

QString SceltaLivello::nomeLivello(int livello)
{
    const Livello &l = Livello::di(livello);
    int massimo = 0;
    for (int t = 0; t < Livello::tipi; ++t)
        massimo = std::max(massimo, l.regola(t).massimoN);
    return livello == Livello::consueto ? QStringLiteral("%1 (N fino a %2, come sempre)").arg(livello).arg(massimo)
                                        : QStringLiteral("%1 (N fino a %2)").arg(livello).arg(massimo);
}

SceltaLivello::SceltaLivello(const QString &chi, const ImpostazioneLivello &attuale,
                             const std::optional<ImpostazioneLivello> &classe, Prova prova, QWidget *genitore)
    : QDialog(genitore), prova_(std::move(prova)), attuale_(attuale)
{
    setWindowTitle(QStringLiteral("Livello %1").arg(chi));
    auto *domanda = new QLabel(QStringLiteral("Gli esercizi %1:").arg(chi), this);
    domanda->setTextFormat(Qt::PlainText); // it may hold a name: never markup
    domanda->setWordWrap(true);

    const QString diSempre = QStringLiteral("i numeri di sempre (livello %1)").arg(Livello::consueto);
    if (classe)
        nessuno_ = new QRadioButton(
            QStringLiteral("Come la &classe: %1").arg(classe->impostata() ? classe->testo() : diSempre), this);
    else
        nessuno_ = new QRadioButton(QStringLiteral("I &numeri di sempre (livello %1)").arg(Livello::consueto), this);
    fisso_ = new QRadioButton(QStringLiteral("Un &livello fisso:"), this);
    percorso_ = new QRadioButton(QStringLiteral("Un &percorso che si adatta alle risposte:"), this);
    livello_ = livelli(QStringLiteral("Livello fisso"), attuale.impostata() ? attuale.da : Livello::consueto, this);
    dal_ = livelli(QStringLiteral("Percorso: dal livello"), attuale.percorso() ? attuale.da : Livello::primo, this);
    al_ = livelli(QStringLiteral("Percorso: al livello"), attuale.percorso() ? attuale.a : Livello::consueto, this);
    (attuale.percorso() ? percorso_ : attuale.impostata() ? fisso_ : nessuno_)->setChecked(true);
    // Choosing a level says which kind of setting is meant.
    connect(livello_, &QComboBox::activated, fisso_, [this] { fisso_->setChecked(true); });
    for (QComboBox *c : {dal_, al_})
        connect(c, &QComboBox::activated, percorso_, [this] { percorso_->setChecked(true); });

    auto *spiegazione =
        new QLabel(QStringLiteral("Sul percorso il programma sceglie il livello di ogni esercizio dalle "
                                  "risposte dell'alunno, senza uscire dai due livelli scelti. Il "
                                  "livello 1 è il più facile, il %1 il più difficile.")
                       .arg(Livello::ultimo),
                   this);
    spiegazione->setWordWrap(true);
    avviso_ = AdattaDialogo::nuovoAvviso(this);
    auto *pulsanti = AdattaDialogo::okAnnulla(this);
    connect(pulsanti, &QDialogButtonBox::accepted, this, &SceltaLivello::accept);

    auto *rigaFisso = new QHBoxLayout;
    rigaFisso->addWidget(fisso_);
    rigaFisso->addWidget(livello_);
    rigaFisso->addStretch(1);
    auto *rigaPercorso = new QHBoxLayout;
    // Under the choice it belongs to, in line with the choices' texts.
    rigaPercorso->addSpacing(style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, percorso_) +
                             style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, percorso_));
    rigaPercorso->addWidget(etichetta(QStringLiteral("&dal livello"), dal_, this));
    rigaPercorso->addWidget(dal_);
    rigaPercorso->addWidget(etichetta(QStringLiteral("&al livello"), al_, this));
    rigaPercorso->addWidget(al_);
    rigaPercorso->addStretch(1);
    auto *disposizione = new QVBoxLayout(this);
    disposizione->addWidget(domanda);
    disposizione->addWidget(nessuno_);
    disposizione->addLayout(rigaFisso);
    disposizione->addWidget(percorso_);
    disposizione->addLayout(rigaPercorso);
    disposizione->addWidget(spiegazione);
    disposizione->addWidget(avviso_);
    disposizione->addWidget(pulsanti);
    AdattaDialogo::adatta(this);
}

ImpostazioneLivello SceltaLivello::scelta() const
{
    if (fisso_->isChecked())
        return {livello_->currentData().toInt(), livello_->currentData().toInt()};
    if (percorso_->isChecked())
        return {dal_->currentData().toInt(), al_->currentData().toInt()};
    return {};
}

void SceltaLivello::accept()
{
    const ImpostazioneLivello l = scelta();
    QString errore;
    if (percorso_->isChecked() && l.da >= l.a)
        errore =
            QStringLiteral("Un percorso sale da un livello a uno più alto: «al livello» va scelto più alto di «dal "
                           "livello».");
    else if (!(l == attuale_))
        errore = prova_(l);
    if (errore.isEmpty()) {
        QDialog::accept();
        return;
    }
    AdattaDialogo::avvisa(avviso_, AdattaDialogo::frase(errore));
    (percorso_->isChecked() ? al_ : fisso_->isChecked() ? livello_ : static_cast<QWidget *>(nessuno_))->setFocus();
}
