#ifndef ZENTROVA_CERTIFICATE_H
#define ZENTROVA_CERTIFICATE_H

#include "certificatecontent.h"

#include <QImage>
#include <QString>

class QPagedPaintDevice;
class QTextDocument;

// The certificate's body as HTML (the page headers are painted apart), the
// plot plot_width pixels wide (0: its own width).
QString Certificate_Html(const Certificate_Content &content, int plot_width);

// Puts the certificate's body, its plot included at plot_width pixels of 96
// to the inch, into a document (for the page, or for a window).
// plot_picture: the plot as a picture where a section asks for it.
void Fill_Certificate_Document(QTextDocument *document, const Certificate_Content &content,
                               int plot_width, const QImage &plot_picture);

// Lays the certificate out on the device's pages, each headed by the title,
// the number and "Page x of y". Returns false when nothing could be painted.
bool Paint_Certificate(QPagedPaintDevice *device, const Certificate_Content &content,
                       const QImage &plot_picture);

// A4 PDF with selectable text. Returns why it could not be written, or nothing.
QString Write_Certificate_Pdf(const QString &path, const Certificate_Content &content,
                              const QImage &plot_picture);

#endif
