#include "Informativa.h"

#include "insegnante/Conservazione.h"
#include "insegnante/PdfInsegnante.h"

#include <QDir>
#include <QLocale>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

namespace {

QString virgolette(const QString &testo) { return QStringLiteral("«") + testo + QStringLiteral("»"); }

QString giorno(QDate d) { return QLocale(QLocale::Italian, QLocale::Italy).toString(d, QStringLiteral("d MMMM yyyy")); }

QString account()
{
    const passwd *p = ::getpwuid(::geteuid());
    return p && p->pw_name ? QString::fromLocal8Bit(p->pw_name) : qEnvironmentVariable("USER");
}

} // namespace

std::optional<Informativa::Dati> Informativa::raccogli(Registro &registro, const Classe &classe, QDate oggi,
                                                       QString *errore)
{
    Dati d;
    d.classe = classe.nome;
    d.oggi = oggi;
    d.uscita = QDir::toNativeSeparators(registro.uscitaPc());
    const std::optional<int> anni = registro.conservazione();
    if (!anni) {
        *errore = registro.errore();
        return std::nullopt;
    }
    d.anniConservati = *anni;
    if (!registro.fileLocale().isEmpty()) {
        d.file = registro.descrizione();
        d.account = account();
        d.computer = QSysInfo::machineHostName();
        return d;
    }
    d.server = registro.server();
    if (!d.server) {
        *errore = registro.errore();
        return std::nullopt;
    }
    // A login that may not read the class's teachers still gets the notice, naming none.
    d.insegnanti = registro.insegnanti(classe.id).value_or(QStringList());
    return d;
}

Informativa::Informativa(Dati dati) : dati_(std::move(dati)) {}

QString Informativa::titolo() const
{
    return QStringLiteral("Informativa per le famiglie della classe %1").arg(dati_.classe);
}

QString Informativa::nomeFile(const QString &classe)
{
    return PdfInsegnante::nomeFile(QStringLiteral("Informativa"), classe);
}

