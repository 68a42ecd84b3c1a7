// Times the program's windows at the limits of their data: every user action against one frame
// (16 ms), the start-up against 250 ms, and the peak resident memory against 80 MB.

#include "app/MainWindow.h"
#include "app/StartUp.h"
#include "bench/BenchData.h"
#include "bench/Stats.h"
#include "tables/SharedTables.h"
#include "toolkit/ScriptedMessages.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QScrollBar>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <deque>
#include <functional>
#include <memory>
#include <sys/resource.h>

namespace {

constexpr double FrameMs = 16;
constexpr double StartUpMs = 250;
constexpr double PeakMemoryMb = 80;
const char *const ChildFlag = "--child";
const char *const WriteDataFlag = "--write-data";

/// Counts paint events anywhere in the program, so the report shows that painting happened
/// inside the timed regions.
class PaintCounter : public QObject
{
public:
    long count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

PaintCounter *paintCounter = nullptr;

/// Runs what the operation left pending: posted events (queued calls, layout and update requests,
/// which paint) and deferred deletes of closed windows.
void settle()
{
    for (int pass = 0; pass < 3; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

/// Other work on the machine shows in the wall times; the report states how busy it was.
QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readAll()).section(u' ', 0, 2);
}

qint64 processCpuNs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

/// Times one run of operation, with everything it left pending, as one sample.
void timeOnce(Timings &timings, const std::function<void()> &operation)
{
    settle();
    const long paintsBefore = paintCounter->count;
    const qint64 cpuBefore = processCpuNs();
    QElapsedTimer timer;
    timer.start();
    operation();
    settle();
    timings.samples.push_back(double(timer.nsecsElapsed()) / 1e6);
    timings.cpuSamples.push_back(double(processCpuNs() - cpuBefore) / 1e6);
    timings.paints += paintCounter->count - paintsBefore;
}

QtMessageHandler defaultMessageHandler = nullptr;

/// The offscreen platform can neither raise a window nor grab the keyboard for a popup, and says so
/// each time.
void dropPlatformWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (defaultMessageHandler)
        defaultMessageHandler(type, context, message);
}

qint64 monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

/// The peak resident memory of this process (getrusage ru_maxrss), in kB.
long peakRssKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

/// The peak resident memory of the program this process runs since it was started (VmHWM), in kB.
/// A started process's ru_maxrss would also count the memory of the benchmark it was forked from.
long programPeakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return 0;
}

[[noreturn]] void fail(const QString &what)
{
    qFatal("benchmark failed: %s", qPrintable(what));
}

void check(bool condition, const QString &what)
{
    if (!condition)
        fail(what);
}

template <typename Widget> Widget *child(QWidget *window, const QString &name)
{
    auto *widget = window->findChild<Widget *>(name);
    check(widget != nullptr, QStringLiteral("no control ") + name);
    return widget;
}

QWidget *openWindow(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name && widget->isVisible())
            return widget;
    }
    return nullptr;
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

/// Chooses item index of a pick list as the program sees a user's choice.
void choose(QComboBox *box, int index)
{
    check(index >= 0, QStringLiteral("no such choice in ") + box->objectName());
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

void copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files)) {
        if (!QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name)))
            fail(QStringLiteral("cannot copy ") + name);
    }
}

/// The program running on its own copy of a data folder, started as main.cpp starts it.
class Session
{
public:
    Session(const QString &source, const QString &folder)
        : m_folder(folder)
    {
        copyFolder(source, folder);
    }

    ~Session()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget != m_main.get())
                widget->close();
        }
        settle();
        m_main.reset();
        settle();
        QDir(m_folder).removeRecursively();
    }

    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    void start()
    {
        m_tables = std::make_unique<SharedTables>(QDir(m_folder));
        m_main = startMainWindow(*m_tables);
    }

    SharedTables &tables() const { return *m_tables; }

    template <typename Widget> Widget *control(const QString &name) const { return child<Widget>(m_main.get(), name); }

private:
    QString m_folder;
    std::unique_ptr<SharedTables> m_tables;
    std::unique_ptr<MainWindow> m_main;
};

