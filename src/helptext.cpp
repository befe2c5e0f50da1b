#include "helptext.h"

#include <QStringList>

namespace
{
const char *const paragraph_style = " margin-top:0px; margin-bottom:0px; margin-left:0px;"
                                    " margin-right:0px; -qt-block-indent:0; text-indent:0px;";

QString Paragraph(const QString &content)
{
    return QStringLiteral("<p style=\"%1\">%2</p>").arg(QLatin1String(paragraph_style), content);
}

QString Empty_Paragraph()
{
    return QStringLiteral("<p style=\"-qt-paragraph-type:empty;%1\"><br /></p>")
        .arg(QLatin1String(paragraph_style));
}

QString Italic(const char *text)
{
    return QStringLiteral("<span style=\" font-style:italic;\">%1</span>").arg(QLatin1String(text));
}

// A numbered step: the number in bold, then the text, coloured from step 2 on.
QString Step(int number, const QString &text)
{
    const QString label =
        QStringLiteral("<span style=\" font-weight:600;\">%1)</span> ").arg(number);
    if (number == 1)
        return Paragraph(label + text);
    return Paragraph(label + QStringLiteral("<span style=\" color:#000000;\">%1</span>").arg(text));
}
} // namespace

QString Help_Html()
{
    const QStringList paragraphs{
        Paragraph(QStringLiteral("<span style=\" font-size:14pt; font-weight:600;"
                                 " text-decoration: underline;\">Recommended Calibration"
                                 " Procedure</span>")),
        Paragraph(QStringLiteral("The following is the recommended sequence for calibrating the"
                                 " Zentrova KX310 series thermometer specific for QVR:")),
        Step(1, QStringLiteral("Update the entries for %1 and %2 with the current calibration"
                               " codes from the Zentrova thermometer.")
                    .arg(Italic("Existing Code 1"), Italic("Existing Code 2"))),
        Paragraph(QStringLiteral("<span style=\" font-style:italic; color:#0000ff;\">Note:  "
                                 "Non-calibrated values are 2710 for Code 1 and 0000 for Code 2."
                                 "  Code 1 is the correction slope while Code 2 is the correction"
                                 " offset.</span>")),
        Step(2, QStringLiteral("Configure the %1 for three entries with nominal temperatures of"
                               " 15, 20, and 25 C.")
                    .arg(Italic("Input Temperature Samples"))),
        Step(3, QStringLiteral("Update the %1 and %2 entries for all displayed measurement"
                               " samples.  New calibration codes will be generated automatically"
                               " in the fields %3 and %4")
                    .arg(Italic("Actual"), Italic("Reading"), Italic("New Code 1"),
                         Italic("New Code 2."))),
        Step(4, QStringLiteral("Enter the new correction codes in the Zentrova thermometer and"
                               " update the %1 and %2 fields with the new correction values.")
                    .arg(Italic("Existing Code 1"), Italic("Existing Code 2"))),
        Step(5, QStringLiteral("Configure the %1 for a single measurement entry by deleting two of"
                               " the three entries.")
                    .arg(Italic("Input Temperature Samples"))),
        Step(6, QStringLiteral("Update the %1 and %2 entries for the single temperature sample."
                               "  The entry for %3 will be updated from this single temperature"
                               " sample.")
                    .arg(Italic("Actual"), Italic("Reading"), Italic("New Code 2"))),
        Step(7, QStringLiteral("Enter the new code 2 correction in the Zentrova thermometer and"
                               " update the %1 field with the %2 value.")
                    .arg(Italic("Existing Code 2"), Italic("New Code 2"))),
    };

    return QStringLiteral(
               "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\""
               " \"http://www.w3.org/TR/REC-html40/strict.dtd\">\n"
               "<html><head><meta name=\"qrichtext\" content=\"1\" />"
               "<style type=\"text/css\">\np, li { white-space: pre-wrap; }\n</style></head>"
               "<body style=\" font-family:'.SF NS Text'; font-size:13pt; font-weight:400;"
               " font-style:normal;\">\n%1</body></html>")
        .arg(paragraphs.join(Empty_Paragraph() + QLatin1Char('\n')));
}
