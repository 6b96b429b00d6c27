#include "FrmRegistro.h"

#include "insegnante/AccessoInsegnante.h"
#include "insegnante/AdattaDialogo.h"
#include "insegnante/Conservazione.h"
#include "insegnante/EsportaCsv.h"
#include "insegnante/FrmAndamento.h"
#include "insegnante/FrmClassi.h"
#include "insegnante/Informativa.h"
#include "insegnante/PdfInsegnante.h"
#include "insegnante/RapportiRegistro.h"
#include "printing/SuperficieStampa.h"
#include "printing/frmStampante.h"
#include "registro/LettoreSfondo.h"
#include "registro/Registro.h"
#include "registro/RegistroCorrente.h"
#include "registro/RegistroServer.h"
#include "ui/Messaggio.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString problemaDiStampa = QStringLiteral("Problema di stampa nella stampante utilizzata.");

// Sorts by the model's values: numbers as numbers, dates as dates, and a pupil
// with nothing to show (no value, or no exercise in the period) after every
// figure whichever way the column is sorted; by name, everyone in order.
class OrdineValori : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex &a, const QModelIndex &b) const override
    {
        const QVariant va = a.data(ModelloClasse::ruoloValore);
        const QVariant vb = b.data(ModelloClasse::ruoloValore);
        const bool discendente = sortOrder() == Qt::DescendingOrder;
        // A figure first, then a pupil who practised without one here, then one who did not practise.
        const auto rango = [](const QModelIndex &i, const QVariant &v) {
            if (i.column() != ModelloClasse::Alunno && i.column() != ModelloClasse::Livello &&
                i.data(ModelloClasse::ruoloInattivo).toBool())
                return 2;
            return v.isValid() ? 0 : 1;
        };
        if (rango(a, va) != rango(b, vb))
            return (rango(a, va) < rango(b, vb)) != discendente;
        const int confronto = QVariant::compare(va, vb) == QPartialOrdering::Less      ? -1
                              : QVariant::compare(va, vb) == QPartialOrdering::Greater ? 1
                                                                                       : 0;
        if (confronto != 0)
            return confronto < 0;
        // Ties keep the model's order both ways (the view reverses what it is told when descending).
        return (a.row() < b.row()) != discendente;
    }
};

QLabel *etichetta(const QString &testo, QWidget *compagno, QWidget *genitore)
{
    auto *e = new QLabel(testo, genitore);
    e->setBuddy(compagno);
    return e;
}

} // namespace

