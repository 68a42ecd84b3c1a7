#include "textfile/SystemReason.h"

#include <cerrno>
#include <cstring>

namespace textfile {

namespace {

constexpr int KnownErrors[] = { ENOSPC, EDQUOT, EIO, EACCES, EPERM, EROFS, ENOENT, EISDIR, ENOTDIR, ENAMETOOLONG,
    EMFILE, ENFILE, EBUSY, ETXTBSY, EEXIST, ELOOP, EXDEV, EFBIG };

} // namespace

QString systemReason(int error, bool writing)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空き容量が足りません");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    case EACCES:
    case EPERM:
        return writing ? QStringLiteral("書き込みが許可されていません")
                       : QStringLiteral("読み込みが許可されていません");
    case EROFS:
        return QStringLiteral("読み取り専用のディスクには書き込めません");
    case ENOENT:
        return QStringLiteral("ファイルが見つかりません");
    case EISDIR:
        return QStringLiteral("ファイルではなくフォルダです");
    case ENOTDIR:
        return QStringLiteral("フォルダが見つかりません");
    case ENAMETOOLONG:
        return QStringLiteral("ファイルの名前が長すぎます");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます");
    case EEXIST:
        return QStringLiteral("同じ名前のファイルがすでにあります");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ファイルがほかのプログラムに使われています");
    default:
        break;
    }
    return QStringLiteral("予期しないエラーが発生しました（エラー番号 %1）").arg(error);
}

int errorNumberOf(const QString &text)
{
    for (const int error : KnownErrors) {
        if (text == QString::fromLocal8Bit(std::strerror(error)))
            return error;
    }
    return 0;
}

} // namespace textfile