QList<Informativa::Sezione> Informativa::sezioni() const
{
    const bool server = dati_.server.has_value();
    QList<Sezione> elenco;

    elenco.append(
        {QStringLiteral("Perché il registro"),
         {QStringLiteral("In classe i bambini fanno esercizi al computer con il programma Quorvel: accanto a un "
                         "insieme di figure costruiscono l'insieme che ne ha una in meno. Il programma tiene un "
                         "registro delle loro risposte, perché l'insegnante possa seguire i progressi di ciascuno "
                         "e aiutare chi ne ha bisogno.")}});

    elenco.append(
        {QStringLiteral("Quali dati conserva"),
         {QStringLiteral("Di ogni alunno: il nome, come lo scrive l'insegnante, la classe e il contrassegno con cui "
                         "il bambino si riconosce sullo schermo (una figura su un colore)."),
          QStringLiteral("Di ogni esercizio a cui risponde: il giorno e l'ora, il tipo di esercizio, quante figure "
                         "ha l'insieme (N) e quale figura mostra, la risposta data e se è giusta, se è stato offerto "
                         "un aiuto e se l'ha accettato o rifiutato, se il programma è intervenuto, i secondi che ha "
                         "impiegato e il nome del computer %1.")
              .arg(server ? QStringLiteral("del laboratorio da cui ha risposto")
                          : QStringLiteral("su cui ha risposto")),
          QStringLiteral("Nient'altro: né fotografie, né voce, né indirizzi, né dati della famiglia. Le risposte di "
                         "chi entra come «Ospite» non vengono conservate.")}});

    Sezione dove{QStringLiteral("Dove sono"), {}};
    Sezione chi{QStringLiteral("Chi può vederli"), {}};
    if (server) {
        const Registro::Server &s = *dati_.server;
        const QString macchina = s.host.startsWith(QLatin1Char('/'))
                                     ? QStringLiteral("sul computer stesso del server (%1)").arg(s.host)
                                     : QStringLiteral("sul server %1").arg(virgolette(s.host));
        dove.paragrafi << QStringLiteral(
                              "Nel registro del laboratorio della scuola: il database %1 %2, a cui arrivano le "
                              "risposte di tutti i computer del laboratorio.")
                              .arg(virgolette(s.database), macchina)
                       << QStringLiteral(
                              "Ogni risposta passa prima da un file di attesa sul computer dove il bambino risponde, "
                              "e ne esce appena il server l'ha ricevuta (su questo computer: %1).")
                              .arg(dati_.uscita);
        chi.paragrafi << (dati_.insegnanti.isEmpty()
                              ? QStringLiteral("Le insegnanti della classe, ciascuna con il proprio nome utente e la "
                                               "propria password sul server.")
                              : QStringLiteral("Le insegnanti della classe, ciascuna con il proprio nome utente e la "
                                               "propria password sul server: %1.")
                                    .arg(dati_.insegnanti.join(QStringLiteral(", "))));
        chi.paragrafi << QStringLiteral("Chi amministra il server, con il nome utente %1 che possiede il registro.")
                             .arg(virgolette(s.proprietario))
                      << QStringLiteral("I computer degli alunni possono aggiungere risposte al registro, ma non "
                                        "leggerle: i bambini non vedono i risultati, né i propri né quelli degli "
                                        "altri.");
    } else {
        dove.paragrafi << QStringLiteral("In un file del computer %1: %2.").arg(virgolette(dati_.computer), dati_.file)
                       << QStringLiteral("Ogni risposta passa prima da un file di attesa accanto a quello (%1), e ne "
                                         "esce appena è scritta nel registro.")
                              .arg(dati_.uscita);
        chi.paragrafi << QStringLiteral("Il programma mostra i risultati solo a chi conosce la password "
                                        "dell'insegnante: i bambini non li vedono, né i propri né quelli degli altri.")
                      << QStringLiteral("I file sono leggibili solo dall'account %1 di questo computer (e da chi "
                                        "amministra il computer). Se anche i bambini usano quell'account, chi sa "
                                        "usare altri programmi potrebbe copiarli: dove questo non basta, la scuola "
                                        "può tenere il registro su un server.")
                             .arg(virgolette(dati_.account));
    }
    elenco << dove << chi;

    const int anni = dati_.anniConservati;
    const QString quanti =
        anni <= 1 ? QStringLiteral("per un solo anno scolastico, quello in corso")
        : anni == 2
            ? QStringLiteral("per 2 anni scolastici: quello in corso e quello precedente")
            : QStringLiteral("per %1 anni scolastici: quello in corso e i %2 precedenti").arg(anni).arg(anni - 1);
    elenco.append(
        {QStringLiteral("Per quanto tempo"),
         {QStringLiteral("I risultati si conservano %1 (l'anno scolastico va dal 1 settembre al 31 agosto). All'inizio "
                         "di ogni anno scolastico il programma propone all'insegnante di cancellare quelli più "
                         "vecchi: ora, quelli anteriori al %2.")
              .arg(quanti, giorno(Conservazione::primoGiornoTenuto(dati_.oggi, anni))),
          QStringLiteral("Il nome, la classe e il contrassegno restano finché l'insegnante non toglie l'alunno dal "
                         "registro.")}});

    elenco.append(
        {QStringLiteral("Come avere una copia o farli cancellare"),
         {QStringLiteral("Per avere una copia dei dati del proprio bambino basta chiederla all'insegnante, che la "
                         "prepara dal registro: un documento PDF da leggere o stampare, oppure un file CSV per un "
                         "foglio di calcolo."),
          QStringLiteral("Per farli cancellare basta chiederlo all'insegnante, che toglie l'alunno dal registro con "
                         "tutti i suoi risultati, in una volta sola: non si possono più recuperare. %1")
              .arg(server ? QStringLiteral("Una risposta che aspettasse ancora su un computer del laboratorio viene "
                                           "scartata quando arriva.")
                          : QStringLiteral("Vanno via anche dal file di attesa."))}});
    return elenco;
}

QString Informativa::chiusura() const
{
    return QStringLiteral("Preparata il %1 dal registro di Quorvel, con le impostazioni di questa scuola.")
        .arg(giorno(dati_.oggi));
}

QString Informativa::testo() const
{
    QStringList righe{titolo(), QString()};
    for (const Sezione &s : sezioni()) {
        righe << s.titolo;
        righe << s.paragrafi;
        righe << QString();
    }
    righe << chiusura();
    return righe.join(QLatin1Char('\n'));
}
