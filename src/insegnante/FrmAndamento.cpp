#include "FrmAndamento.h"

#include "insegnante/GraficoAndamento.h"
#include "insegnante/PdfInsegnante.h"
#include "insegnante/RapportiRegistro.h"
#include "registro/Registro.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTimeZone>
#include <QVBoxLayout>

namespace {

QTableView *tabella(QAbstractItemModel *modello, const QString &nome, QWidget *genitore)
{
    auto *vista = new QTableView(genitore);
    vista->setModel(modello);
    vista->setAccessibleName(nome);
    vista->setSelectionBehavior(QAbstractItemView::SelectRows);
    vista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vista->setTabKeyNavigation(false);
    vista->verticalHeader()->hide();
    vista->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return vista;
}

} // namespace

FrmAndamento::FrmAndamento(Registro &registro, const Riepilogo::DatiClasse &dati, int alunno, QDate oggi,
                           RapportiRegistro::Intestazione intestazione, QWidget *genitore)
    : QDialog(genitore), registro_(registro), intestazione_(std::move(intestazione))
{
    const Riepilogo::Periodo anno = Riepilogo::Periodo::annoScolastico(oggi);
    righe_.insert(0, dati.righe(anno).at(alunno));
    punti_.insert(0, dati.andamento(alunno, oggi));
    const Riepilogo::RigaAlunno tutti = righe_.value(0);
    for (int l = Livello::primo; l <= Livello::ultimo; ++l)
        if (tutti.eserciziLivello[l] > 0) {
            righe_.insert(l, dati.righe(anno, -1, l).at(alunno));
            punti_.insert(l, dati.andamento(alunno, oggi, l));
        }
    riga_ = tutti;
    setWindowTitle(QStringLiteral("Andamento di %1").arg(riga_.alunno.nome));
    setAccessibleName(windowTitle());

    andamento_ = new ModelloAndamento(this);
    grafico_ = new GraficoAndamento(this);
    grafico_->impostaModello(andamento_);
    settimane_ = tabella(andamento_, QStringLiteral("Cifre del grafico, per settimana"), this);

    // A higher percent right may only mean easier exercises: each level can be looked at on its own.
    livelli_ = new QComboBox(this);
    livelli_->setAccessibleName(QStringLiteral("Livello"));
    livelli_->addItem(QStringLiteral("Tutti"), 0);
    for (auto it = righe_.constBegin(); it != righe_.constEnd(); ++it)
        if (it.key() > 0)
            livelli_->addItem(QString::number(it.key()), it.key());
    auto *etichettaLivelli = new QLabel(QStringLiteral("&Livello:"), this);
    etichettaLivelli->setBuddy(livelli_);
    misti_ = new QLabel(this);
    misti_->setTextFormat(Qt::PlainText);
    misti_->setWordWrap(true);
    auto *rigaLivelli = new QHBoxLayout;
    rigaLivelli->addWidget(etichettaLivelli);
    rigaLivelli->addWidget(livelli_);
    rigaLivelli->addWidget(misti_, 1);
    // Where every result is at the usual level there is nothing to choose.
    const bool soloConsueto = righe_.size() <= 2 && tutti.eserciziLivello[Livello::consueto] == tutti.esercizi;
    livelli_->view()->setAccessibleName(QStringLiteral("Livelli"));
    for (QWidget *w : std::initializer_list<QWidget *>{etichettaLivelli, livelli_, misti_})
        w->setVisible(!soloConsueto);

    // The pupil's results in the window's period, newest first.
    risultati_ = new QStandardItemModel(0, 9, this);
    risultati_->setHorizontalHeaderLabels({QStringLiteral("Quando"), QStringLiteral("Esercizio"), QStringLiteral("N"),
                                           QStringLiteral("Risposta"), QStringLiteral("Esatta"),
                                           QStringLiteral("Aiuto"), QStringLiteral("Intervento"),
                                           QStringLiteral("Secondi"), QStringLiteral("Livello")});
    elenco_ = tabella(risultati_, QStringLiteral("Risultati di %1").arg(riga_.alunno.nome), this);

    schede_ = new QTabWidget(this);
    schede_->addTab(settimane_, QStringLiteral("&Cifre per settimana"));
    schede_->addTab(elenco_, {});
    schede_->setAccessibleName(QStringLiteral("Tabelle"));

    riassunto_ = new QLabel(this);
    riassunto_->setTextFormat(Qt::PlainText);
    riassunto_->setWordWrap(true);
    riassunto_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);

    auto *pulsanti = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *stampa = pulsanti->addButton(QStringLiteral("&Stampa la pagina"), QDialogButtonBox::ActionRole);
    QPushButton *pdf = pulsanti->addButton(QStringLiteral("Salva in &PDF…"), QDialogButtonBox::ActionRole);
    QPushButton *tuttiDati = pulsanti->addButton(QStringLiteral("Tutti i &dati in PDF…"), QDialogButtonBox::ActionRole);
    tuttiDati->setToolTip(QStringLiteral("Ogni risultato che il registro conserva dell'alunno, per la famiglia"));
    pulsanti->button(QDialogButtonBox::Close)->setText(QStringLiteral("C&hiudi"));
    // Enter in a table must not print: no button is pressed by Enter unless it has the focus.
    for (QAbstractButton *b : pulsanti->buttons())
        if (auto *p = qobject_cast<QPushButton *>(b))
            p->setAutoDefault(false);
    connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(stampa, &QPushButton::clicked, this, [this] { emit stampaRichiesta({}); });
    connect(pdf, &QPushButton::clicked, this, [this] {
        const QString file =
            PdfInsegnante::chiedi(this, QStringLiteral("Salva la pagina in PDF"),
                                  PdfInsegnante::nomeFile(QStringLiteral("Andamento"), riga_.alunno.nome));
        if (!file.isEmpty())
            emit stampaRichiesta(file);
    });
    connect(tuttiDati, &QPushButton::clicked, this, [this] {
        const QString file = PdfInsegnante::chiedi(this, QStringLiteral("Salva i dati dell'alunno in PDF"),
                                                   RapportiRegistro::nomeFileDati(riga_.alunno.nome));
        if (!file.isEmpty())
            emit datiRichiesti(file);
    });

    auto *disposizione = new QVBoxLayout(this);
    disposizione->addWidget(riassunto_);
    disposizione->addLayout(rigaLivelli);
    // No splitter: its grip is an unnamed object to a screen reader, and the keyboard cannot move it.
    disposizione->addWidget(grafico_, 3);
    disposizione->addWidget(schede_, 2);
    disposizione->addWidget(pulsanti);
    connect(livelli_, &QComboBox::currentIndexChanged, this, &FrmAndamento::mostraLivello);
    mostraLivello();
    resize(860, 720);
}

