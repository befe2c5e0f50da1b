#ifndef ZENTROVA_ISSUING_H
#define ZENTROVA_ISSUING_H

#include "certificatecontent.h"
#include "history.h"
#include "recordmodel.h"

#include <QDate>

// What the history keeps of a calibration being issued: its instrument as
// certified, its codes, U, the verdicts and every point, with the
// certificate's content (the history writes the number into it).
History_Record History_Of(const Record_Evaluation &evaluation, const Record_State &state,
                          const QDate &issue_date, const QByteArray &content);

class TSettingsStore;
class THistoryClient;
class TRecordModel;

// Issues a calibration's certificate: once, numbered by the history in the
// transaction that stores it, and kept in the settings file at once.
class TCertificateIssuer
{
public:
    TCertificateIssuer(TRecordModel *record, TSettingsStore *store, THistoryClient *history);

    // The certificate of the calibration: the one issued before, or one
    // issued now. Returns why there is none, or nothing.
    QString Issue(Certificate_Content *content);
    // Keeps the record's state in the settings file now: a calibration
    // keyed in or issued survives a crash. Returns why not, or nothing.
    QString Keep_State();

private:
    TRecordModel *d_record;
    TSettingsStore *d_store;
    THistoryClient *d_history;
};

#endif