class Bench
{
public:
    Bench()
        : m_data(BenchData::make())
    {
        check(m_root.isValid(), QStringLiteral("no temporary folder"));
        m_full = m_root.filePath(QStringLiteral("full"));
        m_oneShort = m_root.filePath(QStringLiteral("one-short"));
        QDir().mkpath(m_full);
        QDir().mkpath(m_oneShort);
        m_data.write(QDir(m_full), false);
        m_data.write(QDir(m_oneShort), true);
    }

    /// Runs the groups named in only, separated by commas; all of them when only is empty.
    void run(const QString &only)
    {
        const QStringList chosen = only.split(u',', Qt::SkipEmptyParts);
        const std::pair<const char *, std::function<void()>> groups[] = {
            { "start-up",
                [this] {
                    startUpNewProcess();
                    startUpInProcess();
                } },
            { "registration",
                [this] {
                    registerOuting(true);
                    registerOuting(false);
                } },
            { "main-window", [this] { browseMainWindow(); } },
            { "artist-window", [this] { browseArtistWindow(); } },
            { "song", [this] { saveSong(); } },
            { "artist-registration", [this] { registerArtist(); } },
            { "analysis", [this] { analysisWindow(); } },
            { "search", [this] { searchWindow(); } },
            { "statistics", [this] { statisticsWindow(); } },
        };
        QStringList names;
        for (const auto &[name, group] : groups)
            names.append(QLatin1String(name));
        for (const QString &name : chosen)
            check(names.contains(name), QStringLiteral("no group %1; the groups are %2").arg(name, names.join(u' ')));
        for (const auto &[name, group] : groups) {
            if (chosen.isEmpty() || chosen.contains(QLatin1String(name)))
                group();
        }
    }

    void report() const
    {
        QTextStream out(stdout);
        out << "| Operation | Samples | Median ms | p10 .. p90 ms | min .. max ms | CPU median ms | Paints | "
               "Target ms | Met |\n";
        out << "|---|---:|---:|---:|---:|---:|---:|---:|---|\n";
        const auto ms = [](double value) { return QString::number(value, 'f', 2); };
        for (const Timings &t : m_results) {
            out << "| " << t.operation << " | " << t.samples.size() << " | " << ms(t.median()) << " | " << ms(t.p10())
                << " .. " << ms(t.p90()) << " | " << ms(t.min()) << " .. " << ms(t.max()) << " | "
                << (t.cpuSamples.empty() ? QStringLiteral("–") : ms(t.cpuMedian())) << " | " << t.paints << " | "
                << t.targetMs << " | " << (t.met() ? "yes" : "**no**") << " |\n";
        }
        const double ownMb = double(peakRssKb()) / 1024;
        const double childMb = double(m_programPeakKb) / 1024;
        out << "\n| Peak resident memory | MB | Target MB | Met |\n";
        out << "|---|---:|---:|---|\n";
        out << "| the program alone (VmHWM): the largest of the new processes above (started, one window opened) | "
            << QString::number(childMb, 'f', 1) << " | " << PeakMemoryMb << " | "
            << (childMb < PeakMemoryMb ? "yes" : "**no**") << " |\n";
        out << "| this benchmark (ru_maxrss), after every operation above | " << QString::number(ownMb, 'f', 1) << " | "
            << PeakMemoryMb << " | " << (ownMb < PeakMemoryMb ? "yes" : "**no**") << " |\n";
        bool allMet = childMb < PeakMemoryMb && ownMb < PeakMemoryMb;
        for (const Timings &t : m_results)
            allMet = allMet && t.met();
        out << "\nLoad average (1, 5, 15 min) after: " << loadAverage() << "\n";
        out << (allMet ? "Every target met." : "Some targets missed.") << "\n";
    }

private:
    Timings &result(const QString &operation, double targetMs = FrameMs)
    {
        m_results.push_back({ operation, targetMs, {}, {}, 0 });
        return m_results.back();
    }

    QString sessionFolder() { return m_root.filePath(QStringLiteral("session-%1").arg(++m_sessions)); }

    std::unique_ptr<Session> started(const QString &source)
    {
        auto session = std::make_unique<Session>(source, sessionFolder());
        session->start();
        settle();
        return session;
    }

