#include "FrmClassi.h"

#include "insegnante/AdattaDialogo.h"
#include "insegnante/DomandaNome.h"
#include "insegnante/SceltaLivello.h"
#include "registro/CsvAlunni.h"
#include "registro/Registro.h"
#include "ui/AspettoContrassegno.h"
#include "ui/Messaggio.h"
#include "ui/NomiFigure.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr QSize lato(40, 40);

QPushButton *pulsante(const QString &testo, QWidget *genitore, QLayout *dove)
{
    auto *p = new QPushButton(testo, genitore);
    // Enter on a list opens what the list offers, and never presses a button besides.
    p->setAutoDefault(false);
    dove->addWidget(p);
    return p;
}

// The picture and the colour, each from a list, with the tile as the pupil will see it.
class SceltaContrassegno : public QDialog {
public:
    // prova: tries the contrassegno; empty when it was taken, else why not.
    SceltaContrassegno(const Alunno &alunno, std::function<QString(Contrassegno)> prova, QWidget *genitore)
        : QDialog(genitore), prova_(std::move(prova))
    {
        setWindowTitle(QStringLiteral("Contrassegno di %1").arg(alunno.nome));
        figure_ = new QComboBox(this);
        figure_->setAccessibleName(QStringLiteral("Figura"));
        figure_->setIconSize(QSize(32, 32));
        for (int f = 1; f <= Contrassegno::numeroFigure; ++f)
            figure_->addItem(QIcon(AspettoContrassegno::pixmap(f, 0, QSize(32, 32))),
                             QString::fromUtf8(NomiFigure::nomi[f].singolare), f);
        colori_ = new QComboBox(this);
        colori_->setAccessibleName(QStringLiteral("Colore"));
        for (int c = 0; c < Contrassegno::numeroColori; ++c) {
            QPixmap campione(16, 16);
            campione.fill(AspettoContrassegno::colore(c));
            colori_->addItem(QIcon(campione), Contrassegno::nomeColore(c), c);
        }
        if (alunno.contrassegno.valido()) {
            figure_->setCurrentIndex(alunno.contrassegno.figura - 1);
            colori_->setCurrentIndex(alunno.contrassegno.colore);
        }
        anteprima_ = new QLabel(this);
        anteprima_->setMinimumSize(120, 120);
        anteprima_->setAlignment(Qt::AlignCenter);
        avviso_ = AdattaDialogo::nuovoAvviso(this);
        auto *pulsanti = AdattaDialogo::okAnnulla(this);
        connect(pulsanti, &QDialogButtonBox::accepted, this, &SceltaContrassegno::accept);
        auto *modulo = new QFormLayout(this);
        auto *e1 = new QLabel(QStringLiteral("&Figura:"), this);
        e1->setBuddy(figure_);
        auto *e2 = new QLabel(QStringLiteral("&Colore:"), this);
        e2->setBuddy(colori_);
        modulo->addRow(e1, figure_);
        modulo->addRow(e2, colori_);
        modulo->addRow(QStringLiteral("Come lo vedrà:"), anteprima_);
        modulo->addRow(avviso_);
        modulo->addRow(pulsanti);
        connect(figure_, &QComboBox::currentIndexChanged, this, &SceltaContrassegno::aggiorna);
        connect(colori_, &QComboBox::currentIndexChanged, this, &SceltaContrassegno::aggiorna);
        aggiorna();
        AdattaDialogo::adatta(this);
    }

    Contrassegno scelto() const { return {figure_->currentData().toInt(), colori_->currentData().toInt()}; }

    // A contrassegno refused (another pupil's) leaves the dialog open with the reason.
    void accept() override
    {
        const QString errore = prova_(scelto());
        if (errore.isEmpty()) {
            QDialog::accept();
            return;
        }
        AdattaDialogo::avvisa(avviso_, AdattaDialogo::frase(errore));
        figure_->setFocus();
    }

private:
    void aggiorna()
    {
        const Contrassegno c = scelto();
        anteprima_->setPixmap(AspettoContrassegno::pixmap(c.figura, c.colore, QSize(112, 112), devicePixelRatioF()));
        anteprima_->setAccessibleName(AspettoContrassegno::descrizione(c.figura, Contrassegno::nomeColore(c.colore)));
    }

    std::function<QString(Contrassegno)> prova_;
    QComboBox *figure_ = nullptr;
    QComboBox *colori_ = nullptr;
    QLabel *anteprima_ = nullptr;
    QLabel *avviso_ = nullptr;
};

} // namespace

