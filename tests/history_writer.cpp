// The history suite's child process: issues calibrations into the history
// named on the command line, as a second bench does.
//   history_writer kill <connection> <points>            without end, until killed
//   history_writer race <connection> <serial> <count> <go-file>
//                                                         waits for go-file, then issues
//   history_writer one <connection> <calibration id>      one, and says its number or why not
// A connection is "sqlite:<path>" or "postgresql:<host>:<port>:<database>:<user>".
#include "history.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <QUuid>

#include <cstdio>

namespace
{
History_Connection Connection_Of(const QString &text)
{
    History_Connection connection;
    if (text.startsWith(QLatin1String("sqlite:")))
    {
        connection.sqlite_path = text.mid(7);
        return connection;
    }
    const QStringList parts = text.split(QLatin1Char(':'));
    connection.engine = History_Connection::Engine::PostgreSQL;
    connection.host = parts.value(1);
    connection.port = parts.value(2).toInt();
    connection.database = parts.value(3);
    connection.user = parts.value(4);
    connection.ssl_mode = QStringLiteral("disable");
    return connection;
}

History_Record Calibration(const QString &serial, int points)
{
    History_Record record;
    record.calibration_id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    record.serial = serial;
    record.model = QStringLiteral("KX310");
    record.calibration_date = QStringLiteral("2026-12-07");
    for (int index = 0; index < points; ++index)
        record.points << History_Point{
            QStringLiteral("found"), 15.0 + index, 15.0 + index, 15.1 + index, 0.1,
            QStringLiteral("Pass")};
    record.content = "{\"title\":\"" + QByteArray(2000, 'x') + "\"}";
    return record;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 4)
        return 2;
    const QString mode = arguments.at(1);
    THistory history(Connection_Of(arguments.at(2)));
    if (mode == QLatin1String("kill"))
    {
        const int points = arguments.at(3).toInt();
        for (int number = 1;; ++number)
        {
            const Issue_Result result =
                history.Issue(Calibration(QStringLiteral("KILL-%1").arg(number % 7), points));
            if (!result.failure.isEmpty())
            {
                std::fprintf(stderr, "%s\n", qPrintable(result.failure));
                return 1;
            }
            if (number == 1)
            {
                // The parent starts its clock once the first one is in.
                std::printf("stored\n");
                std::fflush(stdout);
            }
        }
    }
    if (mode == QLatin1String("race") && arguments.size() >= 6)
    {
        const QString serial = arguments.at(3);
        const int count = arguments.at(4).toInt();
        if (!history.Open().isEmpty())
            return 1;
        std::printf("ready\n");
        std::fflush(stdout);
        while (!QFileInfo::exists(arguments.at(5)))
            QThread::usleep(200);
        for (int index = 0; index < count; ++index)
        {
            const Issue_Result result = history.Issue(Calibration(serial, 3));
            std::printf("%s\n", qPrintable(result.failure.isEmpty()
                                               ? result.number
                                               : QStringLiteral("failure: ") + result.failure));
        }
        return 0;
    }
    if (mode == QLatin1String("one"))
    {
        History_Record record = Calibration(QStringLiteral("KX-STOP"), 40);
        record.calibration_id = arguments.at(3);
        const Issue_Result result = history.Issue(record);
        std::printf("%s\n", qPrintable(result.failure.isEmpty()
                                           ? result.number
                                           : QStringLiteral("failure: ") + result.failure));
        return 0;
    }
    return 2;
}
