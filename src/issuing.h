#ifndef ZENTROVA_ISSUING_H
#define ZENTROVA_ISSUING_H

#include "history.h"
#include "recordmodel.h"

#include <QDate>

// What the history keeps of a calibration being issued: its instrument as
// certified, its codes, U, the verdicts and every point, with the
// certificate's content (the history writes the number into it).
History_Record History_Of(const Record_Evaluation &evaluation, const Record_State &state,
                          const QDate &issue_date, const QByteArray &content);

#endif
