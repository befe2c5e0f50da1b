#ifndef ZENTROVA_CERTIFICATE_H
#define ZENTROVA_CERTIFICATE_H

#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QTextDocument;

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

// The certificate's texts (all but the plot) as JSON, so that a stored
// calibration's certificate can be made again unchanged; and back.
QByteArray Certificate_Json(const Certificate_Content &content);
bool Certificate_From_Json(const QByteArray &json, Certificate_Content *content);

// The certificate's body as HTML (the page headers are painted apart), the
// plot plot_width pixels wide (0: its own width).
QString Certificate_Html(const Certificate_Content &content, int plot_width = 0);

// Puts the certificate's body, its plot included at plot_width pixels of 96
// to the inch, into a document (for the page, or for a window).
void Fill_Certificate_Document(QTextDocument *document, const Certificate_Content &content,
                               int plot_width);

// Lays the certificate out on the device's pages, each headed by the title,
// the number and "Page x of y". Returns false when nothing could be painted.
bool Paint_Certificate(QPagedPaintDevice *device, const Certificate_Content &content);

// A4 PDF with selectable text. Returns why it could not be written, or nothing.
QString Write_Certificate_Pdf(const QString &path, const Certificate_Content &content);

#endif
