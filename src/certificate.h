#ifndef ZENTROVA_CERTIFICATE_H
#define ZENTROVA_CERTIFICATE_H

#include "certificatecontent.h"

#include <QImage>
#include <QString>

class QPagedPaintDevice;
class QTextDocument;

// The certificate as the content says it, section by section; the plot is
// drawn from the content's numbers. plot_picture is for a calibration kept
// by an earlier version, which stored its plot as a picture only: it is
// drawn where a section asks for the plot and the content has no numbers
// for it (pass a null image otherwise).

// Puts the certificate's body into a document, for a window: no page
// header, the plot plot_width of the document's units wide.
void Fill_Certificate_Document(QTextDocument *document, const Certificate_Content &content,
                               int plot_width, const QImage &plot_picture);

// Lays the certificate out on the device's pages, each headed by the
// laboratory, the title, the number (on a draft, the draft mark instead,
// and the mark across the page) and "Page x of y". Tables repeat their
// header row on every page they span, and a heading is never left alone at
// the foot of a page. Returns false when nothing could be painted.
bool Paint_Certificate(QPagedPaintDevice *device, const Certificate_Content &content,
                       const QImage &plot_picture);

// A4 PDF/A-1b: text selectable and searchable, fonts embedded, the plot as
// lines and shapes; the title, the laboratory (author) and the number
// (subject) in its document information. Returns why it could not be
// written, or nothing.
QString Write_Certificate_Pdf(const QString &path, const Certificate_Content &content,
                              const QImage &plot_picture);

#endif
