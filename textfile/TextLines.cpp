#include "textfile/TextLines.h"

#include "textfile/Cp932.h"

namespace textfile {

DecodedLines splitLines(const QByteArray &bytes)
{
    DecodedLines result;
    result.endsWithLineEnd = bytes.isEmpty() || bytes.endsWith('\n');
    const QString text = cp932::decode(bytes, &result.damaged);
    const QList<QStringView> views = lineViews(text);
    result.lines.reserve(views.size());
    for (const QStringView line : views)
        result.lines.append(line.toString());
    return result;
}

QList<QStringView> lineViews(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const bool ended = end >= 0;
        if (!ended)
            end = text.size();
        qsizetype lineEnd = end;
        if (ended && lineEnd > start && text.at(lineEnd - 1) == u'\r')
            --lineEnd;
        lines.append(text.sliced(start, lineEnd - start));
        start = end + 1;
    }
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
