#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <functional>

// Runs `sql` on a SQLite file through a connection of its own, closed before returning: the
// first column of the first row, or an invalid value. `prima` runs first on the connection.
QVariant interroga(const QString &file, const QString &sql, const std::function<void(QSqlDatabase &)> &prima = {});
