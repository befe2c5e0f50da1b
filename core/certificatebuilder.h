#ifndef ZENTROVA_CERTIFICATEBUILDER_H
#define ZENTROVA_CERTIFICATEBUILDER_H

#include "certificatecontent.h"
#include "recordmodel.h"

#include <QDate>

// The certificate of a calibration, from its one evaluation: what the
// window shows is what the page says. A draft says the same but carries no
// number and is marked as not a certificate.
Certificate_Content Build_Certificate(const Record_Evaluation &evaluation,
                                      const Record_State &state, const Laboratory &laboratory,
                                      const QDate &issue_date, bool draft);

// "0.087 °C"
QString Degrees_Text(double value, int decimals);

#endif