FrmClassi::FrmClassi(Registro &registro, QWidget *genitore) : QDialog(genitore), registro_(registro)
{
    setWindowTitle(QStringLiteral("Classi e alunni"));
    classi_ = new QListWidget(this);
    classi_->setAccessibleName(QStringLiteral("Classi"));
    alunni_ = new QListWidget(this);
    alunni_->setAccessibleName(QStringLiteral("Alunni della classe"));
    alunni_->setIconSize(lato);

    auto *gruppoClassi = new QGroupBox(QStringLiteral("Classi"), this);
    auto *colonnaClassi = new QVBoxLayout(gruppoClassi);
    colonnaClassi->addWidget(classi_, 1);
    connect(pulsante(QStringLiteral("&Nuova classe…"), this, colonnaClassi), &QPushButton::clicked, this,
            &FrmClassi::nuovaClasse);
    perClasse_ << pulsante(QStringLiteral("Rinomina &la classe…"), this, colonnaClassi);
    connect(perClasse_.back(), &QPushButton::clicked, this, &FrmClassi::rinominaClasse);
    archivia_ = pulsante(QStringLiteral("Archi&via la classe"), this, colonnaClassi);
    perClasse_ << archivia_;
    connect(archivia_, &QPushButton::clicked, this, &FrmClassi::archiviaClasse);
    perClasse_ << pulsante(QStringLiteral("Livello della class&e…"), this, colonnaClassi);
    connect(perClasse_.back(), &QPushButton::clicked, this, &FrmClassi::livelloClasse);
    // On the lab's server each class is seen only by its teachers, who can add a colleague.
    if (registro_.teamDocenti()) {
        perClasse_ << pulsante(QStringLiteral("Insegnan&ti della classe…"), this, colonnaClassi);
        connect(perClasse_.back(), &QPushButton::clicked, this, &FrmClassi::affidaClasse);
    }

    auto *gruppoAlunni = new QGroupBox(QStringLiteral("Alunni"), this);
    auto *colonnaAlunni = new QHBoxLayout(gruppoAlunni);
    colonnaAlunni->addWidget(alunni_, 1);
    auto *azioni = new QVBoxLayout;
    perClasse_ << pulsante(QStringLiteral("&Aggiungi un alunno…"), this, azioni);
    connect(perClasse_.back(), &QPushButton::clicked, this, &FrmClassi::nuovoAlunno);
    perAlunno_ << pulsante(QStringLiteral("&Rinomina l'alunno…"), this, azioni);
    connect(perAlunno_.back(), &QPushButton::clicked, this, &FrmClassi::rinominaAlunno);
    perAlunno_ << pulsante(QStringLiteral("&Contrassegno…"), this, azioni);
    connect(perAlunno_.back(), &QPushButton::clicked, this, &FrmClassi::scegliContrassegno);
    perAlunno_ << pulsante(QStringLiteral("Livello dell'al&unno…"), this, azioni);
    connect(perAlunno_.back(), &QPushButton::clicked, this, &FrmClassi::livelloAlunno);
    perAlunno_ << pulsante(QStringLiteral("&Sposta in un'altra classe…"), this, azioni);
    connect(perAlunno_.back(), &QPushButton::clicked, this, &FrmClassi::spostaAlunno);
    perAlunno_ << pulsante(QStringLiteral("Ri&muovi l'alunno…"), this, azioni);
    connect(perAlunno_.back(), &QPushButton::clicked, this, &FrmClassi::rimuoviAlunno);
    perClasse_ << pulsante(QStringLiteral("&Importa un elenco CSV…"), this, azioni);
    connect(perClasse_.back(), &QPushButton::clicked, this, [this] { importaCsv(); });
    azioni->addStretch(1);
    colonnaAlunni->addLayout(azioni);

    auto *chiudi = new QDialogButtonBox(QDialogButtonBox::Close, this);
    chiudi->button(QDialogButtonBox::Close)->setText(QStringLiteral("C&hiudi"));
    chiudi->button(QDialogButtonBox::Close)->setAutoDefault(false);
    connect(chiudi, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *griglia = new QGridLayout(this);
    griglia->addWidget(gruppoClassi, 0, 0);
    griglia->addWidget(gruppoAlunni, 0, 1);
    griglia->setColumnStretch(1, 2);
    griglia->addWidget(chiudi, 1, 0, 1, 2);

    connect(classi_, &QListWidget::currentRowChanged, this, [this] { aggiornaAlunni(); });
    connect(alunni_, &QListWidget::itemActivated, this, &FrmClassi::scegliContrassegno);
    connect(alunni_, &QListWidget::currentRowChanged, this, &FrmClassi::aggiornaPulsanti);
    aggiornaClassi();
    resize(820, 480);
    AdattaDialogo::adatta(this);
}

QString FrmClassi::classeScelta() const
{
    const int r = classi_->currentRow();
    return r >= 0 && r < elencoClassi_.size() ? elencoClassi_[r].id : QString();
}

const Alunno *FrmClassi::alunnoScelto() const
{
    const int r = alunni_->currentRow();
    return r >= 0 && r < elencoAlunni_.size() ? &elencoAlunni_[r] : nullptr;
}

void FrmClassi::aggiornaClassi(const QString &scelta)
{
    const QString prima = scelta.isEmpty() ? classeScelta() : scelta;
    elencoClassi_ = registro_.classi(true);
    const QSignalBlocker blocco(classi_);
    classi_->clear();
    int corrente = 0;
    for (int i = 0; i < elencoClassi_.size(); ++i) {
        const Classe &c = elencoClassi_[i];
        QString testo = c.archiviata ? QStringLiteral("%1 (archiviata)").arg(c.nome) : c.nome;
        if (c.livello.impostata())
            testo += QStringLiteral(" — ") + c.livello.testo();
        classi_->addItem(testo);
        if (c.id == prima)
            corrente = i;
    }
    classi_->setCurrentRow(elencoClassi_.isEmpty() ? -1 : corrente);
    aggiornaAlunni();
}

void FrmClassi::aggiornaAlunni(const QString &scelta)
{
    const int r = classi_->currentRow();
    const bool archiviata = r >= 0 && r < elencoClassi_.size() && elencoClassi_[r].archiviata;
    archivia_->setText(archiviata ? QStringLiteral("Ri&pristina la classe") : QStringLiteral("Archi&via la classe"));
    const QString prima = scelta.isEmpty() && alunnoScelto() ? alunnoScelto()->id : scelta;
    elencoAlunni_ = classeScelta().isEmpty() ? QList<Alunno>() : registro_.alunni(classeScelta());
    alunni_->clear();
    int corrente = 0;
    for (int i = 0; i < elencoAlunni_.size(); ++i) {
        const Alunno &a = elencoAlunni_[i];
        const Contrassegno &c = a.contrassegno;
        const QString descrizione = AspettoContrassegno::descrizione(c.figura, Contrassegno::nomeColore(c.colore));
        // A pupil without a level of their own follows the class's, shown beside the class.
        const QString livello = a.livello.impostata() ? a.livello.testo() : QString();
        auto *voce =
            new QListWidgetItem(QIcon(AspettoContrassegno::pixmap(c.figura, c.colore, lato)),
                                livello.isEmpty() ? QStringLiteral("%1 — %2").arg(a.nome, descrizione)
                                                  : QStringLiteral("%1 — %2 — %3").arg(a.nome, descrizione, livello),
                                alunni_);
        voce->setData(Qt::AccessibleTextRole, livello.isEmpty()
                                                  ? QStringLiteral("%1, %2").arg(a.nome, descrizione)
                                                  : QStringLiteral("%1, %2, %3").arg(a.nome, descrizione, livello));
        if (a.id == prima)
            corrente = i;
    }
    alunni_->setCurrentRow(elencoAlunni_.isEmpty() ? -1 : corrente);
    aggiornaPulsanti();
}

void FrmClassi::aggiornaPulsanti()
{
    const bool classe = !classeScelta().isEmpty();
    for (QPushButton *p : std::as_const(perClasse_))
        p->setEnabled(classe);
    for (QPushButton *p : std::as_const(perAlunno_))
        p->setEnabled(classe && alunnoScelto());
}

bool FrmClassi::chiedi(const QString &titolo, const QString &etichetta, const QString &testo,
                       const std::function<QString(const QString &)> &prova)
{
    DomandaNome domanda(titolo, etichetta, testo, prova, this);
    return domanda.exec() == QDialog::Accepted;
}

QString FrmClassi::rifiuto(bool riuscito) const
{
    return riuscito ? QString() : AdattaDialogo::frase(registro_.errore());
}

void FrmClassi::esito(bool riuscito)
{
    if (!riuscito) {
        Messaggio::mostra(rifiuto(false));
        return;
    }
    emit cambiato();
}

void FrmClassi::nuovaClasse()
{
    QString nuova;
    if (!chiedi(QStringLiteral("Nuova classe"), QStringLiteral("Nome della classe (per esempio «2ª B 2026/27»):"), {},
                [&](const QString &nome) {
                    const auto classe = registro_.creaClasse(nome);
                    if (classe)
                        nuova = classe->id;
                    return rifiuto(classe.has_value());
                }))
        return;
    emit cambiato();
    aggiornaClassi(nuova);
}

void FrmClassi::rinominaClasse()
{
    const int r = classi_->currentRow();
    if (r < 0 || r >= elencoClassi_.size())
        return;
    const QString id = elencoClassi_[r].id;
    if (!chiedi(QStringLiteral("Rinomina la classe"), QStringLiteral("Nuovo nome:"), elencoClassi_[r].nome,
                [&](const QString &nome) { return rifiuto(registro_.rinominaClasse(id, nome)); }))
        return;
    emit cambiato();
    aggiornaClassi();
}

void FrmClassi::archiviaClasse()
{
    const int r = classi_->currentRow();
    if (r < 0 || r >= elencoClassi_.size())
        return;
    // An archived class keeps its pupils and results; it only leaves "Chi sei?".
    esito(registro_.archiviaClasse(elencoClassi_[r].id, !elencoClassi_[r].archiviata));
    aggiornaClassi();
}

void FrmClassi::affidaClasse()
{
    const int r = classi_->currentRow();
    if (r < 0 || r >= elencoClassi_.size())
        return;
    const Classe classe = elencoClassi_[r];
    const std::optional<QStringList> insegnanti = registro_.insegnanti(classe.id);
    if (!insegnanti) {
        esito(false);
        return;
    }
    if (chiedi(QStringLiteral("Insegnanti della classe"),
               QStringLiteral("La classe %1 è di: %2.\nPer affidarla anche a una collega, il suo nome di accesso al "
                              "server:")
                   .arg(classe.nome, insegnanti->isEmpty() ? QStringLiteral("nessuna insegnante")
                                                           : insegnanti->join(QStringLiteral(", "))),
               {}, [&](const QString &login) { return rifiuto(registro_.aggiungiInsegnante(classe.id, login)); }))
        emit cambiato();
}

void FrmClassi::nuovoAlunno()
{
    const QString classe = classeScelta();
    if (classe.isEmpty())
        return;
    QString nuovo;
    if (!chiedi(QStringLiteral("Nuovo alunno"), QStringLiteral("Nome dell'alunno:"), {}, [&](const QString &nome) {
            QList<Alunno> nuovi{{{}, classe, nome, {}}};
            const bool riuscito = registro_.aggiungiAlunni(classe, nuovi);
            if (riuscito)
                nuovo = nuovi.first().id;
            return rifiuto(riuscito);
        }))
        return;
    emit cambiato();
    aggiornaAlunni(nuovo);
}

void FrmClassi::importaCsv(const QString &file)
{
    const int r = classi_->currentRow();
    if (r < 0 || r >= elencoClassi_.size()) {
        Messaggio::mostra(QStringLiteral("Scegliere prima la classe in cui importare gli alunni."));
        return;
    }
    const QString scelto = !file.isEmpty()
                               ? file
                               : QFileDialog::getOpenFileName(this, QStringLiteral("Importa un elenco di alunni"), {},
                                                              QStringLiteral("Elenco CSV (*.csv);;Tutti i file (*)"));
    if (scelto.isEmpty())
        return;
    QString motivo;
    int importati = 0;
    const auto classe =
        CsvAlunni::importa(registro_, elencoClassi_[r].nome, scelto, NomiFigure::numeroDi, &importati, &motivo);
    if (!classe) {
        if (!motivo.isEmpty())
            motivo[0] = motivo[0].toUpper();
        Messaggio::mostra(motivo);
        return;
    }
    Messaggio::mostra(importati == 1
                          ? QStringLiteral("1 alunno importato nella classe «%1».").arg(classe->nome)
                          : QStringLiteral("%1 alunni importati nella classe «%2».").arg(importati).arg(classe->nome));
    emit cambiato();
    aggiornaAlunni();
}

void FrmClassi::rinominaAlunno()
{
    const Alunno *scelto = alunnoScelto();
    if (!scelto)
        return;
    Alunno alunno = *scelto;
    if (!chiedi(QStringLiteral("Rinomina l'alunno"), QStringLiteral("Nuovo nome:"), alunno.nome,
                [&](const QString &nome) {
                    Alunno rinominato = alunno;
                    rinominato.nome = nome;
                    return rifiuto(registro_.modificaAlunno(rinominato));
                }))
        return;
    emit cambiato();
    aggiornaAlunni(alunno.id);
}

void FrmClassi::spostaAlunno()
{
    const Alunno *scelto = alunnoScelto();
    if (!scelto)
        return;
    Alunno alunno = *scelto;
    QStringList nomi;
    QList<Classe> altre;
    for (const Classe &c : elencoClassi_)
        if (c.id != alunno.classe && !c.archiviata) {
            nomi << c.nome;
            altre << c;
        }
    if (altre.isEmpty()) {
        Messaggio::mostra(QStringLiteral("Non c'è un'altra classe in cui spostare %1.").arg(alunno.nome));
        return;
    }
    bool ok = false;
    const QString nome =
        QInputDialog::getItem(this, QStringLiteral("Sposta l'alunno"),
                              QStringLiteral("Spostare %1 nella classe:").arg(alunno.nome), nomi, 0, false, &ok);
    if (!ok)
        return;
    alunno.classe = altre[int(nomi.indexOf(nome))].id;
    esito(registro_.modificaAlunno(alunno));
    aggiornaAlunni();
}

void FrmClassi::scegliContrassegno()
{
    const Alunno *scelto = alunnoScelto();
    if (!scelto)
        return;
    const Alunno alunno = *scelto;
    SceltaContrassegno scelta(
        alunno,
        [&](Contrassegno contrassegno) {
            if (contrassegno == alunno.contrassegno)
                return QString();
            Alunno nuovo = alunno;
            nuovo.contrassegno = contrassegno;
            return rifiuto(registro_.modificaAlunno(nuovo));
        },
        this);
    if (scelta.exec() != QDialog::Accepted || scelta.scelto() == alunno.contrassegno)
        return;
    emit cambiato();
    aggiornaAlunni(alunno.id);
}

void FrmClassi::rimuoviAlunno()
{
    const Alunno *scelto = alunnoScelto();
    if (!scelto)
        return;
    const Alunno alunno = *scelto;
    Registro::Filtro filtro;
    filtro.alunno = alunno.id;
    int conteggio = 0;
    registro_.risultati(filtro, [&](const Registro::RigaRisultato &) { ++conteggio; });
    if (!Messaggio::conferma(this, windowTitle(),
                             QStringLiteral("Rimuovere %1 dal registro, con tutti i suoi %2 risultati? Non si potranno "
                                            "recuperare.")
                                 .arg(alunno.nome)
                                 .arg(conteggio),
                             QStringLiteral("Sì, rimuovi")))
        return;
    esito(registro_.cancellaAlunno(alunno.id).has_value());
    aggiornaAlunni();
}

void FrmClassi::livelloClasse()
{
    const int r = classi_->currentRow();
    if (r < 0 || r >= elencoClassi_.size())
        return;
    const Classe classe = elencoClassi_[r];
    SceltaLivello scelta(
        QStringLiteral("della classe %1").arg(classe.nome), classe.livello, std::nullopt,
        [&](const ImpostazioneLivello &l) { return rifiuto(registro_.impostaLivello(classe.id, {}, l)); }, this);
    if (scelta.exec() != QDialog::Accepted || scelta.scelta() == classe.livello)
        return;
    emit cambiato();
    aggiornaClassi();
}

void FrmClassi::livelloAlunno()
{
    const Alunno *scelto = alunnoScelto();
    const int r = classi_->currentRow();
    if (!scelto || r < 0 || r >= elencoClassi_.size())
        return;
    const Alunno alunno = *scelto;
    SceltaLivello scelta(
        QStringLiteral("di %1").arg(alunno.nome), alunno.livello, elencoClassi_[r].livello,
        [&](const ImpostazioneLivello &l) { return rifiuto(registro_.impostaLivello(alunno.classe, alunno.id, l)); },
        this);
    if (scelta.exec() != QDialog::Accepted || scelta.scelta() == alunno.livello)
        return;
    emit cambiato();
    aggiornaAlunni(alunno.id);
}
