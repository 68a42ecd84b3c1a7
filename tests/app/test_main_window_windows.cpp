#include "AppFixture.h"

#include "app/ReadyPictures.h"
#include "app/SplashWindow.h"
#include "tests/support/ScriptedChoices.h"
#include "tests/support/ScriptedMessages.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/Twips.h"
#include "windows/ArtistWindow.h"
#include "windows/PrivateWindow.h"
#include "windows/SearchWindow.h"
#include "windows/SortWindow.h"
#include "windows/StatisticsWindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

/// The windows of the type that are shown, or else those made ahead and still hidden.
template <typename Window> QList<Window *> openWindows(bool visible = true)
{
    QList<Window *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<Window *>(widget); window && window->isVisible() == visible)
            windows << window;
    }
    return windows;
}

/// Whether two pictures of one size differ by at most one in any channel of any pixel: the rounding
/// by which Qt's drawing differs between processors, where a change to the drawing differs by more.
bool alike(const QImage &a, const QImage &b)
{
    const QImage first = a.convertToFormat(QImage::Format_ARGB32);
    const QImage second = b.convertToFormat(QImage::Format_ARGB32);
    if (first.size() != second.size())
        return false;
    for (int y = 0; y < first.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(first.constScanLine(y));
        const auto *other = reinterpret_cast<const QRgb *>(second.constScanLine(y));
        for (int x = 0; x < first.width(); ++x) {
            for (const int shift : { 0, 8, 16, 24 }) {
                if (std::abs(int((row[x] >> shift) & 0xff) - int((other[x] >> shift) & 0xff)) > 1)
                    return false;
            }
        }
    }
    return true;
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
        TablesReading reading(fx->folder());
        SplashWindow splash;
        QCOMPARE(splash.size(), QSize(twipsToPixels(5685), twipsToPixels(2745)));
        QVERIFY(splash.windowTitle().isEmpty());
        // The pictures are kept as drawn from the SVG sources: after a change to a source they
        // must be drawn again (target ready-pictures). The windows show them as kept.
        const QDir icons(QStringLiteral(CROONER_TEST_DATA "/../../app/icons"));
        QHash<QString, QImage> kept;
        for (const pictures::Drawing &drawing : pictures::drawings()) {
            const QString name = pictures::fileName(drawing.source, drawing.size);
            QFile file(icons.filePath(name));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
            const QImage picture = pictures::pictureOf(file.readAll(), drawing.size).copy();
            QVERIFY2(!picture.isNull(), qPrintable(name));
            const QImage drawn = pictures::drawSource(
                icons.filePath(QLatin1String(drawing.source) + QLatin1String(".svg")), drawing.size);
            QVERIFY2(alike(picture, drawn), qPrintable(name));
            kept.insert(name, picture.convertToFormat(QImage::Format_ARGB32));
        }
        const auto shown = [&](const QPixmap &pixmap, const char *source, QSize size) {
            return pixmap.toImage().convertToFormat(QImage::Format_ARGB32)
                == kept.value(pictures::fileName(source, size));
        };
        const QPixmap logo = splash.findChild<QLabel *>(QStringLiteral("Image2"))->pixmap();
        QCOMPARE(logo.deviceIndependentSize(), QSizeF(pictures::Logo));
        QVERIFY(shown(logo, "logo", pictures::Logo));
        const QPixmap icon = splash.findChild<QLabel *>(QStringLiteral("Image1"))->pixmap();
        QCOMPARE(icon.deviceIndependentSize(), QSizeF(pictures::SplashIcon));
        QVERIFY(shown(icon, "app", pictures::SplashIcon));
        const std::unique_ptr<MainWindow> window = splash.startUp(reading);
        QVERIFY(window->isVisible());
        QVERIFY(!splash.isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Crooner's Diary  歌子"));
        for (const char *source : pictures::toolbarSources()) {
            QVERIFY(
                shown(pictures::readyIcon(source, { pictures::ToolbarPicture }).pixmap(pictures::ToolbarPicture, 1.0),
                    source, pictures::ToolbarPicture));
        }
        const QIcon end = window->findChild<QAbstractButton *>(QStringLiteral("cmdEnd"))->icon();
        QCOMPARE(end.availableSizes(), QList<QSize>({ pictures::ToolbarPicture, pictures::ToolbarPicture * 2 }));
        QVERIFY(shown(end.pixmap(pictures::ToolbarPicture, 1.0), "end", pictures::ToolbarPicture));
        QVERIFY(shown(end.pixmap(pictures::ToolbarPicture, 2.0), "end", pictures::ToolbarPicture * 2));
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

    /// A window of the program opens over or beside the main window; one of our own fits a screen
    /// smaller than it was made for (800 by 600 pixels here, as 1280 by 1024 at scale 2), and opens
    /// again where the user left it.
    void windowsOpenOnTheScreenWhereTheyWereLeft()
    {
        fx->open()->show();
        const QRect screen = fx->window()->screen()->availableGeometry();
        click(QStringLiteral("cmdKasyu"));
        const QRect artist = openWindows<ArtistWindow>().constFirst()->frameGeometry();
        QVERIFY(screen.contains(artist) && artist.intersects(fx->window()->frameGeometry()));
        const auto openStatistics = [this] {
            fx->child<QMenu>(QStringLiteral("mnuView"))->actions().constLast()->trigger();
            return openWindows<StatisticsWindow>().constFirst();
        };
        QVERIFY(screen.contains(openStatistics()->frameGeometry()));
        openStatistics()->setGeometry(40, 30, 500, 400);
        openStatistics()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(openStatistics()->geometry(), QRect(40, 30, 500, 400));
    }

    /// The artist, analysis, settings and search windows are made ahead once the main window is
    /// painted, and again after each close. An opening takes that window while the tables still hold what it shows,
    /// else makes a new one; either way nothing of the window closed before comes back.
    void windowsMadeAheadShowTheDataAsOpened()
    {
        MainWindow *window = fx->open();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_COMPARE(openWindows<ArtistWindow>(false).size(), 1);
        QTRY_COMPARE(openWindows<SortWindow>(false).size(), 1);
        ArtistWindow *aheadArtists = openWindows<ArtistWindow>(false).constFirst();
        const QPointer<SortWindow> aheadSort = openWindows<SortWindow>(false).constFirst();

        click(QStringLiteral("cmdKasyu"));
        QCOMPARE(openWindows<ArtistWindow>(), QList<ArtistWindow *> { aheadArtists });
        QCOMPARE(aheadArtists->findChild<QListWidget *>(QStringLiteral("lstKasyu"))->count(), 2);
        QCOMPARE(
            aheadArtists->findChild<QGroupBox *>(QStringLiteral("fraNamae"))->title(), QStringLiteral("登録 2 / 2"));

        SongRecord song;
        song.title = QStringLiteral("朝の歌");
        song.reading = QStringLiteral("あさのうた");
        song.artist = QStringLiteral("山田一郎");
        QVERIFY(fx->tables().addSong(song).ok());
        click(QStringLiteral("cmdSort"));
        const QList<SortWindow *> sorts = openWindows<SortWindow>();
        QCOMPARE(sorts.size(), 1);
        QVERIFY(!aheadSort);
        QCOMPARE(sorts.first()->findChild<FlexGrid *>(QStringLiteral("msgKyoku2"))->rows(),
            fx->tables().songs().songCount() + 1);

        aheadArtists->findChild<QLineEdit *>(QStringLiteral("txtKasyu"))->setText(QStringLiteral("書きかけ"));
        const QPointer<ArtistWindow> closed = aheadArtists;
        messages->queueChoice(1);
        QTest::mouseClick(aheadArtists->findChild<QAbstractButton *>(QStringLiteral("cmdModori")), Qt::LeftButton);
        QTRY_VERIFY(!closed);
        QTRY_COMPARE(openWindows<ArtistWindow>(false).size(), 1);
        ArtistWindow *next = openWindows<ArtistWindow>(false).constFirst();
        click(QStringLiteral("cmdKasyu"));
        QCOMPARE(openWindows<ArtistWindow>(), QList<ArtistWindow *> { next });
        QCOMPARE(next->findChild<QComboBox *>(QStringLiteral("cboHira0"))->count(), 5);
        QCOMPARE(
            next->findChild<QLineEdit *>(QStringLiteral("txtKasyu"))->text(), fx->tables().artists().artist(1).name);

        // The settings window made before the name changed is not the one shown.
        QTRY_COMPARE(openWindows<PrivateWindow>(false).size(), 1);
        const QPointer<PrivateWindow> aheadPrivate = openWindows<PrivateWindow>(false).constFirst();
        QVERIFY(fx->tables().savePersonal(QStringLiteral("新しい名前"), QStringLiteral("500")).ok());
        click(QStringLiteral("cmdPrivate"));
        QVERIFY(!aheadPrivate);
        QCOMPARE(openWindows<PrivateWindow>().constFirst()->findChild<QLineEdit *>(QStringLiteral("txtNamae"))->text(),
            QStringLiteral("新しい名前"));

        // The search window made before an outing was deleted searches the diary as it is now.
        QTRY_COMPARE(openWindows<SearchWindow>(false).size(), 1);
        SearchWindow *aheadSearch = openWindows<SearchWindow>(false).constFirst();
        const QString date = fx->tables().diary().entry(1).date;
        QVERIFY(fx->tables().removeOuting(1).ok());
        for (QAction *item : fx->child<QMenu>(QStringLiteral("mnuDiary"))->actions()) {
            if (item->text() == QStringLiteral("検索(&F)…"))
                item->trigger();
        }
        QCOMPARE(openWindows<SearchWindow>(), QList<SearchWindow *> { aheadSearch });
        aheadSearch->findChild<QLineEdit *>(QStringLiteral("txtSearch"))->setText(date);
        QCOMPARE(aheadSearch->findChild<QLabel *>(QStringLiteral("lblCount"))->text(), QStringLiteral("0件"));
    }

    void menuItemsDoWhatTheirButtonsDo_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("item");
        const char *const rows[][3] = { { "cmdNew", "mnuDiary", "新規(&N)" }, { "cmdTouroku", "mnuDiary", "登録(&S)" },
            { "cmdSort", "mnuView", "分析(&A)" }, { "cmdKasyu", "mnuView", "歌手(&K)" },
            { "cmdPrivate", "mnuView", "設定(&O)" }, { "cmdHelp", "mnuHelp", "ヘルプ(&H)" },
            { "cmdEnd", "mnuFile", "終了(&X)" } };
        for (const auto &row : rows)
            QTest::newRow(row[2]) << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1])
                                  << QString::fromUtf8(row[2]);
    }

    /// The button and its menu item, each on a fresh window with a date typed: the same windows
    /// open, the same boxes show, the same files and inputs result.
    void menuItemsDoWhatTheirButtonsDo()
    {
        QFETCH(QString, button);
        QFETCH(QString, menu);
        QFETCH(QString, item);
        const auto outcome = [this](const std::function<void()> &act) {
            fx = std::make_unique<AppFixture>();
            messages->clear();
            fx->open()->show();
            fx->child<QComboBox>(QStringLiteral("cboDate"))->setEditText(QStringLiteral("2026年12月01日"));
            act();
            QStringList state;
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (widget->isVisible())
                    state << widget->objectName() + u'/' + widget->windowTitle();
            }
            state.sort();
            for (const ShownMessage &shown : messages->shown())
                state << shown.title + u'/' + shown.text;
            state << fx->child<QComboBox>(QStringLiteral("cboDate"))->currentText();
            for (const auto &[name, bytes] : fx->snapshot().asKeyValueRange())
                state << name + u'/' + QString::fromLatin1(bytes.toHex());
            return state;
        };
        const QStringList byButton = outcome([&] { click(button); });
        const QStringList byMenu = outcome([&] {
            QAction *action = nullptr;
            for (QAction *candidate : fx->child<QMenu>(menu)->actions()) {
                if (candidate->text() == item)
                    action = candidate;
            }
            QVERIFY(action);
            action->trigger();
        });
        QCOMPARE(byMenu, byButton);
        QVERIFY(byButton.size() > 1);
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
        auto *songs = fx->child<QComboBox>(QStringLiteral("cboInpKyoku"));
        click(QStringLiteral("cmdInpKyoku"));
        pickItem(songs, 2);
        const int rows = fx->child<FlexGrid>(QStringLiteral("msgSenkyoku"))->rows();

        SongRecord song;
        song.title = QStringLiteral("朝の歌");
        song.reading = QStringLiteral("あさのうた");
        song.artist = QStringLiteral("山田一郎");
        song.selfRating = QStringLiteral("◎");
        QVERIFY(fx->tables().addSong(song).ok());

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
        QVERIFY(fx->tables().savePersonal(QStringLiteral("歌子"), QStringLiteral("50")).ok());
        click(QStringLiteral("cmdKasyu"));
        ArtistWindow *artists = openWindows<ArtistWindow>().constFirst();
        QTest::mouseClick(artists->findChild<QAbstractButton *>(QStringLiteral("cmdNew")), Qt::LeftButton);
        artists->findChild<QLineEdit *>(QStringLiteral("txtKasyu"))->setText(QStringLiteral("新人"));
        artists->findChild<QLineEdit *>(QStringLiteral("txtHira"))->setText(QStringLiteral("しんじん"));
        QTest::mouseClick(artists->findChild<QAbstractButton *>(QStringLiteral("cmdTouroku")), Qt::LeftButton);

        QCOMPARE(fx->tables().artists().artistCount(), 3);
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
        // 24 points of 24: the level reaches 100.
        QVERIFY(fx->tables().savePersonal(QStringLiteral("新しい名前"), QStringLiteral("24")).ok());
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

    /// Ctrl+F opens the search; Return on a result shows that outing, and a song's history counts
    /// it from the diary.
    void searchShowsTheOutingAndTheSongsHistory()
    {
        fx->open()->show();
        QVERIFY(QTest::qWaitForWindowExposed(fx->window()));
        QTest::keyClick(fx->window(), Qt::Key_F, Qt::ControlModifier);
        QWidget *search = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QStringLiteral("frmSearch") && widget->isVisible())
                search = widget;
        }
        QVERIFY(search);
        auto *text = search->findChild<QLineEdit *>(QStringLiteral("txtSearch"));
        text->setText(QStringLiteral("02月10"));
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(fx->child<QLabel>(QStringLiteral("lblKensu"))->text(), QStringLiteral("2 / 3"));
        QCOMPARE(fx->child<QComboBox>(QStringLiteral("cboDate"))->currentText(), QStringLiteral("2024年02月10日"));

        text->setText(QStringLiteral("夏祭り"));
        QTest::mouseClick(search->findChild<QAbstractButton *>(QStringLiteral("cmdHistory")), Qt::LeftButton);
        QWidget *history = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QStringLiteral("frmHistory") && widget->isVisible())
                history = widget;
        }
        QVERIFY(history);
        QCOMPARE(history->findChild<QLabel *>(QStringLiteral("lblSummary"))->text(),
            QStringLiteral("初めて: 2024年01月05日　最後: 2024年03月20日　2回"));

        // The main window's song grid: Shift+F10 on its current row, the first song of the outing shown.
        history->close();
        auto *grid = fx->child<FlexGrid>(QStringLiteral("msgSenkyoku"));
        fx->child<QScrollBar>(QStringLiteral("hsbData"))->setValue(3);
        QTRY_VERIFY(grid->currentIndex().isValid());
        QTimer::singleShot(0, [] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QCOMPARE(menu->actions().size(), 2);
            QCOMPARE(menu->actions().first()->text(), QStringLiteral("この曲の履歴(&H)"));
            menu->actions().first()->trigger();
            menu->close();
        });
        QTest::keyClick(grid, Qt::Key_F10, Qt::ShiftModifier);
        history = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QStringLiteral("frmHistory") && widget->isVisible())
                history = widget;
        }
        QVERIFY(history);
        QCOMPARE(
            history->findChild<QLabel *>(QStringLiteral("lblSong"))->text(), QStringLiteral("夏祭り / 鈴木バンド"));
    }

    /// ファイル > CSVに書き出す… and バックアップを作成…: the folder or file asked for, the files
    /// written, a second export asked about before anything is replaced.
    void fileMenuExportsAndBacksUp()
    {
        fx->open()->show();
        const auto trigger = [this](const QString &text) {
            for (QAction *item : fx->child<QMenu>(QStringLiteral("mnuFile"))->actions()) {
                if (item->text() == text)
                    item->trigger();
            }
        };
        ScriptedChoices choices;
        QTemporaryDir out;
        choices.queueChoice(out.path());
        trigger(QStringLiteral("CSVに書き出す(&E)…"));
        QCOMPARE(choices.asked().last().kind, FileQuestion::Kind::Folder);
        QCOMPARE(messages->shown().size(), 1);
        QCOMPARE(messages->shown().last().title, QStringLiteral("書き出し終了"));
        QVERIFY(messages->shown().last().text.startsWith(QStringLiteral("CSVに書き出しました\n")));
        QVERIFY(messages->shown().last().text.contains(QStringLiteral("\noutings.csv（6行）")));
        const QByteArray outings = testfiles::fileBytes(QDir(out.path()), QStringLiteral("outings.csv"));
        QVERIFY(outings.startsWith("\xEF\xBB\xBF"));

        messages->clear();
        choices.queueChoice(out.path());
        messages->queueAnswer(MessageAnswer::Cancel);
        trigger(QStringLiteral("CSVに書き出す(&E)…"));
        QCOMPARE(messages->shown(),
            QList<ShownMessage>(
                { { QStringLiteral("outings.csv、songs.csv、artists.csv はすでにあります。上書きしますか？"),
                    QStringLiteral("上書き確認"), MessageButtons::OkCancel, MessageIcon::Question } }));

        messages->clear();
        const QString zip = QDir(out.path()).filePath(QStringLiteral("控え.zip"));
        choices.queueChoice(zip);
        trigger(QStringLiteral("バックアップを作成(&B)…"));
        QCOMPARE(choices.asked().last().kind, FileQuestion::Kind::SaveFile);
        QVERIFY(QFileInfo(choices.asked().last().suggested).fileName().startsWith(QStringLiteral("カラオケ日記-")));
        QCOMPARE(QFileInfo(choices.asked().last().suggested).absolutePath(), QDir(out.path()).absolutePath());
        QCOMPARE(messages->shown().size(), 1);
        QCOMPARE(messages->shown().last().title, QStringLiteral("バックアップ"));
        QVERIFY(messages->shown().last().text.startsWith(QStringLiteral("バックアップしました\n")));
        QVERIFY(QFileInfo(zip).size() > 0);
    }
};

QTEST_MAIN(MainWindowWindowsTest)
#include "test_main_window_windows.moc"
