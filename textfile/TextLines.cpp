#include "textfile/TextLines.h"

#include "textfile/Cp932.h"
#include "textfile/TextEncoding.h"

namespace textfile {

DecodedLines splitLines(const DecodedText &decoded)
{
    DecodedLines result;
    result.damaged = decoded.held;
    const QList<QStringView> views = lineViews(decoded.text);
    result.lines.reserve(views.size());
    for (const QStringView line : views)
        result.lines.append(line.toString());
    return result;
}

QList<QStringView> lineViews(QStringView text)
{
    QList<QStringView> lines;
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar unit = text.at(i);
        if (unit != u'\n' && unit != u'\r')
            continue;
        lines.append(text.sliced(start, i - start));
        if (unit == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.sliced(start));
    return lines;
}

QString firstLineBreak(QStringView text)
{
    for (const QChar unit : text) {
        if (unit == u'\r' || unit == u'\n')
            return QString(unit);
    }
    return {};
}

QString firstUnstorable(const QString &text)
{
    const QString lineBreak = firstLineBreak(text);
    return lineBreak.isEmpty() ? cp932::firstUnencodable(text) : lineBreak;
}

QString joinLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

} // namespace textfile
