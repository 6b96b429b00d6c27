#include "AdattaDialogo.h"

#include "ui/Accessibilita.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace AdattaDialogo {

namespace {
// A window manager's title bar holds an icon and three buttons beside the title.
constexpr int bordoTitolo = 160;
} // namespace

void adatta(QWidget *dialogo)
{
    QLayout *disposizione = dialogo->layout();
    if (!disposizione)
        return;
    // Window managers draw titles in bold.
    QFont titolo = dialogo->font();
    titolo.setBold(true);
    disposizione->activate();
    int larghezza = std::max({QFontMetrics(titolo).horizontalAdvance(dialogo->windowTitle()) + bordoTitolo,
                              disposizione->totalSizeHint().width(), disposizione->totalMinimumSize().width()});
    if (const QScreen *schermo = dialogo->screen())
        larghezza = std::min(larghezza, schermo->availableGeometry().width());
    // Wrapped labels ask for their height at the width they get, which the minimum size leaves out.
    const int altezza = disposizione->hasHeightForWidth() ? std::max(disposizione->totalHeightForWidth(larghezza),
                                                                     disposizione->totalMinimumSize().height())
                                                          : disposizione->totalSizeHint().height();
    dialogo->setMinimumSize(larghezza, altezza);
    dialogo->resize(std::max(dialogo->width(), larghezza), std::max(dialogo->height(), altezza));
}

void avvisa(QLabel *avviso, const QString &testo)
{
    avviso->setText(testo);
    avviso->setVisible(!testo.isEmpty());
    adatta(avviso->window());
    if (!testo.isEmpty()) {
        Accessibilita::segnaAvviso(avviso);
        Accessibilita::annuncia(avviso);
    }
}

QString frase(QString testo)
{
    if (!testo.isEmpty() && testo.at(0).isLower())
        testo[0] = testo.at(0).toUpper();
    return testo;
}

} // namespace AdattaDialogo

QLabel *AdattaDialogo::nuovoAvviso(QWidget *dialogo)
{
    auto *avviso = new QLabel(dialogo);
    avviso->setTextFormat(Qt::PlainText);
    avviso->setWordWrap(true);
    avviso->hide();
    return avviso;
}

QDialogButtonBox *AdattaDialogo::okAnnulla(QDialog *dialogo, const QString &ok)
{
    auto *pulsanti = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialogo);
    if (!ok.isEmpty())
        pulsanti->button(QDialogButtonBox::Ok)->setText(ok);
    pulsanti->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    QObject::connect(pulsanti, &QDialogButtonBox::rejected, dialogo, &QDialog::reject);
    return pulsanti;
}
