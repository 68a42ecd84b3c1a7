#include "personal/PersonalData.h"

#include "textfile/DataFile.h"
#include "textfile/Records.h"
#include "textfile/TextLines.h"

void parsePersonalData(const textfile::DecodedText &decoded, PersonalData &data)
{
    // Fields flow on from line to line; an empty line is one empty field, so an empty name
    // still leaves the target as the second field.
    QStringList fields;
    for (const QStringView line : textfile::lineViews(decoded.text)) {
        const QStringList lineFields = textfile::parseRecordFields(line);
        if (lineFields.isEmpty())
            fields.append(QString());
        else
            fields.append(lineFields);
    }
    data.userName = fields.value(0);
    data.targetPoints = textfile::parseInt16Field(fields.value(1));
}

textfile::Failure readPersonalData(const QDir &folder, PersonalData &data)
{
    const textfile::ReadResult file = textfile::readDataFile(folder, PersonalData::FileName);
    if (!file.ok())
        return file.failure;
    parsePersonalData(file.decoded, data);
    return textfile::done();
}

std::optional<qint16> typedTargetPoints(const QString &targetText)
{
    const std::optional<double> target = textfile::leadingNumber(targetText);
    // Range tested before rounding, so a huge number never reaches the integer conversion.
    if (!target || !(*target >= 0.5 && *target <= 32767.5))
        return std::nullopt;
    const qint64 rounded = textfile::roundHalfEven(*target);
    if (rounded < 1 || rounded > 32767)
        return std::nullopt;
    return qint16(rounded);
}

textfile::Failure checkPersonalInput(const QString &nameText, const QString &targetText)
{
    using textfile::Fault;
    if (!typedTargetPoints(targetText))
        return textfile::failure(Fault::TargetOutOfRange);
    if (nameText.contains(u',') || nameText.contains(u'"'))
        return textfile::failure(Fault::NameHoldsSeparator);
    for (const QString &text : { nameText, targetText }) {
        const QString bad = textfile::firstUnstorable(text);
        if (!bad.isEmpty())
            return textfile::failure(Fault::Unencodable, {}, 0, bad);
    }
    return textfile::done();
}

textfile::Failure savePersonalData(
    const QDir &folder, PersonalData &data, const QString &nameText, const QString &targetText)
{
    const textfile::Failure refused = checkPersonalInput(nameText, targetText);
    if (!refused.ok())
        return refused;
    const textfile::Failure written = textfile::writeLines(folder, PersonalData::FileName, { nameText, targetText });
    if (!written.ok())
        return written;
    data.userName = nameText;
    // The check found a target in the text.
    data.targetPoints = *typedTargetPoints(targetText);
    return written;
}
