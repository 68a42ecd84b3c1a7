#include "AppFixture.h"

#include "analysis/SortWindow.h"
#include "app/SplashWindow.h"
#include "artists/ArtistWindow.h"
#include "personal/PrivateWindow.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/ScriptedMessages.h"
#include "toolkit/Twips.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace {

template <typename Window> QList<Window *> openWindows()
{
    QList<Window *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<Window *>(widget); window && window->isVisible())
            windows << window;
    }
    return windows;
}

} // namespace

class MainWindowWindowsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> fx;
    std::unique_ptr<ScriptedMessages> messages;

    void click(const QString &button) { QTest::mouseClick(fx->child<QAbstractButton>(button), Qt::LeftButton); }

private slots:
    void init()
    {
        messages = std::make_unique<ScriptedMessages>();
        fx = std::make_unique<AppFixture>();
    }
    void cleanup()
    {
        fx.reset();
        messages.reset();
    }

    void splashGivesWayToTheMainWindow()
    {
        SharedTables tables(fx->folder());
        SplashWindow splash;
        QCOMPARE(splash.size(), QSize(twipsToPixels(5685), twipsToPixels(2745)));
        QVERIFY(splash.windowTitle().isEmpty());
        const std::unique_ptr<MainWindow> window = splash.startUp(tables);
        QVERIFY(window->isVisible());
        QVERIFY(!splash.isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Crooner's Diary  歌子"));
    }

    void toolbarWindowsOpenOnce()
    {
        fx->open()->show();
        click(QStringLiteral("cmdKasyu"));
        click(QStringLiteral("cmdKasyu"));
        QCOMPARE(openWindows<ArtistWindow>().size(), 1);
        click(QStringLiteral("cmdSort"));
        click(QStringLiteral("cmdSort"));
        QCOMPARE(openWindows<SortWindow>().size(), 1);
        click(QStringLiteral("cmdPrivate"));
        click(QStringLiteral("cmdPrivate"));
        QCOMPARE(openWindows<PrivateWindow>().size(), 1);
    }

    void registrationClosesTheAnalysisWindow()
    {
        fx->open()->show();
        click(QStringLiteral("cmdSort"));
        QCOMPARE(openWindows<SortWindow>().size(), 1);
        click(QStringLiteral("cmdTouroku"));
        QCOMPARE(messages->shown().last().text, QStringLiteral("登録しました"));
        QVERIFY(openWindows<SortWindow>().isEmpty());
    }

    void savedSongRefillsTheSongChoice()
    {
        fx->open()->show();
        click(QStringLiteral("cmdKasyu"));
        const QList<ArtistWindow *> artists = openWindows<ArtistWindow>();
        QCOMPARE(artists.size(), 1);
        auto *songs = fx->child<QComboBox>(QStringLiteral("cboInpKyoku"));
        click(QStringLiteral("cmdInpKyoku"));
        pickItem(songs, 2);
        const int rows = fx->child<FlexGrid>(QStringLiteral("msgSenkyoku"))->rows();

        SongRecord song;
        song.title = QStringLiteral("朝の歌");
        song.reading = QStringLiteral("あさのうた");
        song.artist = QStringLiteral("山田一郎");
        song.selfRating = QStringLiteral("◎");
        QVERIFY(fx->tables().songs.addSong(fx->folder(), song).ok());
        emit artists.first()->songSaved();

        QCOMPARE(songs->count(), 5);
        QCOMPARE(songs->itemText(0), QStringLiteral("朝の歌"));
        QCOMPARE(songs->currentIndex(), -1);
        QCOMPARE(fx->child<FlexGrid>(QStringLiteral("msgSenkyoku"))->rows(), rows);
        QCOMPARE(fx->child<QLabel>(QStringLiteral("lblKyoku"))->text(), QStringLiteral("5曲"));
        QCOMPARE(fx->child<QLabel>(QStringLiteral("lblPoint"))->text(), QStringLiteral("Point 28"));
    }

    void registeredArtistUpdatesTotalsAndGauge()
    {
        fx->open()->show();
        // 24 points of 50: four bars lit; 25 lights the fifth.
        fx->tables().personal.targetPoints = 50;
        click(QStringLiteral("cmdKasyu"));
        ArtistWindow *artists = openWindows<ArtistWindow>().constFirst();
        QTest::mouseClick(artists->findChild<QAbstractButton *>(QStringLiteral("cmdNew")), Qt::LeftButton);
        artists->findChild<QLineEdit *>(QStringLiteral("txtKasyu"))->setText(QStringLiteral("新人"));
        artists->findChild<QLineEdit *>(QStringLiteral("txtHira"))->setText(QStringLiteral("しんじん"));
        QTest::mouseClick(artists->findChild<QAbstractButton *>(QStringLiteral("cmdTouroku")), Qt::LeftButton);

        QCOMPARE(fx->tables().artists.artistCount(), 3);
        QCOMPARE(fx->child<QLabel>(QStringLiteral("lblNinzu"))->text(), QStringLiteral("3名"));
        QCOMPARE(fx->child<QLabel>(QStringLiteral("lblPoint"))->text(), QStringLiteral("Point 25"));
        QCOMPARE(
            fx->child<QFrame>(QStringLiteral("shpLevel5"))->palette().color(QPalette::Window), QColor(255, 255, 0));
    }

    void savedPersonalDataSetsCaptionAndGauge()
    {
        MainWindow *window = fx->open();
        window->show();
        click(QStringLiteral("cmdPrivate"));
        const QList<PrivateWindow *> privates = openWindows<PrivateWindow>();
        QCOMPARE(privates.size(), 1);
        fx->tables().personal.userName = QStringLiteral("新しい名前");
        fx->tables().personal.levelPercent = 100;
        emit privates.first()->saved();
        QCOMPARE(window->windowTitle(), QStringLiteral("Crooner's DB  新しい名前"));
        QCOMPARE(fx->child<QFrame>(QStringLiteral("shpLevel10"))->palette().color(QPalette::Window), QColor(255, 0, 0));
    }

    void endClosesHelpAndEveryWindow()
    {
        fx->open()->show();
        click(QStringLiteral("cmdHelp"));
        QVERIFY(AppFixture::helpShown());
        click(QStringLiteral("cmdKasyu"));
        click(QStringLiteral("cmdEnd"));
        QVERIFY(!AppFixture::helpShown());
        QVERIFY(openWindows<ArtistWindow>().isEmpty());
        QVERIFY(!fx->window()->isVisible());
    }
};

QTEST_MAIN(MainWindowWindowsTest)
#include "test_main_window_windows.moc"
