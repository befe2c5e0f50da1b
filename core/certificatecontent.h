#ifndef ZENTROVA_CERTIFICATECONTENT_H
#define ZENTROVA_CERTIFICATECONTENT_H

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>

// What a calibration certificate says, as finished texts and the plot's
// numbers: the record model fills it, and the same content goes to a PDF
// file, to a printer, to the history and, from there, to the screen again.
// Nothing here is drawn; the widget library lays it out.

// The errors against the actual temperature, as the plot draws them. Every
// point is (actual, error) in degrees Celsius.
struct Plot_Data
{
    QVector<QPointF> found;     // as found
    QVector<QPointF> fit;       // the as-found error's least-squares line (two points)
    QVector<QPointF> predicted; // predicted as left, not measured
    QVector<QPointF> left;      // measured as left
    bool has_tolerance = false;
    double tolerance = 0.0; // the band is -tolerance to +tolerance

    bool Is_Empty() const { return found.isEmpty() && predicted.isEmpty() && left.isEmpty(); }
};

// A table of texts; its header row repeats on every page that it spans.
struct Certificate_Table
{
    QStringList header;
    QList<QStringList> rows;
};

// One part of the certificate, in this order: the heading, the paragraphs
// before, the table, the plot (where plot is set), the paragraphs after.
// A heading is kept on the page of what follows it.
struct Certificate_Section
{
    QString heading;
    QStringList before;
    Certificate_Table table;
    bool plot = false;
    QStringList after;
};

struct Certificate_Content
{
    // On every page: the title, the number (or the draft mark) and "Page x of y".
    QString title;
    QString number;     // empty on a draft
    bool draft = false; // "DRAFT - not a certificate" across every page
    QString laboratory; // the document's author in the PDF's metadata
    QList<Certificate_Section> sections;
    Plot_Data plot;
    QString closing; // the last line ("End of certificate ...")
};

// The certificate's texts and plot numbers as JSON, so that a stored
// calibration's certificate can be made again unchanged; and back. The
// number is the object's "number"; the history writes the number it issues
// into it, in the transaction that issues it. A content stored by an
// earlier version (its identification, codes and tables as fields of their
// own, the plot as a picture) reads back into sections.
QByteArray Certificate_Json(const Certificate_Content &content);
bool Certificate_From_Json(const QByteArray &json, Certificate_Content *content);

#endif
