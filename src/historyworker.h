#ifndef ZENTROVA_HISTORYWORKER_H
#define ZENTROVA_HISTORYWORKER_H

#include "history.h"

#include <QObject>

#include <atomic>
#include <memory>

// The history's own thread: it owns the THistory and answers each request
// with a signal. Made on the GUI thread and moved to its thread; every
// member but the signals and the counters is touched there only.
class THistoryWorker : public QObject
{
    Q_OBJECT

public:
    explicit THistoryWorker(const History_Connection &connection);
    ~THistoryWorker() override;

    // Requests, run on the worker's thread in order. Complete, Find_Last
    // and List are answered for the newest request only: one typed key
    // each (a list's next page is asked only once the one before is in).
    void Do_Open();
    void Do_Set_Connection(const History_Connection &connection);
    void Do_Complete(quint64 request, const QString &prefix);
    void Do_Find_Last(quint64 request, const QString &serial, const QString &excluding,
                      const QString &replaced);
    // Issue_Pending until it starts (Issue_Started), or Issue_Abandoned by a
    // client that stopped waiting: then nothing is issued at all.
    enum Issue_State
    {
        Issue_Pending,
        Issue_Started,
        Issue_Abandoned
    };
    void Do_Issue(quint64 request, const History_Record &record,
                  const std::shared_ptr<std::atomic<int>> &state);
    void Do_Certificate(quint64 request, const QString &number);
    void Do_List(quint64 request, const History_Filter &filter, const History_Row &after,
                 int limit);
    void Do_Export(quint64 request, const History_Filter &filter, const QString &path, bool points);
    void Do_Copy_From(quint64 request, const QString &sqlite_path);

    // Set from the GUI thread: the newest Complete and Find_Last, and that
    // nothing more is wanted.
    std::atomic<quint64> latest_complete{0};
    std::atomic<quint64> latest_find{0};
    std::atomic<quint64> latest_list{0};
    std::atomic<bool> stopping{false};

signals:
    void Opened(const QString &failure, const QString &notice);
    void Completed(quint64 request, const QString &prefix, const QStringList &serials);
    void Last_Found(quint64 request, const QString &serial, const Last_Calibration &last);
    void Issued(quint64 request, const Issue_Result &result);
    void Certificate_Read(quint64 request, const Stored_Certificate &certificate);
    void Listed(quint64 request, const History_Page &page);
    void Exported(quint64 request, const QString &failure);
    void Copied(quint64 request, const Copy_Result &result);

private:
    // Opens on first need.
    bool Ready();
    // Says with Opened what changed since it was last said: a history that
    // could not be used and now can (or the other way), a damaged file
    // moved aside on the way.
    void Report(const QString &failure);

    std::unique_ptr<THistory> d_history;
    QString d_reported_failure;
    bool d_reported = false;
};

#endif
