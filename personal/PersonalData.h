#pragma once

#include "textfile/Failure.h"

#include <QDir>
#include <QString>

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

/// Sets name and target from the bytes of the file.
void parsePersonalData(const QByteArray &bytes, PersonalData &data);

/// Why a typed name or target is refused before anything is written.
enum class PersonalInputProblem
{
    None,
    BadTarget,
    NameHoldsSeparator,
    Unencodable
};

struct PersonalInputCheck
{
    PersonalInputProblem problem = PersonalInputProblem::None;
    QString character; ///< for Unencodable
    qint16 targetPoints = 0; ///< the target the text gives, when there is no problem
};

/// Target text must start with a number that rounds (half to even) into 1..32767; the name must
/// hold no comma or double quote; both must be writable in code page 932.
PersonalInputCheck checkPersonalInput(const QString &nameText, const QString &targetText);

/// Writes the two texts as typed (name line 1, target line 2), then sets userName and targetPoints.
/// Refuses what checkPersonalInput refuses, before writing anything: a bad target as TargetOutOfRange, a
/// comma or double quote in the name as HoldsQuote, a character the file cannot hold as Unencodable.
textfile::Failure savePersonalData(
    const QDir &folder, PersonalData &data, const QString &nameText, const QString &targetText);
