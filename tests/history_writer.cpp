// Stores calibrations into the history given on the command line, without
// end, until it is killed: the kill test's child process.
#include "history.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 3)
        return 2;
    THistory history(QString::fromLocal8Bit(argv[1]));
    const int points = QString::fromLatin1(argv[2]).toInt();
    for (int number = 1;; ++number)
    {
        History_Record record;
        record.serial = QStringLiteral("KILL-%1").arg(number % 7);
        record.certificate_number =
            QStringLiteral("KILL-%1-%2").arg(QCoreApplication::applicationPid()).arg(number);
        record.calibration_date = QStringLiteral("2026-12-07");
        for (int index = 0; index < points; ++index)
            record.points << History_Point{
                QStringLiteral("found"), 15.0 + index, 15.0 + index, 15.1 + index, 0.1,
                QStringLiteral("Pass")};
        record.content = QByteArray(2000, 'x');
        const QString failure = history.Store(record);
        if (!failure.isEmpty())
        {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
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