    /// Starts the program in a process of its own on the full data, optionally pressing button once
    /// it has started; returns the launch time and what the process reports (see childMain).
    std::pair<qint64, QList<QByteArray>> runChild(const QString &button = QString())
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList arguments { QLatin1String(ChildFlag), m_full };
        if (!button.isEmpty())
            arguments.append(button);
        const qint64 launched = monotonicNs();
        process.start(QCoreApplication::applicationFilePath(), arguments);
        check(process.waitForFinished(60000) && process.exitCode() == 0, QStringLiteral("child process"));
        const QList<QByteArray> report = process.readAllStandardOutput().trimmed().split(' ');
        check(report.size() == (button.isEmpty() ? 3 : 6) && report.value(0).toLongLong() > launched,
            QStringLiteral("child process report"));
        m_programPeakKb = std::max(m_programPeakKb, report.last().toLong());
        return { launched, report };
    }

    /// From launching the program to its main window shown and painted: each sample is a new
    /// process, which reports the moment its start-up settled.
    void startUpNewProcess()
    {
        Timings &timings = result(QStringLiteral("start-up, new process: launch → main window shown"), StartUpMs);
        for (int rep = 0; rep < 15; ++rep) {
            const auto [launched, report] = runChild();
            timings.samples.push_back(double(report.value(0).toLongLong() - launched) / 1e6);
            timings.paints += report.value(1).toLong();
        }
    }

    /// The first opening of a window in a run pays for what each run loads once; each sample is
    /// a new process.
    void firstOpeningNewProcess(const QString &operation, const QString &button)
    {
        Timings &timings = result(operation);
        for (int rep = 0; rep < 10; ++rep) {
            const QList<QByteArray> report = runChild(button).second;
            timings.samples.push_back(report.value(2).toDouble());
            timings.cpuSamples.push_back(report.value(3).toDouble());
            timings.paints += report.value(4).toLong();
        }
    }

    void startUpInProcess()
    {
        Timings &timings = result(QStringLiteral("start-up, in process: tables + main window → shown"), StartUpMs);
        for (int rep = 0; rep < 20; ++rep) {
            Session session(m_full, sessionFolder());
            timeOnce(timings, [&] { session.start(); });
            check(session.tables().diary.entryCount() == 300, QStringLiteral("start-up read the diary"));
        }
    }

    /// 新規, then the outing typed and picked as a user does, then 登録 (timed). A new outing goes
    /// from 299 to 300; a change rewrites outing 299.
    void registerOuting(bool newOuting)
    {
        Timings &timings = result(newOuting ? QStringLiteral("registration, new outing (299 → 300)")
                                            : QStringLiteral("registration, changed outing (of 299)"));
        const DiaryEntry &outing = m_data.outings.last();
        for (int rep = 0; rep < 20; ++rep) {
            auto session = started(m_oneShort);
            auto *cboBasyo = session->control<QComboBox>(QStringLiteral("cboBasyo"));
            auto *cboJikan = session->control<QComboBox>(QStringLiteral("cboJikan"));
            if (newOuting) {
                click(session->control<QAbstractButton>(QStringLiteral("cmdNew")));
                session->control<QComboBox>(QStringLiteral("cboDate"))->setEditText(outing.date);
                cboJikan->setEditText(outing.duration);
                cboBasyo->setEditText(outing.place);
                click(session->control<QAbstractButton>(QStringLiteral("cmdMember")));
                auto *cboMember = session->control<QComboBox>(QStringLiteral("cboMember"));
                for (const QString &member : outing.members)
                    choose(cboMember, cboMember->findText(member));
                click(session->control<QAbstractButton>(QStringLiteral("cmdInpKyoku")));
                auto *cboInpKyoku = session->control<QComboBox>(QStringLiteral("cboInpKyoku"));
                for (const QString &title : outing.songTitles)
                    choose(cboInpKyoku, cboInpKyoku->findText(title));
            } else {
                cboJikan->setEditText(QStringLiteral("4.5"));
                cboBasyo->setEditText(m_data.places.first());
            }
            settle();
            m_messages.clear();
            timeOnce(timings, [&] { click(session->control<QAbstractButton>(QStringLiteral("cmdTouroku"))); });
            const DiaryBook &diary = session->tables().diary;
            if (newOuting) {
                check(diary.entryCount() == 300 && diary.entry(300) == outing, QStringLiteral("new outing stored"));
            } else {
                check(diary.entryCount() == 299 && diary.entry(299).place == m_data.places.first(),
                    QStringLiteral("changed outing stored"));
            }
            check(m_messages.shown().size() >= 2 && m_messages.shown().at(1).text == QStringLiteral("登録しました"),
                QStringLiteral("registration reported"));
        }
    }

    void browseMainWindow()
    {
        auto session = started(m_full);
        auto *hsbData = session->control<QScrollBar>(QStringLiteral("hsbData"));
        Timings &timings = result(QStringLiteral("main window: scrolling to each outing (arrow click)"));
        hsbData->setValue(1);
        for (int pass = 0; pass < 2; ++pass) {
            const auto step = pass == 0 ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub;
            for (int i = 1; i < 300; ++i)
                timeOnce(timings, [&] { hsbData->triggerAction(step); });
            check(hsbData->value() == (pass == 0 ? 300 : 1), QStringLiteral("scrolled through the diary"));
        }

        firstOpeningNewProcess(QStringLiteral("opening the artist window (歌手), first time in a run (new process)"),
            QStringLiteral("cmdKasyu"));
        Timings &opening = result(QStringLiteral("opening the artist window (歌手), again"));
        openRepeatedly(
            opening, session->control<QAbstractButton>(QStringLiteral("cmdKasyu")), QStringLiteral("frmKashu"));
    }

    /// Opens a window with button and closes it with its 戻る, 20 times timed after one untimed
    /// opening: the first opening in a run is timed in a new process instead.
    void openRepeatedly(Timings &timings, QAbstractButton *button, const QString &windowName)
    {
        for (int rep = -1; rep < 20; ++rep) {
            if (rep < 0)
                click(button);
            else
                timeOnce(timings, [&] { click(button); });
            settle();
            QWidget *window = openWindow(windowName);
            check(window != nullptr, windowName + QStringLiteral(" open"));
            click(child<QAbstractButton>(window, QStringLiteral("cmdModori")));
            settle();
        }
    }

    void browseArtistWindow()
    {
        auto session = started(m_full);
        click(session->control<QAbstractButton>(QStringLiteral("cmdKasyu")));
        settle();
        QWidget *window = openWindow(QStringLiteral("frmKashu"));
        check(window != nullptr, QStringLiteral("artist window open"));
        auto *hsbKasyu = child<QScrollBar>(window, QStringLiteral("hsbKasyu"));
        auto *lstKasyu = child<QListWidget>(window, QStringLiteral("lstKasyu"));

        Timings &moving = result(QStringLiteral("artist window: moving its position (arrow click)"));
        for (int i = 1; i < 500; ++i)
            timeOnce(moving, [&] { hsbKasyu->triggerAction(QAbstractSlider::SliderSingleStepAdd); });
        check(hsbKasyu->value() == 500, QStringLiteral("paged through the artists"));

        Timings &listClick = result(QStringLiteral("artist window: a click in its list"));
        for (int rep = 0; rep < 50; ++rep) {
            const int row = (rep * 37 + 11) % lstKasyu->count();
            QListWidgetItem *item = lstKasyu->item(row);
            lstKasyu->scrollToItem(item);
            settle();
            const QPoint at = lstKasyu->visualItemRect(item).center();
            timeOnce(listClick, [&] { QTest::mouseClick(lstKasyu->viewport(), Qt::LeftButton, {}, at); });
            check(hsbKasyu->value() == session->tables().artists.findArtistPosition(item->text()),
                QStringLiteral("list click moved the position"));
        }

        Timings &filter = result(QStringLiteral("artist window: a kana filter (pick in a kana list)"));
        for (int box = 0; box < 10; ++box) {
            auto *cboHira = child<QComboBox>(window, QStringLiteral("cboHira%1").arg(box));
            for (int index = 0; index < cboHira->count(); ++index) {
                cboHira->showPopup();
                QAbstractItemView *view = cboHira->view();
                const QModelIndex item = view->model()->index(index, cboHira->modelColumn());
                view->scrollTo(item);
                settle();
                const QPoint at = view->visualRect(item).center();
                timeOnce(filter, [&] { QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at); });
                check(cboHira->currentIndex() == index, QStringLiteral("kana picked"));
            }
        }
    }

    /// 曲登録 for the held-back song's artist, its fields typed, then 保存 (timed): the catalogue goes
    /// from 999 to 1000 songs, the artist window shows its songs again, the main window's song
    /// choice is rebuilt and the points recomputed, and the song window closes.
    void saveSong()
    {
        Timings &timings = result(QStringLiteral("saving a song with every follow-up step (999 → 1000)"));
        const SongRecord &song = m_data.songs[m_data.heldBackSong];
        for (int rep = 0; rep < 20; ++rep) {
            auto session = started(m_oneShort);
            click(session->control<QAbstractButton>(QStringLiteral("cmdKasyu")));
            settle();
            QWidget *artists = openWindow(QStringLiteral("frmKashu"));
            check(artists != nullptr, QStringLiteral("artist window open"));
            child<QScrollBar>(artists, QStringLiteral("hsbKasyu"))
                ->setValue(*session->tables().artists.findArtistPosition(song.artist));
            click(child<QAbstractButton>(artists, QStringLiteral("cmdTuika")));
            settle();
            QWidget *entry = openWindow(QStringLiteral("frmInp"));
            check(entry != nullptr, QStringLiteral("song window open"));
            child<QLineEdit>(entry, QStringLiteral("txtKyokumei"))->setText(song.title);
            child<QLineEdit>(entry, QStringLiteral("txtHira"))->setText(song.reading);
            child<QComboBox>(entry, QStringLiteral("cboJanru"))->setEditText(song.genre);
            child<QComboBox>(entry, QStringLiteral("cboShout"))->setEditText(song.shoutLevel);
            child<QComboBox>(entry, QStringLiteral("cboHyouka"))->setEditText(song.selfRating);
            child<QLineEdit>(entry, QStringLiteral("txtKaisu"))->setText(QString::number(song.singCount));
            settle();
            timeOnce(timings, [&] { click(child<QAbstractButton>(entry, QStringLiteral("cmdHozon"))); });
            check(session->tables().songs.songs() == m_data.songs, QStringLiteral("song saved in reading order"));
            check(openWindow(QStringLiteral("frmInp")) == nullptr, QStringLiteral("song window closed"));
            check(session->control<QComboBox>(QStringLiteral("cboInpKyoku"))->count() == 1000,
                QStringLiteral("song choice rebuilt"));
        }
    }

    /// 新規, the held-back artist typed, then 登録 (timed): 499 → 500 artists.
    void registerArtist()
    {
        Timings &timings = result(QStringLiteral("registering an artist (499 → 500)"));
        const ArtistRecord &artist = m_data.artists[m_data.heldBackArtist];
        for (int rep = 0; rep < 20; ++rep) {
            auto session = started(m_oneShort);
            click(session->control<QAbstractButton>(QStringLiteral("cmdKasyu")));
            settle();
            QWidget *window = openWindow(QStringLiteral("frmKashu"));
            check(window != nullptr, QStringLiteral("artist window open"));
            click(child<QAbstractButton>(window, QStringLiteral("cmdNew")));
            child<QLineEdit>(window, QStringLiteral("txtKasyu"))->setText(artist.name);
            child<QLineEdit>(window, QStringLiteral("txtHira"))->setText(artist.reading);
            settle();
            timeOnce(timings, [&] { click(child<QAbstractButton>(window, QStringLiteral("cmdTouroku"))); });
            check(session->tables().artists.artists() == m_data.artists, QStringLiteral("artist registered"));
        }
    }

    void analysisWindow()
    {
        auto session = started(m_full);
        firstOpeningNewProcess(QStringLiteral("opening the analysis window (分析), first time in a run (new process)"),
            QStringLiteral("cmdSort"));
        Timings &opening = result(QStringLiteral("opening the analysis window (分析), again"));
        openRepeatedly(
            opening, session->control<QAbstractButton>(QStringLiteral("cmdSort")), QStringLiteral("frmSort"));

        click(session->control<QAbstractButton>(QStringLiteral("cmdSort")));
        settle();
        QWidget *window = openWindow(QStringLiteral("frmSort"));
        check(window != nullptr, QStringLiteral("analysis window open"));
        static const char *const sortNames[] = { "曲名", "アーティスト", "ジャンル", "叫び", "評価", "回数" };
        std::vector<Timings *> sorts;
        for (const char *name : sortNames)
            sorts.push_back(&result(QStringLiteral("sort by ") + QString::fromUtf8(name)));
        // Each sort starts from the order the one before left.
        for (int rep = 0; rep < 20; ++rep) {
            for (int index = 0; index < 6; ++index) {
                auto *option = child<QAbstractButton>(window, QStringLiteral("optSort%1").arg(index));
                timeOnce(*sorts[size_t(index)], [&] { click(option); });
            }
        }

        auto *lstDate = child<QListWidget>(window, QStringLiteral("lstDate"));
        lstDate->selectAll();
        lstDate->setCurrentRow(lstDate->count() - 1, QItemSelectionModel::NoUpdate);
        check(lstDate->selectedItems().size() == 300, QStringLiteral("every date selected"));
        Timings &search = result(QStringLiteral("period search over all 300 outings (期間検索)"));
        for (int rep = 0; rep < 20; ++rep)
            timeOnce(search, [&] { click(child<QAbstractButton>(window, QStringLiteral("cmdKikan"))); });
    }

    /// Typing into the search window, a character at a time as an input method commits them: a
    /// song title of the last outing letter by letter, then a character every outing holds in its
    /// date (all 300 found), each followed by Backspace.
    void searchWindow()
    {
        auto session = started(m_full);
        QWidget *main = openWindow(QStringLiteral("frmMain"));
        Timings &opening = result(QStringLiteral("opening the search window (Ctrl+F)"));
        timeOnce(opening, [&] { QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier); });
        QWidget *window = openWindow(QStringLiteral("frmSearch"));
        check(window != nullptr, QStringLiteral("search window open"));
        auto *text = child<QLineEdit>(window, QStringLiteral("txtSearch"));
        auto *count = child<QLabel>(window, QStringLiteral("lblCount"));

        Timings &typing = result(QStringLiteral("search: a keystroke typing a song title, results shown"));
        Timings &all = result(QStringLiteral("search: a keystroke finding all 300 outings, results shown"));
        const QString title = m_data.outings.last().songTitles.first();
        for (int rep = 0; rep < 10; ++rep) {
            text->clear();
            settle();
            for (const QChar c : title)
                timeOnce(typing, [&] { text->insert(QString(c)); });
            check(!count->text().isEmpty() && count->text() != QStringLiteral("0件"), QStringLiteral("title found"));
            while (!text->text().isEmpty())
                timeOnce(typing, [&] { QTest::keyClick(text, Qt::Key_Backspace); });
            timeOnce(all, [&] { text->insert(QStringLiteral("年")); });
            check(count->text() == QStringLiteral("300件"), QStringLiteral("every outing found"));
            timeOnce(all, [&] { QTest::keyClick(text, Qt::Key_Backspace); });
        }
    }

    /// 表示 > 統計… at 300 outings: the window counted, its chart drawn and shown, the first time
    /// in the run and then again; then each year and the whole diary chosen in turn.
    void statisticsWindow()
    {
        auto session = started(m_full);
        QAction *item = nullptr;
        for (QAction *candidate :
            child<QMenu>(openWindow(QStringLiteral("frmMain")), QStringLiteral("mnuView"))->actions()) {
            if (candidate->text() == QStringLiteral("統計(&T)…"))
                item = candidate;
        }
        check(item != nullptr, QStringLiteral("統計 in the 表示 menu"));
        Timings &first = result(QStringLiteral("opening the statistics window (統計), first time in the run"), 100);
        Timings &again = result(QStringLiteral("opening the statistics window (統計), again"), 100);
        for (int rep = 0; rep < 20; ++rep) {
            timeOnce(rep == 0 ? first : again, [&] { item->trigger(); });
            QWidget *window = openWindow(QStringLiteral("frmStats"));
            check(window != nullptr, QStringLiteral("statistics window open"));
            if (rep == 19) {
                auto *years = child<QComboBox>(window, QStringLiteral("cboYear"));
                Timings &choosing = result(QStringLiteral("statistics: choosing a year or the whole diary"), 100);
                for (int pass = 0; pass < 3; ++pass) {
                    for (int index = 0; index < years->count(); ++index)
                        timeOnce(choosing, [&] { choose(years, index); });
                }
            }
            click(child<QAbstractButton>(window, QStringLiteral("cmdModori")));
            settle();
        }
    }

    BenchData m_data;
    QTemporaryDir m_root;
    QString m_full;
    QString m_oneShort;
    int m_sessions = 0;
    ScriptedMessages m_messages;
    /// A deque, so that a result being filled stays in place while later ones are added.
    std::deque<Timings> m_results;
    /// The largest peak memory a started program reported.
    long m_programPeakKb = 0;
};

