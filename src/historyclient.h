#ifndef ZENTROVA_HISTORYCLIENT_H
#define ZENTROVA_HISTORYCLIENT_H

#include "history.h"

#include <QObject>

class QThread;
class THistoryWorker;

// The history as the windows use it, on the GUI thread. Every question is
// answered on a thread of its own, so that a busy file or a server away
// never freezes a window: the asynchronous calls answer with a signal, and
// the two that must have their answer at once (issuing, a stored
// certificate) wait at most timeout_ms with the event loop running.
class THistoryClient : public QObject
{
    Q_OBJECT

public:
    THistoryClient(const History_Connection &connection, QObject *parent);
    ~THistoryClient() override;

    void Open();                          // -> Opened
    void Complete(const QString &prefix); // -> Completed
    // -> Last_Found; the calibration in progress is not its own last one.
    void Find_Last(const QString &serial, const QString &excluding_calibration_id,
                   const QString &replaced_number = QString());
    // A timeout is a failure that says so. Input to the windows waits
    // meanwhile (a second click cannot issue twice); painting goes on.
    Issue_Result Issue(const History_Record &record, int timeout_ms);
    Stored_Certificate Certificate(const QString &number, int timeout_ms);
    QString Location() const;

    History_Connection Connection() const;
    // The history elsewhere (the settings changed): opened again, -> Opened.
    void Set_Connection(const History_Connection &connection);
    // The history window's pages, CSV and the copy to a server. Each returns
    // the request's number, which its answer carries. Only the newest List
    // is answered: a filter typed over is not looked for.
    quint64 List(const History_Filter &filter, const History_Row &after, int limit); // -> Listed
    quint64 Export(const History_Filter &filter, const QString &path, bool points);  // -> Exported
    quint64 Copy_From(const QString &sqlite_path);                                   // -> Copied

signals:
    void Opened(const QString &failure, const QString &notice);
    void Completed(const QString &prefix, const QStringList &serials);
    void Last_Found(const QString &serial, const Last_Calibration &last);
    void Listed(quint64 request, const History_Page &page);
    void Exported(quint64 request, const QString &failure);
    void Copied(quint64 request, const Copy_Result &result);

private:
    template <typename Function> void Post(Function function);

    History_Connection d_connection;
    QThread *d_thread;
    THistoryWorker *d_worker;
    quint64 d_request = 0;
};

#endif
