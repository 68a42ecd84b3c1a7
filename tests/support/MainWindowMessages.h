#pragma once

// The main window's message boxes, as the tests of its registration and pick lists expect them.

#include "toolkit/MessageBoxes.h"

#include <QString>

inline const ShownMessage AskNew { QStringLiteral("新しい日付です。新規登録します。"), QStringLiteral("新規登録確認"),
    MessageButtons::OkCancel, MessageIcon::Information };
inline const ShownMessage AskChange { QStringLiteral("既存の日付です。変更登録します。"),
    QStringLiteral("変更登録確認"), MessageButtons::OkCancel, MessageIcon::Information };
inline const ShownMessage Done { QStringLiteral("登録しました"), QStringLiteral("登録終了"), MessageButtons::Ok,
    MessageIcon::Information };

inline ShownMessage askToAdd(const QString &name)
{
    return { name + QStringLiteral("を新たに追加しますか？"), QStringLiteral("保存確認"), MessageButtons::OkCancel,
        MessageIcon::Question };
}

inline ShownMessage refusal(const QString &text, const QString &title)
{
    return { text, title, MessageButtons::Ok, MessageIcon::Warning };
}
