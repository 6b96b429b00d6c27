#include "Accessibilita.h"

#include "Cornice.h"
#include "Immagine.h"
#include "NomiFigure.h"
#include "PulsanteOpzione.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>

namespace Accessibilita {

namespace {

const char *const avviso = "quorvelAvviso";
const char *const interruttore = "quorvelInterruttore";

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

// One of the program's buttons: pressed through its action, it does at once
// what a mouse click does, however quickly the presses follow one another
// (Qt's own animates a click over 100 ms and drops a second press within them).
class PulsanteAccessibile : public QAccessibleWidget {
public:
    explicit PulsanteAccessibile(QAbstractButton *p) : QAccessibleWidget(p, QAccessible::Button) {}

    QAbstractButton *pulsante() const { return static_cast<QAbstractButton *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return pulsante()->text().remove(QLatin1Char('&'));
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = pulsante()->isDown();
        return s;
    }
    QStringList actionNames() const override
    {
        QStringList nomi = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            nomi.prepend(pressAction());
        return nomi;
    }
    void doAction(const QString &azione) override
    {
        if (azione != pressAction())
            QAccessibleWidget::doAction(azione);
        else if (auto *opzione = qobject_cast<PulsanteOpzione *>(widget()))
            opzione->premi();
        else if (widget()->isEnabled())
            pulsante()->click();
    }
};

// A check box that stands in a menu bar as one of its items.
class InterruttoreAccessibile : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    InterruttoreAccessibile(QAction *azione, QAbstractButton *casella) : azione_(azione), casella_(casella) {}

    bool isValid() const override { return azione_ && casella_; }
    QObject *object() const override { return azione_; }
    QWindow *window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface *parent() const override
    {
        return casella_ ? QAccessible::queryAccessibleInterface(casella_->parentWidget()) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        switch (t) {
        case QAccessible::Name:
            return casella_->text().remove(QLatin1Char('&'));
        case QAccessible::Description:
        case QAccessible::Help:
            return casella_->toolTip();
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!isValid() || !casella_->isVisible())
            return {};
        return QRect(casella_->mapToGlobal(QPoint(0, 0)), casella_->size());
    }
    QAccessible::Role role() const override { return QAccessible::CheckBox; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        s.checkable = true;
        s.checked = casella_->isChecked();
        s.disabled = !casella_->isEnabled();
        s.invisible = !casella_->isVisible();
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType tipo) override
    {
        return tipo == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override
    {
        return isValid() && casella_->isEnabled() ? QStringList{toggleAction()} : QStringList{};
    }
    void doAction(const QString &azione) override
    {
        // What a click does, and only while a click would do it.
        if (azione == toggleAction() && isValid() && casella_->isEnabled())
            casella_->click();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<QAction> azione_;
    QPointer<QAbstractButton> casella_;
};

// Passes the check box's enabling and tooltip on to its stand-in.
class OsservaInterruttore : public QObject {
public:
    OsservaInterruttore(QAction *sostituto, QObject *genitore) : QObject(genitore), sostituto_(sostituto) {}

    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::EnabledChange) {
            QAccessible::State cambiati;
            cambiati.disabled = true;
            QAccessibleStateChangeEvent stato(sostituto_, cambiati);
            QAccessible::updateAccessibility(&stato);
        } else if (e->type() == QEvent::ToolTipChange) {
            QAccessibleEvent descrizione(sostituto_, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&descrizione);
        }
        return false;
    }

private:
    QAction *sostituto_;
};

QAccessibleInterface *fabbrica(const QString &classe, QObject *oggetto)
{
    if (auto *azione = qobject_cast<QAction *>(oggetto)) {
        auto *casella = azione->property(interruttore).value<QAbstractButton *>();
        return casella ? new InterruttoreAccessibile(azione, casella) : nullptr;
    }
    auto *w = qobject_cast<QWidget *>(oggetto);
    if (!w)
        return nullptr;
    if (w->property(avviso).toBool())
        return new AvvisoAccessibile(w);
    if (classe == QLatin1String("PulsanteOpzione") || classe == QLatin1String("Pulsante"))
        return new PulsanteAccessibile(static_cast<QAbstractButton *>(w));
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

void segnaInterruttore(QAbstractButton *casella)
{
    auto *barra = qobject_cast<QMenuBar *>(casella->parentWidget());
    if (!barra)
        return;
    // Without the mnemonic: the bar would take the check box's shortcut for itself.
    auto *sostituto = new QAction(casella->text().remove(QLatin1Char('&')), casella);
    sostituto->setVisible(false);
    sostituto->setProperty(interruttore, QVariant::fromValue(casella));
    barra->addAction(sostituto);
    QObject::connect(casella, &QAbstractButton::toggled, sostituto, [sostituto] {
        QAccessible::State cambiati;
        cambiati.checked = true;
        QAccessibleStateChangeEvent e(sostituto, cambiati);
        QAccessible::updateAccessibility(&e);
    });
    casella->installEventFilter(new OsservaInterruttore(sostituto, casella));
}

} // namespace Accessibilita
