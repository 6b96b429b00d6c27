#include "Accessibilita.h"

#include "Cornice.h"
#include "Immagine.h"
#include "NomiFigure.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace Accessibilita {

namespace {

const char *const avviso = "quorvelAvviso";

// "E s a t t o" -> "Esatto": a word spelt with blanks between its letters is read as a word.
QString senzaSpaziatura(const QString &testo)
{
    const QString t = testo.trimmed();
    for (qsizetype i = 1; i < t.size(); i += 2)
        if (t.at(i) != QLatin1Char(' '))
            return t;
    QString parola;
    for (qsizetype i = 0; i < t.size(); i += 2)
        parola += t.at(i);
    return parola;
}

class AvvisoAccessibile : public QAccessibleWidget {
public:
    explicit AvvisoAccessibile(QWidget *w) : QAccessibleWidget(w, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            if (auto *etichetta = qobject_cast<const QLabel *>(widget()))
                return senzaSpaziatura(etichetta->text());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        // An empty verdict is no verdict.
        if (auto *etichetta = qobject_cast<const QLabel *>(widget()); etichetta && etichetta->text().isEmpty())
            s.invisible = true;
        return s;
    }
};

QAccessibleInterface *fabbrica(const QString &classe, QObject *oggetto)
{
    auto *w = qobject_cast<QWidget *>(oggetto);
    if (!w)
        return nullptr;
    if (w->property(avviso).toBool())
        return new AvvisoAccessibile(w);
    if (classe == QLatin1String("Cornice"))
        return new QAccessibleWidget(w, QAccessible::Grouping);
    if (classe == QLatin1String("Immagine"))
        return new QAccessibleWidget(w, QAccessible::Graphic);
    return nullptr;
}

void nomina(QWidget *w, const QString &nome)
{
    if (w->accessibleName() != nome)
        w->setAccessibleName(nome);
}

} // namespace

void prepara()
{
    static const bool installata = [] {
        QAccessible::installFactory(fabbrica);
        return true;
    }();
    Q_UNUSED(installata);
}

QString contenuto(int quanti, int figura)
{
    if (quanti <= 0)
        return QStringLiteral("vuoto");
    const NomiFigure::Nome &nome = NomiFigure::nomi[figura];
    return QStringLiteral("%1 %2").arg(quanti).arg(QString::fromUtf8(quanti == 1 ? nome.singolare : nome.plurale));
}

void descriviInsieme(Cornice *insieme, const QString &titolo)
{
    auto aggiorna = [insieme, titolo] {
        int quanti = 0;
        int figura = 0;
        // Looked up afresh: while the frame is being destroyed its children go one by one.
        for (Immagine *i : insieme->findChildren<Immagine *>(Qt::FindDirectChildrenOnly)) {
            const int k = i->haDisegno() ? i->disegno().numero() : 0;
            const bool elemento = !i->isHidden() && k >= 1 && k < NomiFigure::numero;
            nomina(i, elemento ? QString::fromUtf8(NomiFigure::nomi[k].singolare) : QString());
            if (elemento) {
                ++quanti;
                figura = k;
            }
        }
        nomina(insieme, titolo + QStringLiteral(": ") + contenuto(quanti, figura));
    };
    for (Immagine *i : insieme->findChildren<Immagine *>(Qt::FindDirectChildrenOnly))
        QObject::connect(i, &Immagine::cambiata, insieme, aggiorna);
    aggiorna();
}

void segnaAvviso(QWidget *w, const QString &nome)
{
    w->setProperty(avviso, true);
    if (!nome.isEmpty())
        w->setAccessibleName(nome);
}

void annuncia(QWidget *w)
{
    QAccessibleEvent nome(w, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nome);
    QAccessibleEvent mostrato(w, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&mostrato);
    QAccessibleEvent allarme(w, QAccessible::Alert);
    QAccessible::updateAccessibility(&allarme);
}

} // namespace Accessibilita
