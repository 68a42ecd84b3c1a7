#include "app/ReadyPictures.h"
#include "app/StartUp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTest>

class TestStartUp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void applicationIsPrepared()
    {
        prepareApplication();
        // The window icon from the kept pictures, at the sizes Qt gives the window system.
        QCOMPARE(QApplication::windowIcon().availableSizes(), pictures::windowIconSizes());
        if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm")))
            QSKIP("Qt's Japanese translations (qt6-translations-l10n) are not installed");
        // Message boxes speak Japanese though the tests run in the C locale.
        QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), QStringLiteral("登録しますか？"),
            QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
    }
};

QTEST_MAIN(TestStartUp)
#include "test_start_up.moc"