FrmRegistro::FrmRegistro(Registro &registro, QWidget *genitore)
    : QMainWindow(genitore), registro_(registro), oggi_(Riepilogo::oggi())
{
    setWindowTitle(QStringLiteral("Registro della classe"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *centro = new QWidget(this);
    classi_ = new QComboBox(centro);
    classi_->setAccessibleName(QStringLiteral("Classe"));
    periodi_ = new QComboBox(centro);
    periodi_->setAccessibleName(QStringLiteral("Periodo"));
    periodi_->addItem(QStringLiteral("Questa settimana"), int(Scelta::Settimana));
    periodi_->addItem(QStringLiteral("Questo mese"), int(Scelta::Mese));
    periodi_->addItem(QStringLiteral("L'anno scolastico"), int(Scelta::Anno));
    periodi_->addItem(QStringLiteral("Dal… al…"), int(Scelta::Intervallo));
    dal_ = new QDateEdit(centro);
    al_ = new QDateEdit(centro);
    for (QDateEdit *d : {dal_, al_}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    }
    dal_->setAccessibleName(QStringLiteral("Dal giorno"));
    al_->setAccessibleName(QStringLiteral("Al giorno"));
    tipi_ = new QComboBox(centro);
    tipi_->setAccessibleName(QStringLiteral("Esercizio"));
    tipi_->addItem(QStringLiteral("Tutti gli esercizi"), -1);
    for (int t = 0; t < Riepilogo::tipi; ++t)
        tipi_->addItem(Riepilogo::nomeTipo(t), t);

    modello_ = new ModelloClasse(this);
    ordine_ = new OrdineValori(this);
    ordine_->setSourceModel(modello_);
    tabella_ = new QTableView(centro);
    tabella_->setModel(ordine_);
    tabella_->setAccessibleName(QStringLiteral("La classe: una riga per alunno"));
    tabella_->setAccessibleDescription(
        QStringLiteral("Invio o doppio clic su un alunno apre il suo andamento. Gli alunni senza esercizi nel "
                       "periodo sono in grassetto corsivo, con «nessun esercizio»."));
    tabella_->setSortingEnabled(true);
    tabella_->sortByColumn(ModelloClasse::Alunno, Qt::AscendingOrder);
    tabella_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabella_->setSelectionMode(QAbstractItemView::SingleSelection);
    tabella_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabella_->setTabKeyNavigation(false);
    tabella_->setAlternatingRowColors(true);
    tabella_->verticalHeader()->hide();
    tabella_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tabella_->horizontalHeader()->setStretchLastSection(true);
    // Shown once levels tell the class's pupils apart.
    tabella_->setColumnHidden(ModelloClasse::Livello, true);
    connect(tabella_, &QTableView::activated, this,
            [this](const QModelIndex &indice) { apriAndamento(ordine_->mapToSource(indice).row()); });

    stato_ = new QLabel(centro);
    stato_->setTextFormat(Qt::PlainText); // names and server messages, never markup
    stato_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    dove_ = new QLabel(QStringLiteral("I dati sono in: %1").arg(registro_.descrizione()), centro);
    dove_->setTextFormat(Qt::PlainText);
    dove_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    dove_->setWordWrap(true);
    attesa_ = new QLabel(centro);
    attesa_->setTextFormat(Qt::PlainText); // names and server messages, never markup
    attesa_->setWordWrap(true);
    attesa_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    attesa_->hide();

    auto *filtri = new QHBoxLayout;
    filtri->addWidget(etichetta(QStringLiteral("&Classe:"), classi_, centro));
    filtri->addWidget(classi_, 2);
    filtri->addSpacing(12);
    filtri->addWidget(etichetta(QStringLiteral("&Periodo:"), periodi_, centro));
    filtri->addWidget(periodi_, 1);
    filtri->addWidget(etichetta(QStringLiteral("&dal"), dal_, centro));
    filtri->addWidget(dal_);
    filtri->addWidget(etichetta(QStringLiteral("&al"), al_, centro));
    filtri->addWidget(al_);
    filtri->addSpacing(12);
    filtri->addWidget(etichetta(QStringLiteral("&Esercizio:"), tipi_, centro));
    filtri->addWidget(tipi_, 1);
    auto *disposizione = new QVBoxLayout(centro);
    disposizione->addLayout(filtri);
    disposizione->addWidget(tabella_, 1);
    disposizione->addWidget(stato_);
    disposizione->addWidget(dove_);
    disposizione->addWidget(attesa_);
    setCentralWidget(centro);

    costruisciMenu();
    if (Registro::Fabbrica fabbrica = registro_.fabbricaLettore())
        lettore_ = std::make_unique<LettoreSfondo>(std::move(fabbrica));
    // On the lab's server even the list of classes costs a connection: it is read with the figures.
    if (lettore_)
        chiediClassi();
    else
        aggiornaClassi();
    cambiaPeriodo();
    connect(classi_, &QComboBox::currentIndexChanged, this, &FrmRegistro::aggiorna);
    connect(periodi_, &QComboBox::currentIndexChanged, this, &FrmRegistro::cambiaPeriodo);
    connect(tipi_, &QComboBox::currentIndexChanged, this, &FrmRegistro::aggiorna);
    connect(dal_, &QDateEdit::dateChanged, this, &FrmRegistro::aggiorna);
    connect(al_, &QDateEdit::dateChanged, this, &FrmRegistro::aggiorna);
    resize(1000, 640);
}

FrmRegistro::~FrmRegistro()
{
    // A read still running answers to this window: it ends first, without starting on the rest of the year.
    lettore_.reset();
}

void FrmRegistro::apriConAccesso(QWidget *genitore)
{
    // One teacher's window at a time: a second choice of the menu brings it forward.
    static QPointer<FrmRegistro> aperta;
    if (aperta) {
        aperta->raise();
        aperta->activateWindow();
        return;
    }
    // The program's register, or (with no class yet) the one the first class will make.
    std::unique_ptr<Registro> proprio;
    Registro *registro = RegistroCorrente::registro();
    if (!registro) {
        proprio = Registro::apri();
        registro = proprio.get();
    }
    if (auto *server = dynamic_cast<RegistroServer *>(registro)) {
        // The teacher's own login: the pupils' PC's reads classes and writes results, nothing more.
        AccessoServer accesso(server->conninfo(), genitore);
        if (accesso.exec() != QDialog::Accepted)
            return;
        std::unique_ptr<Registro> insegnante = accesso.registro();
        auto *finestra = new FrmRegistro(*insegnante);
        finestra->proprio_ = std::move(insegnante);
        finestra->impostaPostaPc(server);
        aperta = finestra;
        finestra->show();
        QTimer::singleShot(0, finestra, &FrmRegistro::offriCancellazione);
        return;
    }
    PasswordInsegnante password(PasswordInsegnante::fileAccanto(registro->fileLocale()));
    // Only an empty register lets whoever comes first choose the password: one that holds classes
    // (made by an older version, or unreadable now) has its password set by its owner.
    if (!password.impostata() && (!registro->classi(true).isEmpty() || !registro->errore().isEmpty())) {
        Messaggio::mostra(PasswordInsegnante::comeSceglierla(registro->fileLocale()));
        return;
    }
    AccessoInsegnante accesso(password, genitore);
    if (accesso.exec() != QDialog::Accepted)
        return;
    auto *finestra = new FrmRegistro(*registro);
    finestra->proprio_ = std::move(proprio);
    aperta = finestra;
    finestra->show();
    QTimer::singleShot(0, finestra, &FrmRegistro::offriCancellazione);
}

void FrmRegistro::costruisciMenu()
{
    QMenu *registro = menuBar()->addMenu(QStringLiteral("&Registro"));
    registro->addAction(QStringLiteral("&Stampa il riepilogo della classe"), QKeySequence::Print, this,
                        [this] { stampaRiepilogo(); });
    registro->addAction(QStringLiteral("Salva il riepilogo in &PDF…"), this, [this] {
        const QString file = PdfInsegnante::chiedi(this, QStringLiteral("Salva il riepilogo in PDF"),
                                                   nomeRiepilogo(classi_->currentText()));
        if (!file.isEmpty())
            stampaRiepilogo(file);
    });
    registro->addSeparator();
    registro->addAction(QStringLiteral("Stampa l'&informativa per le famiglie"), this, [this] { stampaInformativa(); });
    registro->addAction(QStringLiteral("Salva l'informativa per le famiglie in P&DF…"), this, [this] {
        const QString file = PdfInsegnante::chiedi(this, QStringLiteral("Salva l'informativa in PDF"),
                                                   Informativa::nomeFile(classi_->currentText()));
        if (!file.isEmpty())
            stampaInformativa(file);
    });
    registro->addSeparator();
    registro->addAction(QStringLiteral("&Esporta i risultati del periodo in CSV…"), this, [this] {
        Registro::Filtro filtro;
        filtro.classe = classe();
        filtro.dal = periodo().dal;
        filtro.al = periodo().al;
        filtro.tipo = tipo();
        esportaCsv(filtro, classi_->currentText());
    });
    registro->addAction(QStringLiteral("Scegli la s&tampante…"), this, [] { frmStampante::istanza().mostraModale(); });
    registro->addSeparator();
    registro->addAction(QStringLiteral("&Aggiorna"), QKeySequence::Refresh, this, &FrmRegistro::ricarica);
    registro->addSeparator();
    registro->addAction(QStringLiteral("&Chiudi"), QKeySequence::Close, this, &QWidget::close);

    QMenu *classi = menuClassi_ = menuBar()->addMenu(QStringLiteral("C&lassi"));
    classiEAlunni_ = classi->addAction(QStringLiteral("&Classi e alunni…"), this, [this] {
        FrmClassi finestra(registro_, this);
        connect(&finestra, &FrmClassi::cambiato, this, &FrmRegistro::ricarica);
        finestra.exec();
        ricarica();
    });

    QMenu *dati = menuBar()->addMenu(QStringLiteral("Da&ti"));
    dati->addAction(QStringLiteral("&Andamento dell'alunno"), this, [this] {
        if (const auto r = rigaScelta())
            apriAndamento(*r);
    });
    dati->addAction(QStringLiteral("&Esporta tutti i risultati dell'alunno in CSV…"), this, [this] {
        const auto r = rigaScelta();
        if (!r) {
            Messaggio::mostra(QStringLiteral("Scegliere prima un alunno nella tabella."));
            return;
        }
        Registro::Filtro filtro;
        filtro.alunno = modello_->righe().at(*r).alunno.id;
        esportaCsv(filtro, modello_->righe().at(*r).alunno.nome);
    });
    dati->addAction(QStringLiteral("Salva tutti i dati dell'alunno in P&DF…"), this, [this] {
        const auto r = rigaScelta();
        if (!r) {
            Messaggio::mostra(QStringLiteral("Scegliere prima un alunno nella tabella."));
            return;
        }
        const QString file =
            PdfInsegnante::chiedi(this, QStringLiteral("Salva i dati dell'alunno in PDF"),
                                  RapportiRegistro::nomeFileDati(modello_->righe().at(*r).alunno.nome));
        if (!file.isEmpty())
            stampaDatiAlunno(*r, file);
    });
    dati->addSeparator();
    dati->addAction(QStringLiteral("Cancella l'al&unno e i suoi risultati…"), this, &FrmRegistro::cancellaAlunno);
    dati->addAction(QStringLiteral("Cancella i risultati &prima di una data…"), this, &FrmRegistro::cancellaVecchi);
    dati->addAction(QStringLiteral("Per &quanto tempo conservare i risultati…"), this,
                    &FrmRegistro::cambiaConservazione);
}

void FrmRegistro::esportaCsv(const Registro::Filtro &filtro, const QString &nome)
{
    const QString file = QFileDialog::getSaveFileName(
        this, QStringLiteral("Esporta i risultati"),
        QDir::home().filePath(QStringLiteral("risultati %1.csv").arg(QString(nome).replace(QLatin1Char('/'), '-'))),
        QStringLiteral("CSV (*.csv)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty())
        return;
    QString errore;
    if (const auto quanti = EsportaCsv::esporta(registro_, filtro, file, &errore))
        Messaggio::mostra(
            QStringLiteral("%1 risultati esportati nel file\n%2").arg(*quanti).arg(QDir::toNativeSeparators(file)));
    else
        Messaggio::mostra(errore);
}

void FrmRegistro::impostaOggi(QDate giorno)
{
    oggi_ = giorno;
    dimentica();
    cambiaPeriodo();
}

QString FrmRegistro::nessunaClasse() const
{
    // Where to begin, with the keys that lead there: the menu's and the item's mnemonics.
    const auto tasto = [](const QString &testo) {
        const qsizetype e = testo.indexOf(QLatin1Char('&'));
        return e >= 0 && e + 1 < testo.size() ? testo.at(e + 1).toUpper() : QChar();
    };
    const QString voceMenu = menuClassi_->title();
    return QStringLiteral("Nessuna classe nel registro. Per crearne una: menu «%1», «%2» (Alt+%3, poi %4), poi "
                          "«Nuova classe…».")
        .arg(QString(voceMenu).remove(QLatin1Char('&')), QString(classiEAlunni_->text()).remove(QLatin1Char('&')))
        .arg(tasto(voceMenu))
        .arg(tasto(classiEAlunni_->text()));
}

void FrmRegistro::dimentica()
{
    dati_.reset();
    leggendo_ = false;
    ++generazione_;
}

QString FrmRegistro::classe() const { return classi_->currentData().toString(); }

int FrmRegistro::tipo() const { return tipi_->currentData().toInt(); }

Riepilogo::Periodo FrmRegistro::periodo() const
{
    switch (Scelta(periodi_->currentData().toInt())) {
    case Scelta::Settimana:
        return Riepilogo::Periodo::settimana(oggi_);
    case Scelta::Mese:
        return Riepilogo::Periodo::mese(oggi_);
    case Scelta::Anno:
        return Riepilogo::Periodo::annoScolastico(oggi_);
    case Scelta::Intervallo:
        break;
    }
    return {dal_->date(), al_->date()};
}

void FrmRegistro::aggiornaClassi() { mostraClassi(registro_.classi()); }

void FrmRegistro::chiediClassi()
{
    classiInArrivo_ = true;
    classiFallite_ = false;
    stato_->setText(QStringLiteral("Lettura del registro…"));
    lettore_->accoda([this](Registro &registro) {
        const QList<Classe> classi = registro.classi();
        const QString errore = registro.errore();
        QMetaObject::invokeMethod(
            this,
            [this, classi, errore] {
                classiInArrivo_ = false;
                mostraClassi(classi);
                if (classi.isEmpty() && !errore.isEmpty()) {
                    // Asked again at the next change of period.
                    classiFallite_ = true;
                    modello_->imposta({});
                    mostraErrore(errore);
                    return;
                }
                aggiorna();
            },
            Qt::QueuedConnection);
    });
}

void FrmRegistro::mostraClassi(const QList<Classe> &classi)
{
    const QString prima = classe();
    const QSignalBlocker blocco(classi_);
    classi_->clear();
    for (const Classe &c : classi)
        classi_->addItem(c.nome, c.id);
    const int indice = classi_->findData(prima);
    classi_->setCurrentIndex(indice >= 0 ? indice : 0);
}

void FrmRegistro::cambiaPeriodo()
{
    const bool libero = Scelta(periodi_->currentData().toInt()) == Scelta::Intervallo;
    if (!libero) {
        const Riepilogo::Periodo p = periodo();
        const QSignalBlocker b1(dal_), b2(al_);
        dal_->setDate(p.dal);
        al_->setDate(p.al);
    }
    dal_->setEnabled(libero);
    al_->setEnabled(libero);
    aggiorna();
}

void FrmRegistro::impostaPostaPc(Registro *registro)
{
    postaPc_ = registro;
    contaAttesa();
}

void FrmRegistro::contaAttesa()
{
    if (!postaPc_)
        return;
    const int n = postaPc_->inAttesa();
    QString motivo = n > 0 ? postaPc_->motivoAttesa() : QString();
    if (!motivo.isEmpty())
        motivo = QStringLiteral(" Il motivo: ") + motivo;
    attesa_->setText((n == 0   ? QStringLiteral("Nessun risultato in attesa su questo PC: tutti sono sul server.")
                      : n == 1 ? QStringLiteral("1 risultato in attesa su questo PC: arriverà al server appena "
                                                "risponde.")
                               : QStringLiteral("%1 risultati in attesa su questo PC: arriveranno al server appena "
                                                "risponde.")
                                     .arg(n)) +
                     motivo);
    attesa_->show();
}

void FrmRegistro::ricarica()
{
    contaAttesa();
    dimentica();
    aggiornaClassi();
    aggiorna();
}

void FrmRegistro::aggiorna()
{
    const Riepilogo::Periodo p = periodo();
    if (classiInArrivo_) {
        modello_->imposta({});
        stato_->setText(QStringLiteral("Lettura del registro…"));
        return;
    }
    if (classe().isEmpty() && classiFallite_ && lettore_) {
        chiediClassi();
        return;
    }
    if (classe().isEmpty()) {
        modello_->imposta({});
        stato_->setText(nessunaClasse());
        return;
    }
    // One load covers the whole school year (and the chosen days): any later
    // change of period or kind within it is counted in memory.
    if (!dati_ || classeCaricata_ != classe() || !dati_->copre(p)) {
        if (leggendo_ && classeInLettura_ == classe() && inLettura_.copre(p)) {
            // On its way: shown as it comes.
            modello_->imposta({});
            stato_->setText(QStringLiteral("Lettura del registro…"));
            return;
        }
        const Riepilogo::Periodo anno = Riepilogo::Periodo::annoScolastico(oggi_);
        const Riepilogo::Periodo carico{std::min(anno.dal, p.dal), std::max(anno.al, p.al)};
        ++generazione_;
        if (!sincrona_ && lettore_) {
            leggi(p, carico);
            return;
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        auto dati = Riepilogo::DatiClasse::carica(registro_, classe(), carico);
        QApplication::restoreOverrideCursor();
        leggendo_ = false;
        caricati(classe(), std::move(dati), registro_.errore());
        return;
    }
    const QList<Riepilogo::RigaAlunno> righe = dati_->righe(p, tipo());
    modello_->imposta(righe);
    tabella_->setColumnHidden(ModelloClasse::Livello, !ModelloClasse::livelliInUso(righe));
    const auto assenti = std::count_if(righe.begin(), righe.end(), [](const auto &r) { return r.esercizi == 0; });
    QString testo = (righe.size() == 1 ? QStringLiteral("1 alunno; %2 senza esercizi %3.")
                                       : QStringLiteral("%1 alunni; %2 senza esercizi %3.").arg(righe.size()))
                        .arg(assenti)
                        .arg(RapportiRegistro::testoPeriodo(p));
    if (const int attesa = registro_.inAttesa(); attesa > 0)
        testo += QStringLiteral(" Risultati in attesa su questo PC: %1.").arg(attesa);
    stato_->setText(testo);
}

void FrmRegistro::leggi(const Riepilogo::Periodo &mostrato, const Riepilogo::Periodo &carico)
{
    // A school year takes a while to read, and on the lab's server as long as the network takes:
    // a connection of its own reads it on another thread, and the window stays responsive meanwhile.
    // The period shown is read first (a week is a few thousand rows, the year a quarter of a million).
    dati_.reset();
    modello_->imposta({});
    stato_->setText(QStringLiteral("Lettura del registro…"));
    leggendo_ = true;
    classeInLettura_ = classe();
    inLettura_ = carico;
    const auto consegna = [this, classe = classe(), generazione = generazione_](
                              std::optional<Riepilogo::DatiClasse> dati, const QString &errore, bool finito) {
        QMetaObject::invokeMethod(
            this,
            [this, classe, generazione, errore, finito, dati = std::move(dati)]() mutable {
                if (generazione != generazione_)
                    return;
                if (finito)
                    leggendo_ = false;
                caricati(classe, std::move(dati), errore);
            },
            Qt::QueuedConnection);
    };
    lettore_->accoda(
        [this, consegna, lettore = lettore_.get(), classe = classe(), mostrato, carico](Registro &registro) {
            auto dati = Riepilogo::DatiClasse::carica(registro, classe, mostrato);
            if (!dati || mostrato.copre(carico)) {
                consegna(std::move(dati), registro.errore(), true);
                return;
            }
            consegna(dati, {}, false);
            if (pausaLettura_)
                pausaLettura_();
            if (lettore->chiuso())
                return;
            if (!dati->estendi(registro, classe, carico))
                dati.reset();
            consegna(std::move(dati), registro.errore(), true);
        });
}

void FrmRegistro::caricati(const QString &classe, std::optional<Riepilogo::DatiClasse> dati, const QString &errore)
{
    dati_ = std::move(dati);
    classeCaricata_ = classe;
    if (!dati_) {
        modello_->imposta({});
        mostraErrore(errore);
        return;
    }
    aggiorna();
}

void FrmRegistro::mostraErrore(const QString &errore)
{
    // A server that does not answer (down, hung, cut off) is told in a sentence of its own.
    const bool muto = errore.startsWith(QLatin1String("il server del registro"));
    stato_->setText(muto ? errore.left(1).toUpper() + errore.mid(1)
                         : QStringLiteral("Il registro non si può leggere: %1").arg(errore));
}

std::optional<int> FrmRegistro::rigaScelta() const
{
    const QModelIndex indice = tabella_->currentIndex();
    if (!indice.isValid())
        return std::nullopt;
    return ordine_->mapToSource(indice).row();
}

void FrmRegistro::apriAndamento(int riga)
{
    if (!dati_ || riga < 0 || riga >= dati_->alunni().size())
        return;
    const RapportiRegistro::Intestazione intestazione{classi_->currentText(), periodo(), tipo()};
    auto *finestra = new FrmAndamento(registro_, *dati_, riga, oggi_, intestazione, this);
    finestra->setAttribute(Qt::WA_DeleteOnClose);
    const RapportiRegistro::Intestazione anno{classi_->currentText(), Riepilogo::Periodo::annoScolastico(oggi_), -1};
    connect(finestra, &FrmAndamento::datiRichiesti, this,
            [this, alunno = finestra->riga().alunno, classe = classi_->currentText()](const QString &file) {
                stampaDati(alunno, classe, file);
            });
    connect(finestra, &FrmAndamento::stampaRichiesta, this, [this, finestra, anno](const QString &file) {
        RapportiRegistro::Intestazione livello = anno;
        livello.livello = finestra->livello();
        if (auto s =
                documento(file, PdfInsegnante::nomeFile(QStringLiteral("Andamento"), finestra->riga().alunno.nome)))
            stampa(*s, [&](SuperficieStampa &su) {
                return RapportiRegistro::stampaAlunno(su, livello, finestra->riga(), finestra->andamento());
            });
    });
    finestra->show();
}

std::unique_ptr<SuperficieStampa> FrmRegistro::documento(const QString &file, const QString &nome)
{
    QString errore;
    auto superficie = PdfInsegnante::documento(file, nome, &errore);
    if (!superficie)
        Messaggio::mostra(errore);
    return superficie;
}

QString FrmRegistro::nomeRiepilogo(const QString &classe)
{
    return PdfInsegnante::nomeFile(QStringLiteral("Riepilogo"), classe);
}

bool FrmRegistro::stampa(SuperficieStampa &superficie, const std::function<bool(SuperficieStampa &)> &disegna)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool inviata = disegna(superficie);
    QApplication::restoreOverrideCursor();
    if (!inviata) {
        const QString spiegazione = superficie.spiegazioneErrore();
        Messaggio::mostra(spiegazione.isEmpty() ? problemaDiStampa : spiegazione);
        return false;
    }
    if (!superficie.fileProdotto().isEmpty())
        Messaggio::mostra(QStringLiteral("Salvato nel file\n") + QDir::toNativeSeparators(superficie.fileProdotto()));
    return true;
}

bool FrmRegistro::stampaRiepilogo(const QString &file)
{
    if (!dati_)
        return false;
    auto superficie = documento(file, nomeRiepilogo(classi_->currentText()));
    if (!superficie)
        return false;
    // The printed table keeps the order the teacher sorted the window by.
    QList<Riepilogo::RigaAlunno> righe;
    for (int r = 0; r < ordine_->rowCount(); ++r)
        righe.append(modello_->righe().at(ordine_->mapToSource(ordine_->index(r, 0)).row()));
    const RapportiRegistro::Intestazione intestazione{classi_->currentText(), periodo(), tipo()};
    return stampa(*superficie,
                  [&](SuperficieStampa &s) { return RapportiRegistro::stampaClasse(s, intestazione, righe); });
}

void FrmRegistro::cancellaAlunno()
{
    const auto riga = rigaScelta();
    if (!riga) {
        Messaggio::mostra(QStringLiteral("Scegliere prima un alunno nella tabella."));
        return;
    }
    const Alunno alunno = modello_->righe().at(*riga).alunno;
    Registro::Filtro filtro;
    filtro.alunno = alunno.id;
    int conteggio = 0;
    if (!registro_.risultati(filtro, [&](const Registro::RigaRisultato &) { ++conteggio; })) {
        Messaggio::mostra(registro_.errore());
        return;
    }
    if (!chiedi(QStringLiteral("Cancellare %1 e tutti i suoi %2 risultati? Non si potranno recuperare.")
                    .arg(alunno.nome)
                    .arg(conteggio)))
        return;
    const std::optional<int> tolti = registro_.cancellaAlunno(alunno.id);
    if (!tolti) {
        Messaggio::mostra(QStringLiteral("Nulla è stato cancellato: %1").arg(registro_.errore()));
        return;
    }
    ricarica();
    Messaggio::mostra(
        QStringLiteral("%1 è stato cancellato dal registro, con %2 risultati.").arg(alunno.nome).arg(*tolti));
}

void FrmRegistro::cancellaVecchi()
{
    QDialog scelta(this);
    scelta.setWindowTitle(QStringLiteral("Cancella i risultati vecchi"));
    auto *giorno = new QDateEdit(Riepilogo::Periodo::annoScolastico(oggi_).dal, &scelta);
    giorno->setCalendarPopup(true);
    giorno->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    giorno->setAccessibleName(QStringLiteral("Cancella i risultati di prima del giorno"));
    auto *pulsanti = AdattaDialogo::okAnnulla(&scelta, QStringLiteral("Avanti"));
    connect(pulsanti, &QDialogButtonBox::accepted, &scelta, &QDialog::accept);
    auto *modulo = new QFormLayout(&scelta);
    modulo->addRow(etichetta(QStringLiteral("Cancella i risultati di &prima del:"), giorno, &scelta), giorno);
    modulo->addRow(pulsanti);
    AdattaDialogo::adatta(&scelta);
    if (scelta.exec() != QDialog::Accepted)
        return;
    cancellaPrimaDel(giorno->date());
}

bool FrmRegistro::chiedi(const QString &domanda)
{
    return conferma_ ? conferma_(domanda)
                     : Messaggio::conferma(this, QStringLiteral("Registro"), domanda, QStringLiteral("Sì, cancella"));
}

void FrmRegistro::cancellaPrimaDel(QDate data)
{
    Registro::Filtro filtro;
    filtro.al = data.addDays(-1);
    int conteggio = 0;
    if (!registro_.risultati(filtro, [&](const Registro::RigaRisultato &) { ++conteggio; })) {
        Messaggio::mostra(registro_.errore());
        return;
    }
    const QString giornoTesto = QLocale(QLocale::Italian, QLocale::Italy).toString(data, QStringLiteral("d MMMM yyyy"));
    if (!chiedi(QStringLiteral("Cancellare i %1 risultati di tutte le classi anteriori al %2?")
                    .arg(conteggio)
                    .arg(giornoTesto)))
        return;
    cancellaDavvero(data);
}

void FrmRegistro::cancellaDavvero(QDate data)
{
    const QString giornoTesto = QLocale(QLocale::Italian, QLocale::Italy).toString(data, QStringLiteral("d MMMM yyyy"));
    const std::optional<int> tolti = registro_.cancellaRisultatiPrimaDel(data);
    if (!tolti) {
        Messaggio::mostra(QStringLiteral("Nulla è stato cancellato: %1").arg(registro_.errore()));
        return;
    }
    ricarica();
    Messaggio::mostra(QStringLiteral("Cancellati %1 risultati anteriori al %2.").arg(*tolti).arg(giornoTesto));
}

bool FrmRegistro::proponiCancellazione(const QString &premessa)
{
    const std::optional<int> anni = registro_.conservazione();
    if (!anni)
        return false;
    const QDate primo = Conservazione::primoGiornoTenuto(oggi_, *anni);
    Registro::Filtro filtro;
    filtro.al = primo.addDays(-1);
    int conteggio = 0;
    if (!registro_.risultatiBrevi(filtro, [&](const Registro::RigaBreve &) { ++conteggio; }))
        return false;
    if (conteggio == 0)
        return true;
    const QString giornoTesto =
        QLocale(QLocale::Italian, QLocale::Italy).toString(primo, QStringLiteral("d MMMM yyyy"));
    const QString quanti = conteggio == 1 ? QStringLiteral("c'è 1 risultato") : QStringLiteral("ci sono %1 risultati");
    const QString domanda =
        premessa +
        QStringLiteral(" Il registro conserva %1: %2 di tutte le classi anteriori al %3. Cancellarli ora? Non si "
                       "potranno recuperare.")
            .arg(*anni == 1 ? QStringLiteral("solo l'anno scolastico in corso")
                            : QStringLiteral("%1 anni scolastici, compreso quello in corso").arg(*anni),
                 quanti.arg(conteggio), giornoTesto);
    if (chiedi(domanda))
        cancellaDavvero(primo);
    return true;
}

void FrmRegistro::offriCancellazione()
{
    const QString identita = registro_.identita();
    if (!Conservazione::daOffrire(identita, oggi_))
        return;
    // Asked again next time when the register could not be counted.
    if (proponiCancellazione(
            QStringLiteral("È cominciato l'anno scolastico %1.").arg(Conservazione::nomeAnnoScolastico(oggi_))))
        Conservazione::offerta(identita, oggi_);
}

void FrmRegistro::cambiaConservazione()
{
    const std::optional<int> adesso = registro_.conservazione();
    if (!adesso) {
        Messaggio::mostra(QStringLiteral("Il registro non si può leggere: %1").arg(registro_.errore()));
        return;
    }
    QDialog scelta(this);
    scelta.setWindowTitle(QStringLiteral("Per quanto tempo conservare i risultati"));
    auto *anni = new QSpinBox(&scelta);
    anni->setRange(1, Registro::conservazioneMassima);
    anni->setValue(*adesso);
    anni->setAccessibleName(QStringLiteral("Anni scolastici da conservare, compreso quello in corso"));
    auto *spiegazione = new QLabel(QStringLiteral("Vale per tutti i computer che usano questo registro. All'inizio di "
                                                  "ogni anno scolastico il programma propone di cancellare i "
                                                  "risultati più vecchi: senza conferma non cancella nulla."),
                                   &scelta);
    spiegazione->setWordWrap(true);
    auto *pulsanti = AdattaDialogo::okAnnulla(&scelta);
    connect(pulsanti, &QDialogButtonBox::accepted, &scelta, &QDialog::accept);
    auto *modulo = new QFormLayout(&scelta);
    modulo->addRow(
        etichetta(QStringLiteral("&Anni scolastici da conservare (compreso quello in corso):"), anni, &scelta), anni);
    modulo->addRow(spiegazione);
    modulo->addRow(pulsanti);
    AdattaDialogo::adatta(&scelta);
    if (scelta.exec() != QDialog::Accepted || anni->value() == *adesso)
        return;
    if (!registro_.impostaConservazione(anni->value())) {
        Messaggio::mostra(QStringLiteral("Nulla è cambiato: %1").arg(registro_.errore()));
        return;
    }
    if (anni->value() < *adesso)
        proponiCancellazione(QStringLiteral("Fatto."));
}

bool FrmRegistro::stampaInformativa(const QString &file)
{
    if (classe().isEmpty()) {
        Messaggio::mostra(nessunaClasse());
        return false;
    }
    QString errore;
    const std::optional<Informativa::Dati> dati =
        Informativa::raccogli(registro_, {classe(), classi_->currentText()}, oggi_, &errore);
    if (!dati) {
        Messaggio::mostra(QStringLiteral("L'informativa non si può preparare: %1").arg(errore));
        return false;
    }
    auto superficie = documento(file, Informativa::nomeFile(classi_->currentText()));
    if (!superficie)
        return false;
    const Informativa informativa(*dati);
    return stampa(*superficie,
                  [&](SuperficieStampa &s) { return RapportiRegistro::stampaInformativa(s, informativa); });
}

bool FrmRegistro::stampaDatiAlunno(int riga, const QString &file)
{
    if (riga < 0 || riga >= modello_->righe().size())
        return false;
    return stampaDati(modello_->righe().at(riga).alunno, classi_->currentText(), file);
}

bool FrmRegistro::stampaDati(const Alunno &alunno, const QString &classe, const QString &file)
{
    Registro::Filtro filtro;
    filtro.alunno = alunno.id;
    QList<Registro::RigaRisultato> righe;
    if (!registro_.risultati(filtro, [&](const Registro::RigaRisultato &r) { righe.append(r); })) {
        Messaggio::mostra(QStringLiteral("Il registro non si può leggere: %1").arg(registro_.errore()));
        return false;
    }
    auto superficie = documento(file, RapportiRegistro::nomeFileDati(alunno.nome));
    if (!superficie)
        return false;
    return stampa(*superficie,
                  [&](SuperficieStampa &s) { return RapportiRegistro::stampaDatiAlunno(s, alunno, classe, righe); });
}
