#ifndef ZENTROVA_CERTIFICATE_H
#define ZENTROVA_CERTIFICATE_H

#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;

// Everything a calibration certificate says, as finished texts: the record
// window fills it, and the same content goes to a PDF file and to a printer.
struct Certificate_Content
{
    QString number;
    QList<QPair<QString, QString>> identification; // label, value
    QString method;
    QString existing_code1;
    QString existing_code2;
    QString new_code1;
    QString new_code2;
    QStringList as_found_header;
    QList<QStringList> as_found_rows;
    QString as_left_title; // says whether measured or predicted
    QStringList as_left_header;
    QList<QStringList> as_left_rows;
    QString uncertainty;
    QString decision_rule;
    QString verdict;
    QString technician;
    QImage plot;
};

// The certificate's body as HTML (the page headers are painted apart).
QString Certificate_Html(const Certificate_Content &content);

// Lays the certificate out on the device's pages, each headed by the title,
// the number and "Page x of y". Returns false when nothing could be painted.
bool Paint_Certificate(QPagedPaintDevice *device, const Certificate_Content &content);

// A4 PDF with selectable text. Returns why it could not be written, or nothing.
QString Write_Certificate_Pdf(const QString &path, const Certificate_Content &content);

#endif
