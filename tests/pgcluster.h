#ifndef ZENTROVA_TESTS_PGCLUSTER_H
#define ZENTROVA_TESTS_PGCLUSTER_H

#include "history.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

// A throw-away PostgreSQL cluster of the tests' own: made by initdb in a
// temporary folder, listening on a Unix socket in that folder and on no
// TCP port, and stopped by its PID. The server refuses to run as root:
// there it runs as the unprivileged user nobody. The superuser is
// zentrova_admin (trusted on the socket); the role bench_pw must give its
// password.
class TPg_Cluster
{
public:
    static inline const QString admin = QStringLiteral("zentrova_admin");

    // fsync: off for the tests (their speed), on for the benchmark (the
    // figures a laboratory's server gives).
    explicit TPg_Cluster(bool fsync = false) : d_folder(QStringLiteral("/tmp/zentrova-pg-XXXXXX"))
    {
        d_fsync = fsync;
        const QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql"))
                                         .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        int newest = 0;
        for (const QString &version : versions)
            newest = std::max(newest, version.toInt());
        d_bin = QStringLiteral("/usr/lib/postgresql/%1/bin/").arg(newest);
        if (newest == 0 || !QFile::exists(d_bin + "initdb"))
        {
            d_failure = "PostgreSQL's server is not installed (Debian: postgresql)";
            return;
        }
        if (!d_folder.isValid())
        {
            d_failure = "no temporary folder";
            return;
        }
        if (geteuid() == 0 && chown(qPrintable(d_folder.path()), 65534, 65534) != 0)
        {
            d_failure = "the folder cannot be given to nobody";
            return;
        }
        QString output;
        if (!Run_As_Server(d_bin + "initdb",
                           {"-D", Data(), "-U", admin, "--auth=trust", "-E", "UTF8", "--no-locale",
                            "--no-sync", "--no-instructions"},
                           &output))
        {
            d_failure = "initdb failed: " + output;
            return;
        }
        QFile hba(Data() + "/pg_hba.conf");
        if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            hba.write("local all bench_pw scram-sha-256\nlocal all all trust\n") < 0)
        {
            d_failure = "pg_hba.conf cannot be written";
            return;
        }
        hba.close();
        if (!Start())
            return;
        Sql("postgres", "CREATE ROLE bench_pw LOGIN PASSWORD 'the right one'");
    }

    ~TPg_Cluster() { Stop(); }
    TPg_Cluster(const TPg_Cluster &) = delete;
    TPg_Cluster &operator=(const TPg_Cluster &) = delete;

    QString Failure() const { return d_failure; }
    QString Socket_Folder() const { return d_folder.path(); }
    QString Folder() const { return d_folder.path(); }
    qint64 Pid() const { return d_server.processId(); }

    bool Start()
    {
        if (d_server.state() != QProcess::NotRunning)
            return true;
        d_server.setStandardOutputFile(d_folder.path() + "/server.log", QIODevice::Append);
        d_server.setStandardErrorFile(d_folder.path() + "/server.log", QIODevice::Append);
        QStringList arguments{d_bin + "postgres",
                              "-D",
                              Data(),
                              "-k",
                              Socket_Folder(),
                              "-c",
                              "listen_addresses=",
                              "-c",
                              "max_connections=40",
                              "-c",
                              "shared_buffers=64MB",
                              "-c",
                              d_fsync ? "fsync=on" : "fsync=off"};
        if (geteuid() == 0)
            arguments = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"} + arguments;
        d_server.start(geteuid() == 0 ? "setpriv" : arguments.takeFirst(), arguments);
        if (!d_server.waitForStarted(5000))
        {
            d_failure = "the server did not start: " + d_server.errorString();
            return false;
        }
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 20000)
        {
            QString output;
            if (Sql("postgres", "SELECT 1", &output) && output.trimmed() == "1")
                return true;
            if (d_server.state() == QProcess::NotRunning)
                break;
            QThread::msleep(100);
        }
        d_failure = "the server did not answer: " + Log();
        return false;
    }

    // Fast shutdown, by the server's PID: open transactions are rolled back.
    bool Stop()
    {
        if (d_server.state() == QProcess::NotRunning)
            return true;
        ::kill(static_cast<pid_t>(d_server.processId()), SIGINT);
        return d_server.waitForFinished(20000);
    }

    QString Log() const
    {
        QFile file(d_folder.path() + "/server.log");
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll().right(2000))
                                              : QString();
    }

    // Runs SQL through psql as the superuser (or another role).
    bool Sql(const QString &database, const QString &statement, QString *output = nullptr,
             const QString &user = admin) const
    {
        QProcess psql;
        psql.setProgram(d_bin + "psql");
        psql.setArguments({"-X", "-q", "-A", "-t", "-v", "ON_ERROR_STOP=1", "-h", Socket_Folder(),
                           "-U", user, "-d", database, "-c", statement});
        psql.setProcessChannelMode(QProcess::MergedChannels);
        psql.start();
        if (!psql.waitForFinished(20000))
            return false;
        if (output)
            *output = QString::fromUtf8(psql.readAll());
        return psql.exitStatus() == QProcess::NormalExit && psql.exitCode() == 0;
    }

    History_Connection Connection(const QString &database, const QString &user = admin) const
    {
        History_Connection connection;
        connection.engine = History_Connection::Engine::PostgreSQL;
        connection.host = Socket_Folder();
        connection.port = 5432;
        connection.database = database;
        connection.user = user;
        connection.ssl_mode = QStringLiteral("disable");
        return connection;
    }

    // The history_writer's spelling of a connection.
    static QString Writer_Connection(const History_Connection &connection)
    {
        if (connection.engine == History_Connection::Engine::SQLite)
            return "sqlite:" + connection.sqlite_path;
        return QStringLiteral("postgresql:%1:%2:%3:%4")
            .arg(connection.host)
            .arg(connection.port)
            .arg(connection.database, connection.user);
    }

private:
    QString Data() const { return d_folder.path() + "/data"; }

    bool Run_As_Server(const QString &program, const QStringList &arguments, QString *output) const
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        if (geteuid() == 0)
            process.start("setpriv",
                          QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} +
                              arguments);
        else
            process.start(program, arguments);
        const bool finished = process.waitForFinished(60000);
        *output = QString::fromUtf8(process.readAll());
        return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QTemporaryDir d_folder;
    QString d_bin;
    QString d_failure;
    bool d_fsync = false;
    QProcess d_server;
};

#endif
