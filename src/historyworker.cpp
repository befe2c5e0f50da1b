#include "historyworker.h"

THistoryWorker::THistoryWorker(const History_Connection &connection)
    : d_history(std::make_unique<THistory>(connection))
{
}

THistoryWorker::~THistoryWorker() = default;

bool THistoryWorker::Ready()
{
    if (stopping)
        return false;
    const QString failure = d_history->Open();
    Report(failure);
    return failure.isEmpty();
}

void THistoryWorker::Report(const QString &failure)
{
    const QString notice = d_history->Take_Notice();
    if (d_reported && notice.isEmpty() && failure.isEmpty() == d_reported_failure.isEmpty())
        return;
    d_reported = true;
    d_reported_failure = failure;
    emit Opened(failure, notice);
}

void THistoryWorker::Do_Open()
{
    if (stopping)
        return;
    d_reported = false; // asked for: always answered
    Report(d_history->Open());
}

void THistoryWorker::Do_Set_Connection(const History_Connection &connection)
{
    d_history = std::make_unique<THistory>(connection);
    Do_Open();
}

void THistoryWorker::Do_Complete(quint64 request, const QString &prefix)
{
    if (request != latest_complete || !Ready())
        return;
    emit Completed(request, prefix, d_history->Complete(prefix));
}

void THistoryWorker::Do_Find_Last(quint64 request, const QString &serial, const QString &excluding,
                                  const QString &replaced)
{
    if (request != latest_find || !Ready())
        return;
    emit Last_Found(request, serial, d_history->Last_For(serial, excluding, replaced));
}

void THistoryWorker::Do_Issue(quint64 request, const History_Record &record,
                              const std::shared_ptr<std::atomic<int>> &state)
{
    int pending = Issue_Pending;
    if (stopping || !state->compare_exchange_strong(pending, Issue_Started))
        return;
    Issue_Result result;
    result.failure = d_history->Open();
    Report(result.failure);
    if (result.failure.isEmpty())
    {
        result = d_history->Issue(record);
        Report(d_history->Is_Open() ? QString() : result.failure);
    }
    emit Issued(request, result);
}

void THistoryWorker::Do_Certificate(quint64 request, const QString &number)
{
    if (stopping)
        return;
    emit Certificate_Read(request, d_history->Certificate(number));
}

void THistoryWorker::Do_List(quint64 request, const History_Filter &filter,
                             const History_Row &after, int limit)
{
    if (stopping || request != latest_list)
        return;
    const History_Page page = d_history->List(filter, after, limit);
    Report(d_history->Is_Open() ? QString() : page.failure);
    emit Listed(request, page);
}

void THistoryWorker::Do_Export(quint64 request, const History_Filter &filter, const QString &path,
                               bool points)
{
    if (stopping)
        return;
    emit Exported(request, points ? d_history->Export_Points_Csv(filter, path)
                                  : d_history->Export_Calibrations_Csv(filter, path));
}

void THistoryWorker::Do_Copy_From(quint64 request, const QString &sqlite_path)
{
    if (stopping)
        return;
    emit Copied(request, d_history->Copy_From(sqlite_path));
}
