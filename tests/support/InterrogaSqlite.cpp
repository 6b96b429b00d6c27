#include "InterrogaSqlite.h"

#include <QSqlQuery>

QVariant interroga(const QString &file, const QString &sql, const std::function<void(QSqlDatabase &)> &prima)
{
    QVariant valore;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("prova"));
        db.setDatabaseName(file);
        if (db.open()) {
            if (prima)
                prima(db);
            QSqlQuery q(db);
            if (!sql.isEmpty() && q.exec(sql) && q.next())
                valore = q.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("prova"));
    return valore;
}
