#pragma once

#include <QJsonObject>
#include <QString>

// This PC's copy of the classes and pupils of the lab's register (names and contrassegni,
// never results) as the server last gave them, so that "Chi sei?" shows them while the server
// does not answer: one JSON file per login in the user's data folder, 0600, written whole.
// {"registro": id, "classi": [[id, nome, archiviata]...], "alunni": {classe: [[id, nome, figura, colore]...]}}
class CopiaClassi {
public:
    explicit CopiaClassi(const QString &file) : file_(file) {}

    QJsonObject leggi() const;
    void scrivi(const QJsonObject &copia) const;

    // An erased pupil leaves every copy in `cartella`, whichever login made it.
    static void dimentica(const QString &cartella, const QString &alunno);

private:
    QString file_;
};
