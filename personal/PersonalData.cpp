#include "personal/PersonalData.h"

#include "textfile/DataFile.h"
#include "textfile/Records.h"
#include "textfile/TextLines.h"

void parsePersonalData(const QByteArray &bytes, PersonalData &data)
{
    // Fields flow on from line to line; an empty line is one empty field, so an empty name
    // still leaves the target as the second field.
    QStringList fields;
    for (const QString &line : textfile::splitLines(bytes).lines) {
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
    parsePersonalData(file.bytes, data);
    return textfile::done();
}

PersonalInputCheck checkPersonalInput(const QString &nameText, const QString &targetText)
{
    PersonalInputCheck check;
    const std::optional<double> target = textfile::leadingNumber(targetText);
    // Range tested before rounding, so a huge number never reaches the integer conversion.
    if (!target || !(*target >= 0.5 && *target <= 32767.5)) {
        check.problem = PersonalInputProblem::BadTarget;
        return check;
    }
    const qint64 rounded = textfile::roundHalfEven(*target);
    if (rounded < 1 || rounded > 32767) {
        check.problem = PersonalInputProblem::BadTarget;
        return check;
    }
    if (nameText.contains(u',') || nameText.contains(u'"')) {
        check.problem = PersonalInputProblem::NameHoldsSeparator;
        return check;
    }
    for (const QString &text : { nameText, targetText }) {
        const QString bad = textfile::firstUnstorable(text);
        if (!bad.isEmpty()) {
            check.problem = PersonalInputProblem::Unencodable;
            check.character = bad;
            return check;
        }
    }
    check.targetPoints = qint16(rounded);
    return check;
}

textfile::Failure savePersonalData(
    const QDir &folder, PersonalData &data, const QString &nameText, const QString &targetText)
{
    const PersonalInputCheck check = checkPersonalInput(nameText, targetText);
    switch (check.problem) {
    case PersonalInputProblem::None:
        break;
    case PersonalInputProblem::BadTarget:
        return textfile::failure(textfile::Fault::TargetOutOfRange);
    case PersonalInputProblem::NameHoldsSeparator:
        return textfile::failure(textfile::Fault::HoldsQuote);
    case PersonalInputProblem::Unencodable:
        return textfile::failure(textfile::Fault::Unencodable, {}, 0, check.character);
    }
    const textfile::Failure written = textfile::writeLines(folder, PersonalData::FileName, { nameText, targetText });
    if (!written.ok())
        return written;
    data.userName = nameText;
    data.targetPoints = check.targetPoints;
    return written;
}
