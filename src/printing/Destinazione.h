#pragma once

#include <QByteArray>
#include <QPageSize>
#include <QRectF>
#include <QString>

#include <optional>

// The paper a destination prints on, in twips.
struct Foglio {
    QPageSize carta;
    // The part of the paper the printer can reach, from the paper's top-left corner.
    QRectF area;
    // Printer pixels per inch: line widths are given in them.
    int dpi = 1200;
};

// Where a finished document goes: a print queue or a file.
class Destinazione {
public:
    virtual ~Destinazione() = default;
    // The paper, asked for before drawing; nothing when the destination cannot
    // take a document now.
    virtual std::optional<Foglio> foglio() = 0;
    // Hands over the finished PDF, whatever its number of pages. True only when
    // the document is safely there: a job the server took, a file fully written.
    virtual bool consegna(const QByteArray &pdf) = 0;
    // After a success: the file written, for a destination that writes files.
    virtual QString file() const { return {}; }
    // After a failure: what to tell the user, when there is more to say than
    // that the printer failed.
    virtual QString spiegazione() const { return {}; }
    // What the document is, for the print queue's list of jobs.
    void impostaTitolo(const QString &titolo) { titolo_ = titolo; }
    QString titolo() const { return titolo_; }

private:
    QString titolo_ = QStringLiteral("Scheda");
};
