#pragma once

#include "textfile/Failure.h"
#include "textfile/TextEncoding.h"

#include <QDir>
#include <QString>

#include <optional>

/// The user's name and target points, stored in "ﾌﾟﾗｲﾍﾞｰﾄ.txt", with the points and level that the
/// points computation writes into it.
struct PersonalData
{
    static inline const QString FileName = QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ.txt");

    QString userName;
    /// 16-bit as the file has always held it: a save refuses a target beyond 1..32767, and reading
    /// clamps a larger number written by another editor.
    qint16 targetPoints = 0;
    /// Computed, never stored, and wide: the points of a big catalogue pass 32767.
    qint64 currentPoints = 0;
    qint64 levelPercent = 0;

    bool operator==(const PersonalData &) const = default;
};

/// Reads name and target (first and second field of the file); a missing file gives an empty name
/// and a target of 0. Points and level are left alone, and so is everything after a failed read.
textfile::Failure readPersonalData(const QDir &folder, PersonalData &data);

/// Sets name and target from the file's text.
void parsePersonalData(const textfile::DecodedText &decoded, PersonalData &data);

/// The target a typed text gives: it must start with a number that rounds (half to even) into
/// 1..32767.
std::optional<qint16> typedTargetPoints(const QString &targetText);

/// What savePersonalData would refuse the texts for, the first refusal only, in this order:
/// TargetOutOfRange, NameHoldsSeparator (a comma or double quote in the name), Unencodable (a
/// character code page 932 cannot hold, the name's first).
textfile::Failure checkPersonalInput(const QString &nameText, const QString &targetText);

/// Writes the two texts as typed (name line 1, target line 2), then sets userName and targetPoints.
/// Refuses what checkPersonalInput refuses, before writing anything.
textfile::Failure savePersonalData(
    const QDir &folder, PersonalData &data, const QString &nameText, const QString &targetText);
