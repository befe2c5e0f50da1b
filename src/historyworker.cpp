#include "historyworker.h"

THistoryWorker::THistoryWorker(const History_Connection &connection)
    : d_history(std::make_unique<THistory>(connection))
{
}

THistoryWorker::~THistoryWorker() = default;

bool THistoryWorker::Ready()
{
    return !stopping && d_history->Open().isEmpty();
}

void THistoryWorker::Do_Open()
{
    if (stopping)
        return;
    const QString failure = d_history->Open();
    emit Opened(failure, d_history->Take_Notice());
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

void THistoryWorker::Do_Find_Last(quint64 request, const QString &serial, const QString &excluding)
{
    if (request != latest_find || !Ready())
        return;
    emit Last_Found(request, serial, d_history->Last_For(serial, excluding));
}

void THistoryWorker::Do_Issue(quint64 request, const History_Record &record)
{
    if (stopping)
        return;
    emit Issued(request, d_history->Issue(record));
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
    emit Listed(request, d_history->List(filter, after, limit));
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
