#pragma once

#include <QList>
#include <QObject>

class Finestra;

// The windows that are loaded, shown or hidden. When the last one is unloaded
// the program has ended: programmaTerminato() is emitted (main() quits on it).
class RegistroFinestre : public QObject {
    Q_OBJECT
public:
    static RegistroFinestre &istanza();

    const QList<Finestra *> &caricate() const { return caricate_; }
    bool caricata(const Finestra *f) const { return caricate_.contains(const_cast<Finestra *>(f)); }

    // Unloads every loaded window. While it runs, inChiusura() is true, so that
    // the unload handlers of the other windows do not bring a window back.
    void chiudiTutto();
    bool inChiusura() const { return inChiusura_; }

    void aggiungi(Finestra *f);
    void togli(Finestra *f);

signals:
    void programmaTerminato();

private:
    RegistroFinestre() = default;
    QList<Finestra *> caricate_;
    bool inChiusura_ = false;
};
