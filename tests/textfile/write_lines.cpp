// Writes one line to a data file with the program's writer and prints "saved" or the system error
// number it was refused for. test_data_file runs it as another user, so the system's own permission checks meet
// the writer's.
#include "textfile/DataFile.h"

#include <QDir>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fputs("usage: write_lines FOLDER FILE LINE\n", stderr);
        return 2;
    }
    const textfile::Failure result = textfile::writeLines(
        QDir(QString::fromLocal8Bit(argv[1])), QString::fromLocal8Bit(argv[2]), { QString::fromLocal8Bit(argv[3]) });
    std::fputs(result.ok() ? "saved" : QByteArray::number(result.error).constData(), stdout);
    return 0;
}