/// The program in a process of its own, started as main.cpp starts it. Prints the monotonic clock
/// at the moment the main window has been shown and its pending work (layout, paint) has run, and
/// the paint events until then; with a button, then presses it once and adds the wall and processor
/// milliseconds and paint events of that press; last the program's peak memory in kB.
int childMain(int argc, char *argv[], const QString &folder, const QString &button)
{
    QApplication app(argc, argv);
    PaintCounter counter;
    paintCounter = &counter;
    app.installEventFilter(&counter);
    prepareApplication();
    SharedTables tables { QDir(folder) };
    const std::unique_ptr<MainWindow> mainWindow = startMainWindow(tables);
    settle();
    const qint64 shown = monotonicNs();
    std::printf("%lld %ld", static_cast<long long>(shown), counter.count);
    if (!button.isEmpty()) {
        Timings press;
        timeOnce(press, [&] { click(child<QAbstractButton>(mainWindow.get(), button)); });
        std::printf(" %.3f %.3f %ld", press.samples.front(), press.cpuSamples.front(), press.paints);
    }
    std::printf(" %ld\n", programPeakKb());
    return 0;
}

QString cpuModel()
{
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.startsWith("model name"))
                return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
        }
    }
    return QStringLiteral("unknown");
}

} // namespace

int main(int argc, char *argv[])
{
    // Windows are shown and painted, but off any screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if ((argc == 3 || argc == 4) && qstrcmp(argv[1], ChildFlag) == 0) {
        defaultMessageHandler = qInstallMessageHandler(dropPlatformWarnings);
        return childMain(
            argc, argv, QString::fromLocal8Bit(argv[2]), argc == 4 ? QString::fromLocal8Bit(argv[3]) : QString());
    }
    if (argc == 3 && qstrcmp(argv[1], WriteDataFlag) == 0) {
        // The data at the limits, for trying the program or a profiler on it.
        const QDir folder(QString::fromLocal8Bit(argv[2]));
        check(folder.mkpath(QStringLiteral(".")), QStringLiteral("cannot make ") + folder.path());
        BenchData::make().write(folder, false);
        return 0;
    }

    defaultMessageHandler = qInstallMessageHandler(dropPlatformWarnings);
    QApplication app(argc, argv);
    prepareApplication();
    PaintCounter counter;
    paintCounter = &counter;
    app.installEventFilter(&counter);

    QTextStream out(stdout);
    out << "Crooner's Diary benchmark: " << cpuModel() << ", " << QThread::idealThreadCount() << " cores, "
        << QSysInfo::prettyProductName() << ", Qt " << qVersion() << ", platform " << QGuiApplication::platformName()
        << ", build " << CROONER_BUILD_TYPE << "\n";
    out << "Data: 300 outings of 10 members and 50 songs, 1000 songs, 500 artists, 50 places, 50 members, "
           "30 genres; registrations start one short of each limit.\n";
    out << "Load average (1, 5, 15 min) before: " << loadAverage() << "\n\n";
    out.flush();

    Bench bench;
    bench.run(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    bench.report();
    return 0;
}
