#include "textfile/SystemReason.h"

#include <cerrno>

namespace textfile {

QString systemReason(int error, bool writing)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空き容量が足りません");
    case EFBIG:
    case EOVERFLOW:
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
    case ENOTEMPTY:
        return QStringLiteral("フォルダが空ではありません");
    case ENAMETOOLONG:
        return QStringLiteral("ファイルの名前が長すぎます");
    case ELOOP:
        return QStringLiteral("シンボリックリンクが循環しています");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます");
    case EEXIST:
        return QStringLiteral("同じ名前のファイルがすでにあります");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ファイルがほかのプログラムに使われています");
    case EXDEV:
        return QStringLiteral("別のディスクのあいだではできない操作です");
    case EMLINK:
        return QStringLiteral("ファイルのリンクが多すぎます");
    case ENOTSUP:
    case EINVAL:
        return QStringLiteral("このディスクではできない操作です");
    case ENODEV:
    case ENXIO:
        return QStringLiteral("ディスクが見つかりません（取り外されたかもしれません）");
    case ESTALE:
    case ETIMEDOUT:
    case ENOTCONN:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ECONNRESET:
    case ECONNREFUSED:
    case ENETDOWN:
    case ENETUNREACH:
        return QStringLiteral("ネットワーク上のディスクにつながりません");
    case ENOMEM:
        return QStringLiteral("メモリが足りません");
    case EAGAIN:
    case EINTR:
        return QStringLiteral("ディスクが一時的に使えません。もう一度お試しください");
    case ENOLCK:
        // A network folder whose server keeps no locks.
        return QStringLiteral("このフォルダーではファイルをロックできません");
    case EDEADLK:
        return QStringLiteral("ファイルをロックできません");
    default:
        break;
    }
    return QStringLiteral("予期しないエラーが発生しました（エラー番号 %1）").arg(error);
}

} // namespace textfile