int FrmAndamento::livello() const { return livelli_->currentData().toInt(); }

void FrmAndamento::mostraLivello()
{
    const int l = livello();
    riga_ = righe_.value(l);
    andamento_->imposta(punti_.value(l));
    riassunto_->setText(
        QStringLiteral(
            "Anno scolastico: %1 esercizi, esatte %2, aiuti accettati %3, interventi %4, secondi (mediana) %5.")
            .arg(riga_.esercizi)
            .arg(ModelloClasse::testoPercentuale(riga_.percentuale()))
            .arg(riga_.aiuti)
            .arg(riga_.interventi)
            .arg(ModelloClasse::testoSecondi(riga_.mediana)));
    const int diversi = riga_.livelliDiversi();
    const QString livelli = Riepilogo::testoLivelli(riga_.eserciziLivello);
    if (l > 0)
        misti_->setText(QStringLiteral("Solo gli esercizi del livello %1.").arg(l));
    else if (diversi > 1)
        misti_->setText(QStringLiteral("Le cifre mescolano esercizi di livelli diversi (%1): più esatte può voler dire "
                                       "esercizi più facili. Per confrontare le settimane, scegliere un livello.")
                            .arg(livelli));
    else if (diversi == 1)
        misti_->setText(QStringLiteral("Tutti gli esercizi sono del livello %1.").arg(livelli));
    else
        misti_->setText(QStringLiteral("Nessun esercizio in quest'anno scolastico."));
    leggiRisultati();
}

void FrmAndamento::leggiRisultati()
{
    risultati_->removeRows(0, risultati_->rowCount());
    Registro::Filtro filtro;
    filtro.alunno = riga_.alunno.id;
    filtro.dal = intestazione_.periodo.dal;
    filtro.al = intestazione_.periodo.al;
    filtro.tipo = intestazione_.tipo;
    filtro.livello = livello();
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    QList<QList<QStandardItem *>> righe;
    registro_.risultati(filtro, [&](const Registro::RigaRisultato &r) {
        const Risultato &x = r.risultato;
        auto cella = [](const QString &t) {
            auto *c = new QStandardItem(t);
            c->setEditable(false);
            return c;
        };
        righe.append(
            // The moment the period was chosen by: a PC's wrong clock does not show here either.
            {cella(italiano.toString((r.momento.isValid() ? r.momento : x.quando).toTimeZone(QTimeZone("Europe/Rome")),
                                     QStringLiteral("ddd d/M/yyyy HH:mm"))),
             cella(Riepilogo::nomeTipo(x.tipo)), cella(QString::number(x.n)), cella(QString::number(x.risposta)),
             cella(x.esatto ? QStringLiteral("sì") : QStringLiteral("no")), cella(Risultato::nomeAiuto(x.aiuto)),
             cella(x.intervento ? QStringLiteral("sì") : QStringLiteral("no")), cella(QString::number(x.secondi)),
             cella(QString::number(x.livello))});
    });
    for (auto it = righe.rbegin(); it != righe.rend(); ++it)
        risultati_->appendRow(*it);
    schede_->setTabText(1, QStringLiteral("&Risultati (%1)").arg(risultati_->rowCount()));
}
