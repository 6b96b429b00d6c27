#include "Registro.h"

#include "Schema.h"

#include <QStandardPaths>

QString Registro::filePredefinito()
{
    // The program's AppDataLocation, whether or not the application has its name yet.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Quorvel/registro.sqlite");
}

QString Registro::nuovoId() { return Schema::nuovoId(); }

QString Registro::nomeValido(const QString &nome, QString *errore)
{
    const QString pulito = nome.trimmed().normalized(QString::NormalizationForm_C);
    // Characters as a reader counts them, and as the lab's server does: not UTF-16 units.
    const qsizetype lunghezza = pulito.toUcs4().size();
    if (lunghezza == 0) {
        *errore = QStringLiteral("il nome è vuoto.");
        return {};
    }
    if (lunghezza > lunghezzaNome) {
        *errore = QStringLiteral("il nome «%1» è lungo %2 caratteri; al massimo %3.")
                      .arg(pulito)
                      .arg(lunghezza)
                      .arg(lunghezzaNome);
        return {};
    }
    for (const QChar c : pulito)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
            c.category() == QChar::Separator_Paragraph) {
            *errore = QStringLiteral("il nome «%1» contiene un carattere di controllo o un a capo.").arg(pulito);
            return {};
        }
    return pulito;
}

bool Registro::risultatiBrevi(const Filtro &filtro, const std::function<void(const RigaBreve &)> &riga)
{
    return risultati(filtro, [&](const RigaRisultato &r) {
        const Risultato &x = r.risultato;
        riga({x.alunno, (r.momento.isValid() ? r.momento : x.quando).toMSecsSinceEpoch(), x.tipo, x.esatto, x.aiuto,
              x.intervento, x.secondi, x.livello});
    });
}
