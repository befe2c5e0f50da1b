#include "historyclient.h"

#include "historyworker.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <memory>
#include <utility>

namespace
{
void Register_Types()
{
    static const bool registered = []
    {
        qRegisterMetaType<History_Connection>();
        qRegisterMetaType<History_Record>();
        qRegisterMetaType<Issue_Result>();
        qRegisterMetaType<Last_Calibration>();
        qRegisterMetaType<Stored_Certificate>();
        qRegisterMetaType<History_Page>();
        qRegisterMetaType<Copy_Result>();
        return true;
    }();
    Q_UNUSED(registered)
}

// How long a closing window waits for a question in progress; past that
// the thread finishes on its own (every statement is bounded).
constexpr unsigned long close_wait_ms = 200;

// Threads still inside a statement when their window closed. Qt SQL's
// connections must not outlive the application (its registry goes with
// it), so the application's end waits for them: no window is left then.
QList<QThread *> &Orphans()
{
    static QList<QThread *> threads;
    return threads;
}

void Wait_For_Orphans()
{
    for (QThread *thread : std::exchange(Orphans(), {}))
    {
        thread->wait();
        delete thread;
    }
}

// Runs an event loop until done or the time is up; user input waits.
template <typename Answer, typename Signal, typename Start>
bool Wait_For(THistoryWorker *worker, Signal signal, quint64 request, int timeout_ms,
              Answer *answer, Start start)
{
    QEventLoop loop;
    bool done = false;
    QObject::connect(worker, signal, &loop,
                     [&](quint64 answered, const Answer &value)
                     {
                         if (answered != request)
                             return;
                         *answer = value;
                         done = true;
                         loop.quit();
                     });
    QTimer::singleShot(std::max(timeout_ms, 0), &loop, &QEventLoop::quit);
    start();
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return done;
}
} // namespace

THistoryClient::THistoryClient(const History_Connection &connection, QObject *parent)
    : QObject(parent), d_connection(connection), d_thread(new QThread()),
      d_worker(new THistoryWorker(connection))
{
    Register_Types();
    d_thread->setObjectName(QStringLiteral("history"));
    d_worker->moveToThread(d_thread);
    connect(d_thread, &QThread::finished, d_worker, &QObject::deleteLater);
    connect(d_worker, &THistoryWorker::Opened, this, &THistoryClient::Opened);
    connect(d_worker, &THistoryWorker::Completed, this,
            [this](quint64 request, const QString &prefix, const QStringList &serials)
            {
                if (request == d_worker->latest_complete)
                    emit Completed(prefix, serials);
            });
    connect(d_worker, &THistoryWorker::Last_Found, this,
            [this](quint64 request, const QString &serial, const Last_Calibration &last)
            {
                if (request == d_worker->latest_find)
                    emit Last_Found(serial, last);
            });
    connect(d_worker, &THistoryWorker::Listed, this, &THistoryClient::Listed);
    connect(d_worker, &THistoryWorker::Exported, this, &THistoryClient::Exported);
    connect(d_worker, &THistoryWorker::Copied, this, &THistoryClient::Copied);
    d_thread->start();
}

THistoryClient::~THistoryClient()
{
    d_worker->stopping = true;
    d_thread->quit();
    if (d_thread->wait(close_wait_ms))
    {
        delete d_thread;
        return;
    }
    // Still inside a statement: it ends within its bound, and the thread
    // with it; nothing it answers reaches this object any more.
    disconnect(d_worker, nullptr, this, nullptr);
    if (Orphans().isEmpty())
        qAddPostRoutine(Wait_For_Orphans);
    Orphans() << d_thread;
}

template <typename Function> void THistoryClient::Post(Function function)
{
    QMetaObject::invokeMethod(d_worker, function, Qt::QueuedConnection);
}

void THistoryClient::Open()
{
    THistoryWorker *worker = d_worker;
    Post([worker] { worker->Do_Open(); });
}

void THistoryClient::Complete(const QString &prefix)
{
    const quint64 request = ++d_request;
    d_worker->latest_complete = request;
    THistoryWorker *worker = d_worker;
    Post([worker, request, prefix] { worker->Do_Complete(request, prefix); });
}

void THistoryClient::Find_Last(const QString &serial, const QString &excluding_calibration_id,
                               const QString &replaced_number)
{
    const quint64 request = ++d_request;
    d_worker->latest_find = request;
    THistoryWorker *worker = d_worker;
    Post([worker, request, serial, excluding_calibration_id, replaced_number]
         { worker->Do_Find_Last(request, serial, excluding_calibration_id, replaced_number); });
}

Issue_Result THistoryClient::Issue(const History_Record &record, int timeout_ms)
{
    const quint64 request = ++d_request;
    THistoryWorker *worker = d_worker;
    Issue_Result result;
    const auto state = std::make_shared<std::atomic<int>>(THistoryWorker::Issue_Pending);
    if (Wait_For(worker, &THistoryWorker::Issued, request, timeout_ms, &result,
                 [&] {
                     Post([worker, request, record, state]
                          { worker->Do_Issue(request, record, state); });
                 }))
        return result;
    // Not begun yet (the worker busy with an export, say): it never will be,
    // and nothing is numbered. Begun: it may yet be stored, and the same
    // calibration issued again gets that number, never a second one.
    int pending = THistoryWorker::Issue_Pending;
    const QString seconds = QString::number(timeout_ms / 1000.0, 'g', 3);
    if (state->compare_exchange_strong(pending, THistoryWorker::Issue_Abandoned))
        result.failure = tr("the history (%1) did not answer within %2 seconds; nothing was "
                            "numbered")
                             .arg(Location(), seconds);
    else
        result.failure = tr("the history (%1) was storing the certificate but did not answer "
                            "within %2 seconds; it may be stored with a number: Save Certificate "
                            "again, once the history answers, gives that number and no other")
                             .arg(Location(), seconds);
    return result;
}

Stored_Certificate THistoryClient::Certificate(const QString &number, int timeout_ms)
{
    const quint64 request = ++d_request;
    THistoryWorker *worker = d_worker;
    Stored_Certificate certificate;
    Wait_For(worker, &THistoryWorker::Certificate_Read, request, timeout_ms, &certificate,
             [&] { Post([worker, request, number] { worker->Do_Certificate(request, number); }); });
    return certificate;
}

QString THistoryClient::Location() const
{
    return d_connection.Location();
}

History_Connection THistoryClient::Connection() const
{
    return d_connection;
}

void THistoryClient::Set_Connection(const History_Connection &connection)
{
    d_connection = connection;
    THistoryWorker *worker = d_worker;
    Post([worker, connection] { worker->Do_Set_Connection(connection); });
}

quint64 THistoryClient::List(const History_Filter &filter, const History_Row &after, int limit)
{
    const quint64 request = ++d_request;
    d_worker->latest_list = request;
    THistoryWorker *worker = d_worker;
    Post([worker, request, filter, after, limit]
         { worker->Do_List(request, filter, after, limit); });
    return request;
}

quint64 THistoryClient::Export(const History_Filter &filter, const QString &path, bool points)
{
    const quint64 request = ++d_request;
    THistoryWorker *worker = d_worker;
    Post([worker, request, filter, path, points]
         { worker->Do_Export(request, filter, path, points); });
    return request;
}

quint64 THistoryClient::Copy_From(const QString &sqlite_path)
{
    const quint64 request = ++d_request;
    THistoryWorker *worker = d_worker;
    Post([worker, request, sqlite_path] { worker->Do_Copy_From(request, sqlite_path); });
    return request;
}
